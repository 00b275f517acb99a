/*
 * A fresh folder under the system's temporary folder (or a parent of the
 * test's choosing) for one test, removed with everything in it (read-only
 * files too) when the test ends.
 *
 * The shared temporary folder changes all the time while tests run in
 * parallel. A test whose code compares a folder's shell identity taken at two
 * moments (the shell's identities carry the modification time of every folder
 * on the path) picks a quiet parent instead: quietParentForShellTests().
 */
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace brimtest {

class TempFolder {
public:
    TempFolder();
    explicit TempFolder(const std::string& parent);  // parent ends without a backslash
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

// A folder at the root of the system drive that no other test writes into.
std::string quietParentForShellTests();

// Fixture form, for tests that need a folder and nothing else.
class TempFolderTest : public ::testing::Test {
protected:
    TempFolder temp;
};

}  // namespace brimtest
