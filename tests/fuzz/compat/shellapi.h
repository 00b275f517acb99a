// Stand-in for the shell header in the native fuzzing build: the framework
// unit that includes it calls nothing from it that the readers reach.
#pragma once
#include <windows.h>
