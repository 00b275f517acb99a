/*
 * Where the test programs find the built programs and libraries.
 */
#pragma once

#include <string>

namespace brimtest {

// Folder of the built executables and QZ_Cryptography.dll (the test's own folder).
std::string binaryFolder();

}  // namespace brimtest
