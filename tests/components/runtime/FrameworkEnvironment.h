// The framework globals of the test program, and the exceptions that reached
// the framework application's handler (instead of a message box).
#pragma once

#include <string>
#include <vector>

std::vector<std::string>& reportedExceptions();
