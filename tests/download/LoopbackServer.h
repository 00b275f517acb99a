/*
 * The test side of the loopback server (tests/support/loopback): its ports,
 * URLs on 127.0.0.1, a fresh scenario token per use, what it recorded for a
 * token, and the bytes its scenario resources are made of.
 */
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dltest {

class LoopbackServer {
public:
    // The running server; fails the test when its ports file cannot be read.
    static const LoopbackServer& get();
    bool running() const { return httpPort > 0; }

    std::string httpUrl(const std::string& path) const;
    std::string ftpUrl(const std::string& path) const;
    std::string refusedUrl(const std::string& path) const;
    // "/s/<token>/<scenario>/<name>?<query>" on the HTTP port.
    std::string scenarioUrl(const std::string& token, const std::string& scenario, const std::string& name,
                            const std::string& query = "") const;
    // The requests recorded for a token: "VERB RANGE" ("-" without a Range header).
    std::vector<std::string> requests(const std::string& token) const;
    std::string stateFile(const std::string& name) const;

    int httpPort = 0, ftpPort = 0, refusedPort = 0;
    std::string stateFolder;  // Windows path of the server's state folder
};

// A token no other test has used in this run.
std::string newToken();
// The bytes of a scenario resource of this size.
std::string pattern(size_t size);
// A whole file, or "<missing>" when it cannot be read.
std::string fileBytes(const std::string& path);
bool fileExists(const std::string& path);

}  // namespace dltest
