/*
 * One multi-file downloader with one item, wired to record what its events
 * say (statuses, errors, progress positions and the threads they ran on,
 * busy changes, completions), downloading into a fresh temporary folder.
 */
#pragma once

#include "download/dwMultiDownLoader.h"
#include "framework/Framework.h"
#include "tests/download/LoopbackServer.h"
#include "tests/support/TempFolder.h"

#include <functional>
#include <string>
#include <vector>

namespace dltest {

// Runs the message loop until `done` or the deadline; true when done.
bool pumpUntil(const std::function<bool()>& done, DWORD deadlineMs);

struct EventLog {
    std::vector<TdwProcessStatus> statuses;
    std::vector<std::string> errors;
    std::vector<int> positions;
    bool offUiThread = false;  // an event ran on another thread than the test's
    int busyChanges = 0;
    int completions = 0;
    int resourceInfos = 0;
    std::string data;  // from OnDataProceed
    std::vector<std::string> textLines;  // from OnDataTextProceed
};

class Transfer {
public:
    Transfer();
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Points the item at a URL (its local file follows into the folder).
    void at(const std::string& url) { item->URL = url; }
    // Starts and waits for the end (the waiting start serves the events).
    TdwProcessStatus run();
    std::string localFile() const { return item->LocalFile; }
    // Frees the downloader now (later events must not arrive).
    void destroy();

    brimtest::TempFolder folder;
    TdwMultiDownLoader* downLoader;
    TdwDownLoadItem* item;
    EventLog log;
};

// The last-write time of a file as UTC calendar fields, or all zero.
SYSTEMTIME lastWriteTime(const std::string& path);

}  // namespace dltest
