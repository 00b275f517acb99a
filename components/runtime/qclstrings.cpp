// Small string functions of the component library and its row codec.
//
// Strings hold 8-bit ANSI bytes and may contain the byte 0. "Blank" in this
// unit means spaces (byte 32) only; trimming removes every byte up to 32.
#include "components/runtime/qclstrings.h"

#include "framework/SysUtils.h"

#include <windows.h>

namespace {

bool isTrimmable(char c) { return static_cast<unsigned char>(c) <= 32; }

// Position (0-based) where field `field` starts, or npos when the string holds
// fewer than `field` delimiters.
std::string::size_type fieldStart(const std::string& s, char delimiter, int field) {
    std::string::size_type pos = 0;
    for (int passed = 0; passed < field; ++passed) {
        const auto next = s.find(delimiter, pos);
        if (next == std::string::npos)
            return std::string::npos;
        pos = next + 1;
    }
    return pos;
}

}  // namespace

std::string QCLCodeString(const std::string* items, int high, char delimiter) {
    if (!items || high < 0)
        return {};
    std::string result = items[0];
    for (int i = 1; i <= high; ++i) {
        result += delimiter;
        result += items[i];
    }
    return result;
}

std::string QCLCodeInt(const std::int32_t* items, int high, char delimiter) {
    if (!items || high < 0)
        return {};
    std::string result = std::to_string(items[0]);
    for (int i = 1; i <= high; ++i) {
        result += delimiter;
        result += std::to_string(items[i]);
    }
    return result;
}

int QCLGetCodedCount(const std::string& s, char delimiter) {
    const int delimiters = QCLCount(s, delimiter);
    if (delimiters > 0)
        return delimiters + 1;
    return s.empty() ? 0 : 1;
}

std::string QCLGetCodedString(const std::string& s, char delimiter, int field) {
    if (field < 0)
        return {};
    const auto start = fieldStart(s, delimiter, field);
    if (start == std::string::npos)
        return {};
    const auto end = s.find(delimiter, start);
    return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::int32_t QCLGetCodedInt(const std::string& s, char delimiter, int field) {
    const std::string text = QCLGetCodedString(s, delimiter, field);
    return text.empty() ? -1 : StrToInt(text);
}

void QCLSetCodedString(std::string& s, const std::string& value, char delimiter, int field) {
    if (field < 0)
        return;
    // Pad with delimiters until the field exists as the (empty) last one.
    int missing = field - QCLCount(s, delimiter);
    if (missing > 0)
        s.append(static_cast<std::string::size_type>(missing), delimiter);
    const auto start = fieldStart(s, delimiter, field);
    auto end = s.find(delimiter, start);
    if (end == std::string::npos)
        end = s.size();
    s.replace(start, end - start, value);
}

std::string QCLFillString(int count, char c) {
    return count > 0 ? std::string(static_cast<std::string::size_type>(count), c) : std::string();
}

std::string QCLSpace(int count) { return QCLFillString(count, ' '); }

std::string QCLAddCharL(const std::string& s, int length, char c) {
    const int missing = length - static_cast<int>(s.size());
    return missing > 0 ? QCLFillString(missing, c) + s : s;
}

std::string QCLAddCharR(const std::string& s, int length, char c) {
    const int missing = length - static_cast<int>(s.size());
    return missing > 0 ? s + QCLFillString(missing, c) : s;
}

std::string QCLAddSpaceL(const std::string& s, int length) { return QCLAddCharL(s, length, ' '); }
std::string QCLAddSpaceR(const std::string& s, int length) { return QCLAddCharR(s, length, ' '); }
std::string QCLAddZeroL(const std::string& s, int length) { return QCLAddCharL(s, length, '0'); }
std::string QCLAddZeroR(const std::string& s, int length) { return QCLAddCharR(s, length, '0'); }

int QCLCount(const std::string& s, char c) {
    int count = 0;
    for (char b : s)
        if (b == c)
            ++count;
    return count;
}

int QCLBackPos(char c, const std::string& s) {
    const auto pos = s.rfind(c);
    return pos == std::string::npos ? 0 : static_cast<int>(pos) + 1;
}

bool QCLEmpty(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

int QCLScanToNumber(const std::string& s) {
    for (std::string::size_type i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (IsDBCSLeadByte(b)) {
            ++i;  // the trail byte may look like a digit
            continue;
        }
        if (b >= '0' && b <= '9')
            return static_cast<int>(i) + 1;
    }
    return 0;
}

std::string QCLTrimL(const std::string& s) {
    std::string::size_type first = 0;
    while (first < s.size() && isTrimmable(s[first]))
        ++first;
    return s.substr(first);
}

std::string QCLTrimR(const std::string& s) {
    auto last = s.size();
    while (last > 0 && isTrimmable(s[last - 1]))
        --last;
    return s.substr(0, last);
}

std::string QCLTrim(const std::string& s) { return QCLTrimL(QCLTrimR(s)); }

std::string QCLGetFirstString(const std::string& s, char c) {
    const auto pos = s.find(c);
    return pos == std::string::npos ? s : s.substr(0, pos);
}

std::string QCLGetSecondString(const std::string& s, char c) {
    const auto pos = s.find(c);
    return pos == std::string::npos ? s : s.substr(pos + 1, 255);
}

std::string QCLReplaceChar(const std::string& s, char oldChar, char newChar) {
    std::string result = s;
    for (char& b : result)
        if (b == oldChar)
            b = newChar;
    return result;
}

std::string QCLSlashAdd(const std::string& s) {
    if (!QCLEmpty(s) && s.back() == '\\')
        return s;
    return s + '\\';
}

std::string QCLSlashRemove(const std::string& s) {
    if (!QCLEmpty(s) && s.back() == '\\')
        return s.substr(0, s.size() - 1);
    return s;
}
