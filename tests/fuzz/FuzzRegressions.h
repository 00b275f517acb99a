/*
 * The committed regression inputs of the fuzz targets, compiled into the Wine
 * test program (the build generates the table from tests/fuzz/regressions).
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brimfuzz {

struct RegressionInput {
    std::string target;
    std::string name;
    std::vector<std::uint8_t> bytes;
};

const std::vector<RegressionInput>& regressionInputs();

}  // namespace brimfuzz
