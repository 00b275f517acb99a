/*
 * The program's trace log switched on into a test's folder for one scope
 * (its switch notices answered), and its lines read back without their time
 * prefix.
 */
#pragma once

#include "tests/support/MessageBoxScript.h"
#include "tests/support/TempFolder.h"
#include "vault/logger.h"

#include <string>
#include <vector>

namespace dialogtest {

// The trace log switched on into a folder for one test; its lines without the time prefix.
class TraceLogCapture {
public:
    explicit TraceLogCapture(const brimtest::TempFolder& folder) : folder_(folder) {
        char previous[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, previous);
        previous_ = previous;
        SetCurrentDirectoryA(folder.path().c_str());
        brimtest::MessageBoxScript boxes({mbrOk});
        traceLog.toggle();
    }
    ~TraceLogCapture() { stop(); }
    std::vector<std::string> lines() {
        stop();
        std::vector<std::string> result;
        std::string text = folder_.exists("Brimsafe.log") ? folder_.readFile("Brimsafe.log") : "";
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = text.substr(start, end - start);
            size_t prefix = line.find(" - ", line.find(" - ") + 3);
            result.push_back(prefix == std::string::npos ? line : line.substr(prefix + 3));
        }
        return result;
    }

private:
    void stop() {
        if (!traceLog.isEnabled()) return;
        brimtest::MessageBoxScript boxes({mbrOk});
        traceLog.toggle();
        SetCurrentDirectoryA(previous_.c_str());
    }
    const brimtest::TempFolder& folder_;
    std::string previous_;
};

}  // namespace dialogtest
