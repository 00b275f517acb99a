// The system's message table, read without inserts: texts with "%1" stay as they are.
#include "base/SystemErrorText.h"

std::string systemErrorText(DWORD code, std::size_t maxLength) {
    char buffer[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                             0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}
