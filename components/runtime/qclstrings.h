// Small string functions of the component library and its row codec.
//
// The row codec keeps several text fields in one string, separated by a single
// delimiter byte; there is no escaping, so a value that holds the delimiter
// reads back as two fields. Arrays are passed as a pointer to the first element
// and the index of the last element (High), not the element count. Character
// positions returned by these functions count from 1; 0 means "not found".
#pragma once

#include <cstdint>
#include <string>

// Row codec.
std::string QCLCodeString(const std::string* items, int high, char delimiter);
std::string QCLCodeInt(const std::int32_t* items, int high, char delimiter);
int QCLGetCodedCount(const std::string& s, char delimiter);
std::string QCLGetCodedString(const std::string& s, char delimiter, int field);
// -1 for an empty or missing field; a text that is not a decimal integer
// raises the framework's conversion error.
std::int32_t QCLGetCodedInt(const std::string& s, char delimiter, int field);
void QCLSetCodedString(std::string& s, const std::string& value, char delimiter, int field);

// Padding and filling.
std::string QCLFillString(int count, char c);
std::string QCLSpace(int count);
std::string QCLAddCharL(const std::string& s, int length, char c);
std::string QCLAddCharR(const std::string& s, int length, char c);
std::string QCLAddSpaceL(const std::string& s, int length);
std::string QCLAddSpaceR(const std::string& s, int length);
std::string QCLAddZeroL(const std::string& s, int length);
std::string QCLAddZeroR(const std::string& s, int length);

// Searching and testing.
int QCLCount(const std::string& s, char c);
int QCLBackPos(char c, const std::string& s);
bool QCLEmpty(const std::string& s);
int QCLScanToNumber(const std::string& s);

// Trimming, splitting and replacing.
std::string QCLTrimL(const std::string& s);
std::string QCLTrimR(const std::string& s);
std::string QCLTrim(const std::string& s);
std::string QCLGetFirstString(const std::string& s, char c);
std::string QCLGetSecondString(const std::string& s, char c);
std::string QCLReplaceChar(const std::string& s, char oldChar, char newChar);
std::string QCLSlashAdd(const std::string& s);
std::string QCLSlashRemove(const std::string& s);
