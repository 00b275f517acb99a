/*
 * Files for the fuzz targets: a target puts its input in as a file and runs
 * the reader on the path. In the native fuzzing build the files live in the
 * stand-in file table in memory (compat/Win32Compat.cpp); in the Wine test
 * build they are real files in a folder under the system's temporary folder
 * (FuzzFilesOnDisk.cpp).
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzfiles {

// Stores a file under a plain name and returns the path to open it by.
std::string put(const std::string& name, const std::uint8_t* data, std::size_t size);
// The path a file of that name has (whether or not it exists).
std::string pathOf(const std::string& name);
// The content of a file, empty when there is none.
std::vector<std::uint8_t> get(const std::string& path);
// Removes every file put or made there (and, in memory, closes every handle).
void clear();

}  // namespace fuzzfiles
