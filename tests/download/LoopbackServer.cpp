// The test side of the loopback server; see LoopbackServer.h.
#include "tests/download/LoopbackServer.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace dltest {

namespace {

// The server's state folder as this Windows program sees it (Wine maps the
// host's root to drive Z:).
std::string windowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

LoopbackServer load() {
    LoopbackServer server;
    const char* state = std::getenv("BRIM_LOOPBACK_STATE");
    if (!state || !*state) return server;
    server.stateFolder = windowsPath(state);
    std::ifstream ports(server.stateFolder + "\\ports.txt");
    std::string line;
    while (std::getline(ports, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        int port = std::atoi(line.c_str() + eq + 1);
        std::string name = line.substr(0, eq);
        if (name == "http") server.httpPort = port;
        if (name == "ftp") server.ftpPort = port;
        if (name == "refused") server.refusedPort = port;
    }
    return server;
}

}  // namespace

const LoopbackServer& LoopbackServer::get() {
    static const LoopbackServer server = load();
    EXPECT_TRUE(server.running()) << "the loopback server is not running: run the tests through ctest, whose "
                                     "fixture starts it (BRIM_LOOPBACK_STATE names its state folder)";
    return server;
}

std::string LoopbackServer::httpUrl(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(httpPort) + path;
}

std::string LoopbackServer::ftpUrl(const std::string& path) const {
    return "ftp://127.0.0.1:" + std::to_string(ftpPort) + path;
}

std::string LoopbackServer::refusedUrl(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(refusedPort) + path;
}

std::string LoopbackServer::scenarioUrl(const std::string& token, const std::string& scenario,
                                        const std::string& name, const std::string& query) const {
    return httpUrl("/s/" + token + "/" + scenario + "/" + name + (query.empty() ? "" : "?" + query));
}

std::vector<std::string> LoopbackServer::requests(const std::string& token) const {
    std::vector<std::string> lines;
    std::ifstream log(stateFile(token + ".log"));
    std::string line;
    while (std::getline(log, line)) lines.push_back(line);
    return lines;
}

std::string LoopbackServer::stateFile(const std::string& name) const { return stateFolder + "\\" + name; }

std::string newToken() {
    static int counter = 0;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? info->name() : "token";
    return name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

std::string pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 31 + 7) % 251);
    return bytes;
}

std::string fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "<missing>";
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

bool fileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace dltest
