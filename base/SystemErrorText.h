/*
 * The system's own text for a Windows error code, as the trace log and the
 * file-error notices quote it.
 */
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

// The text without the trailing line break, cut to at most maxLength characters.
std::string systemErrorText(DWORD code, std::size_t maxLength = 100);
