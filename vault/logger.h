/*
 * The program's trace log, "Brimsafe.log" in the current folder: off until
 * switched on, opened at the first write after that (emptied first when it has
 * grown past 102,400 bytes), kept open until switched off or the end of the run.
 * Each line is "d/m/yyyy - h:m:s - " in UTC, without leading zeros, then the
 * text and CR LF. The user-interface thread and the file-job worker both write;
 * a lock keeps their lines whole. Switching shows a notice (base/Notice.h), so
 * the log needs no window.
 */
#pragma once

#include "framework/Win32Handles.h"

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>

class logger {
public:
    static constexpr DWORD SizeLimit = 102400;
    using Clock = std::function<SYSTEMTIME()>;

    explicit logger(std::string fileName = "Brimsafe.log");
    ~logger();
    logger(const logger&) = delete;
    logger& operator=(const logger&) = delete;

    // Switches logging on or off and says so in a message box; switching off closes the file.
    void toggle();
    // Appends one line; nothing happens while logging is off or the file cannot be opened.
    void write(const std::string& text);

    bool isEnabled() const { return enabled != 0; }
    // The time source of the line prefix (UTC), fixed by tests; the system clock otherwise.
    void setClockForTesting(Clock clock);
    // "d/m/yyyy - h:m:s - " for the given time.
    static std::string linePrefix(const SYSTEMTIME& utc);

private:
    bool openFile();
    void closeFile();

    win32::FileHandle file_;
    LONG enabled = 0;
    std::string fileName_;
    Clock clock_;
    std::mutex lock_;
};

// The single trace log of the program.
extern logger traceLog;
