/*
 * The open vault's data model: a category (one kind of record) with its chain
 * of headers (fields) and rows (entries), each row holding one item (text) per
 * header in header order. Chains own what follows them and are destroyed
 * iteratively, so a category of many thousands of rows cannot exhaust the stack.
 *
 * Tricky points:
 * - insertRow refuses a row equal to an existing one. A hash count of the rows'
 *   contents answers "no equal row" without walking the chain, so loading a
 *   vault stays linear; only a hash hit walks. Every change of a row's content
 *   goes through category, which keeps the count right or marks it stale.
 * - Items, rows and the index's entries come from pools (vault/NodePool.h):
 *   a load makes about ten per entry.
 * - Every position, id or column below 0 is out of range, like one too large.
 * - The numeric comparators return the sign of the comparison, never a
 *   difference that could overflow.
 * - Sorting is the stable insertion sort QkSort on purpose: the mixed numeric
 *   and text comparison is not a strict order, and its result is defined by
 *   that sort.
 */
#pragma once

#include "vault/NodePool.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

using RowValues = std::vector<std::string>;

enum HeaderType { htOneLine = 0, htParagraph = 1 };
enum HeaderShow { hsShown = 0, hsEditorOnly = 1, hsSecret = 2 };

constexpr int MaxHeaders = 30;
constexpr int DefaultColumnWidth = 100;

class item : public PooledNode<item> {
public:
    explicit item(std::string text) : value(std::move(text)) {}
    ~item();
    item(const item&) = delete;
    item& operator=(const item&) = delete;

    std::string value;
    item* next = nullptr;
};

class header {
public:
    header(std::string name, int type, int show, int width = DefaultColumnWidth)
        : name(std::move(name)), type(type), show(show), width(width) {}
    ~header();
    header(const header&) = delete;
    header& operator=(const header&) = delete;

    std::string name;
    int type;
    int show;
    int width;
    header* next = nullptr;
};

class row : public PooledNode<row> {
public:
    // count items from values (missing values are empty).
    row(const RowValues& values, int count, int id);
    ~row();
    row(const row&) = delete;
    row& operator=(const row&) = delete;

    void appendEmptyItem();
    std::string getText(int column) const;
    void setText(const std::string& text, int column);
    void swapItems(int a, int b);
    void removeItem(int column);
    RowValues toArray(int n) const;
    // True when each item equals the value at the same index exactly (first itemCount values).
    bool equals(const RowValues& values) const;
    int getId() const { return id; }
    const item* firstItem() const { return items; }

    row* next = nullptr;

private:
    friend class category;
    item* itemAt(int column) const;

    int id;
    item* items = nullptr;
};

class category {
public:
    explicit category(std::string name);
    ~category();  // destroys the rest of the chain too
    category(const category&) = delete;
    category& operator=(const category&) = delete;

    std::string getName() const { return name; }
    void setName(const std::string& newName) { name = newName; }

    void addHeader(const std::string& headerName, int type, int show, int width = DefaultColumnWidth);
    void removeHeader(int index);
    void moveHeader(int from, int to);
    header* headerList() const { return headers; }
    header* headerAt(int index) const;
    int headerCount() const { return numHeaders; }
    int rowCount() const { return numRows; }
    int visibleHeaderCount() const;

    // -1 when inserted, else the position of the equal row already present.
    int insertRow(const RowValues& values);
    void deleteRow(int position);
    void deleteRowById(int id);
    std::optional<RowValues> rowItems(int position) const;
    std::optional<RowValues> visibleRowItems(int position) const;
    std::optional<RowValues> rowItemsById(int id) const;
    std::string itemText(int position, int column) const;
    std::string itemTextById(int id, int column) const;
    void setItemText(const std::string& text, int position, int column);
    bool isRowEmpty(int position) const;
    int findRowId(const RowValues& values) const;
    // Id of the row at a position, -1 when out of range.
    int rowIdAt(int position) const;
    const row* firstRow() const { return rows; }

    void sortByColumn(int headerIndex);
    // sortedVisibleColumn (-1 unsorted); stores sortDescending through descending when given.
    int sortState(int* descending) const;
    int getSortColumn() const { return sortColumn; }
    int getNextRowId() const { return nextRowId; }

    category* next = nullptr;

private:
    row* rowAt(int position) const;
    row* rowById(int id) const;
    void unlinkAndDestroy(row* target, row* previous);
    void forgetCursor() const;
    // Row-content hash count for the duplicate check.
    static std::uint64_t contentHash(const RowValues& values, int count);
    static std::uint64_t rowHash(const row& r);
    void ensureIndex();
    void indexAdd(std::uint64_t hash);
    void indexRemove(std::uint64_t hash);

    std::string name;
    int numHeaders = 0;
    int numRows = 0;
    int sortColumn = -1;
    int sortedVisibleColumn = -1;
    int sortDescending = 0;
    int nextRowId = 0;
    header* headers = nullptr;
    row* rows = nullptr;

    row* lastRow_ = nullptr;
    mutable row* cursorRow_ = nullptr;  // last row reached by position, speeds up walking in order
    mutable int cursorPos_ = 0;
    std::unordered_map<std::uint64_t, int, std::hash<std::uint64_t>, std::equal_to<std::uint64_t>,
                       PoolAllocator<std::pair<const std::uint64_t, int>>>
        contentCount_;
    bool indexValid_ = true;
};

// Case-insensitive byte comparison (ASCII letters as one case): sign of the first difference or of the lengths.
int compareTextNoCase(const std::string& a, const std::string& b);
// The framework's string-to-integer conversion: optional sign and decimal digits, within 32 bits.
bool stringToInt32(const std::string& text, std::int32_t& value);

// Comparators of two row pointers (elements are row*), reading the column set by sortByColumn.
int compareAscending(const void* a, const void* b);
int compareDescending(const void* a, const void* b);
// Stable insertion sort of count elements of elementSize bytes.
void QkSort(void* base, int count, int elementSize, int (*comparator)(const void*, const void*));
// The order QkSort gives the rows by column (compareAscending, or compareDescending when
// descending), in O(n log n), where that comparison is consistent: all values integers or empty,
// or none a non-empty integer. False, rows untouched, for a mixed column.
bool sortRowsConsistently(std::vector<row*>& rows, int column, bool descending);
