// The command line as one pure function (see CommandLine.h).
#include "app/CommandLine.h"

#include <windows.h>

#include <vector>

std::optional<std::string> systemLongPath(const std::string& path) {
    if (path.empty()) return std::nullopt;
    DWORD needed = GetLongPathNameA(path.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::vector<char> buffer(needed + 1);
    DWORD got = GetLongPathNameA(path.c_str(), buffer.data(), needed + 1);
    if (got == 0 || got > needed) return std::nullopt;
    return std::string(buffer.data(), got);
}

static bool endsWith(const std::string& text, const char* ending) {
    const std::string e(ending);
    return text.size() >= e.size() && text.compare(text.size() - e.size(), e.size(), e) == 0;
}

CommandLineResult parseCommandLine(const std::string& commandLine, const LongPathRoutine& longPath) {
    CommandLineResult result;
    const std::size_t n = commandLine.size();
    std::size_t at = 0;
    // The program's own path, and the character after it.
    if (n > 0 && commandLine[0] == '"') {
        std::size_t close = commandLine.find('"', 1);
        at = close == std::string::npos ? n : close + 1;
    } else {
        std::size_t blank = commandLine.find(' ');
        at = blank == std::string::npos ? n : blank;
    }
    if (at < n) ++at;
    while (at < n && commandLine[at] == ' ') ++at;
    if (at >= n) return result;

    std::string argument;
    std::size_t after;
    if (commandLine[at] == '"') {
        std::size_t close = commandLine.find('"', at + 1);
        argument = commandLine.substr(at + 1, (close == std::string::npos ? n : close) - at - 1);
        after = close == std::string::npos ? n : close + 1;
    } else {
        std::size_t blank = commandLine.find(' ', at);
        argument = commandLine.substr(at, (blank == std::string::npos ? n : blank) - at);
        after = blank == std::string::npos ? n : blank;
    }
    const bool moreText = commandLine.find_first_not_of(' ', after) != std::string::npos;

    const std::optional<std::string> expanded = longPath(argument);
    if (!expanded) {
        result.message = cmdline::EncryptHint;
        return result;
    }
    const std::string& path = *expanded;
    if (endsWith(path, ".vltenc")) {
        result.PendingEncFile = path;
        if (moreText) result.message = cmdline::OneFileAtATime;
    } else if (endsWith(path, ".bvt")) {
        result.PendingBackupFile = path;
    } else if (endsWith(path, ".bkv")) {
        result.message = cmdline::RestoreKeyHint;
    } else if (endsWith(path, ".vlt") || endsWith(path, ".kvt")) {
        result.PendingVaultFile = path;
    } else {
        result.message = cmdline::EncryptHint;
    }
    return result;
}
