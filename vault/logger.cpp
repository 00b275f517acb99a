// The trace log's file, opened lazily and appended to under the lock.
#include "vault/logger.h"

#include "base/Notice.h"
#include "base/ProductNames.h"

#include <cstdio>

logger traceLog;

logger::logger(std::string fileName) : fileName_(std::move(fileName)) {}

logger::~logger() { closeFile(); }

void logger::setClockForTesting(Clock clock) {
    std::lock_guard<std::mutex> guard(lock_);
    clock_ = std::move(clock);
}

std::string logger::linePrefix(const SYSTEMTIME& utc) {
    char text[64];
    std::snprintf(text, sizeof text, "%d/%d/%d - %d:%d:%d - ", utc.wDay, utc.wMonth, utc.wYear, utc.wHour,
                  utc.wMinute, utc.wSecond);
    return text;
}

void logger::toggle() {
    bool nowOn;
    {
        std::lock_guard<std::mutex> guard(lock_);
        enabled = !enabled;
        nowOn = enabled != 0;
        if (!nowOn) closeFile();
    }
    ShowNotice(nullptr, nowOn ? "Logging has been enabled." : "Logging has been disabled.", product::Title, mbsOk,
               mbiInformation);
}

bool logger::openFile() {
    auto open = [this](DWORD disposition) {
        file_.reset(CreateFileA(fileName_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file_.valid();
    };
    if (!open(OPEN_ALWAYS)) return false;
    // A log whose size cannot be read is emptied as one past the limit is.
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file_.get(), &size) || size.QuadPart > SizeLimit) {
        file_.close();  // emptied by opening it anew
        if (!open(CREATE_ALWAYS)) return false;
    }
    const LARGE_INTEGER none = {};
    SetFilePointerEx(file_.get(), none, nullptr, FILE_END);
    return true;
}

void logger::closeFile() { file_.close(); }

void logger::write(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!enabled) return;
    if (!file_.valid() && !openFile()) return;
    SYSTEMTIME now;
    if (clock_)
        now = clock_();
    else
        GetSystemTime(&now);
    std::string line = linePrefix(now) + text + "\r\n";
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
