/*
 * The sentence the user reads when a Windows error is met on a file: a fixed
 * sentence for the common codes, naming the file where it helps, and for every
 * other code a sentence that quotes the system's own text for it.
 */
#pragma once

#include <windows.h>

#include <string>

// name: the file's name part, put where the sentence names the file.
std::string WindowsErrorMessages(DWORD code, const std::string& name);
