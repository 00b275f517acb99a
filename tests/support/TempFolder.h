/*
 * A fresh folder under the system's temporary folder for one test, removed
 * with everything in it (read-only files too) when the test ends.
 */
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace brimtest {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() + "\" + name
    std::string file(const std::string& name) const;
    void writeFile(const std::string& name, const std::string& bytes) const;
    std::string readFile(const std::string& name) const;  // throws std::runtime_error when missing
    bool exists(const std::string& name) const;

private:
    std::string path_;
};

void removeTree(const std::string& path);

// Fixture form, for tests that need a folder and nothing else.
class TempFolderTest : public ::testing::Test {
protected:
    TempFolder temp;
};

}  // namespace brimtest
