// The test program's own folder, where the build puts the programs and libraries beside it.
#include "tests/support/TestEnvironment.h"

#include <windows.h>

namespace brimtest {

std::string binaryFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n);
    auto slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

}  // namespace brimtest
