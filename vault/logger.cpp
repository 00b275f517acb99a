#include "vault/logger.h"

#include "skin/ZM_MessageBox.h"

#include <cstdio>

logger traceLog;

logger::logger(std::string fileName) : fileName_(std::move(fileName)) {}

logger::~logger() { closeFile(); }

void logger::setClock(Clock clock) {
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
    ShowMessageBox(nullptr, nowOn ? "Logging has been enabled." : "Logging has been disabled.", "Brimsafe", mbsOk,
                   mbiInformation);
}

bool logger::openFile() {
    handle = CreateFileA(fileName_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD size = GetFileSize(handle, &high);
    if (high != 0 || size > SizeLimit) {
        CloseHandle(handle);
        handle = CreateFileA(fileName_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return false;
    }
    SetFilePointer(handle, 0, nullptr, FILE_END);
    return true;
}

void logger::closeFile() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
}

void logger::write(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!enabled) return;
    if (handle == INVALID_HANDLE_VALUE && !openFile()) return;
    SYSTEMTIME now;
    if (clock_)
        now = clock_();
    else
        GetSystemTime(&now);
    std::string line = linePrefix(now) + text + "\r\n";
    DWORD written = 0;
    WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}
