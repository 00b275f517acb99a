// The data model's chains. Rows and headers are freed one node at a time; item texts are wiped
// when they go, since they hold the user's passwords.
#include "vault/category.h"

#include "vault/SecureMemory.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// Deletes the chain that follows a node, one node at a time.
template <typename Node>
void destroyChainAfter(Node& node) {
    Node* p = node.next;
    node.next = nullptr;
    while (p) {
        Node* following = p->next;
        p->next = nullptr;
        delete p;
        p = following;
    }
}

// The column the comparators read; set by sortByColumn before each sort.
int comparatorColumn = 0;

const std::string& valueAt(const RowValues& values, int index) {
    static const std::string empty;
    return index >= 0 && index < static_cast<int>(values.size()) ? values[index] : empty;
}

int sign(long long x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }

int compareRowValues(const row* a, const row* b) {
    const std::string va = a->getText(comparatorColumn);
    const std::string vb = b->getText(comparatorColumn);
    std::int32_t ia = 0, ib = 0;
    bool na = va.empty() || stringToInt32(va, ia);
    bool nb = vb.empty() || stringToInt32(vb, ib);
    if (na && nb) return sign(static_cast<long long>(ia) - ib);
    return compareTextNoCase(va, vb);
}

}  // namespace

int compareTextNoCase(const std::string& a, const std::string& b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + 32);
        if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + 32);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

bool stringToInt32(const std::string& text, std::int32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    long long result = negative ? -magnitude : magnitude;
    if (result > INT_MAX) return false;
    value = static_cast<std::int32_t>(result);
    return true;
}

int compareAscending(const void* a, const void* b) {
    return compareRowValues(*static_cast<row* const*>(a), *static_cast<row* const*>(b));
}

int compareDescending(const void* a, const void* b) {
    return compareRowValues(*static_cast<row* const*>(b), *static_cast<row* const*>(a));
}

void QkSort(void* base, int count, int elementSize, int (*comparator)(const void*, const void*)) {
    if (count < 2 || elementSize <= 0) return;
    auto* bytes = static_cast<unsigned char*>(base);
    std::vector<unsigned char> aside(static_cast<std::size_t>(elementSize));
    for (int i = 1; i < count; ++i) {
        std::memcpy(aside.data(), bytes + static_cast<std::size_t>(i) * elementSize, elementSize);
        int j = i;
        while (j > 0 && comparator(bytes + static_cast<std::size_t>(j - 1) * elementSize, aside.data()) > 0) {
            std::memcpy(bytes + static_cast<std::size_t>(j) * elementSize,
                        bytes + static_cast<std::size_t>(j - 1) * elementSize, elementSize);
            --j;
        }
        std::memcpy(bytes + static_cast<std::size_t>(j) * elementSize, aside.data(), elementSize);
    }
}

bool sortRowsConsistently(std::vector<row*>& rows, int column, bool descending) {
    // Integers (and empties, which count as 0) compare as numbers, everything else as text; a
    // column mixing non-empty integers with other text has no consistent order, and only QkSort
    // defines its result.
    bool anyInteger = false, anyText = false;
    std::vector<std::int32_t> numbers(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string v = rows[i]->getText(column);
        if (v.empty()) continue;
        if (stringToInt32(v, numbers[i]))
            anyInteger = true;
        else
            anyText = true;
        if (anyInteger && anyText) return false;
    }
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    if (anyInteger) {
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return descending ? numbers[b] < numbers[a] : numbers[a] < numbers[b];
        });
    } else {
        std::vector<std::string> texts(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) texts[i] = rows[i]->getText(column);
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return descending ? compareTextNoCase(texts[b], texts[a]) < 0 : compareTextNoCase(texts[a], texts[b]) < 0;
        });
        for (std::string& t : texts) secureWipe(&t[0], t.size());
    }
    std::vector<row*> sorted(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i) sorted[i] = rows[order[i]];
    rows.swap(sorted);
    return true;
}

// ---- item, header, row ----

item::~item() {
    secureWipe(&value[0], value.capacity());
    destroyChainAfter(*this);
}

header::~header() { destroyChainAfter(*this); }

row::row(const RowValues& values, int count, int rowId) : id(rowId) {
    item** tail = &items;
    for (int i = 0; i < count; ++i) {
        *tail = new item(valueAt(values, i));
        tail = &(*tail)->next;
    }
}

row::~row() {
    delete items;
    destroyChainAfter(*this);
}

item* row::itemAt(int column) const {
    if (column < 0) return nullptr;
    item* p = items;
    for (int i = 0; p && i < column; ++i) p = p->next;
    return p;
}

void row::appendEmptyItem() {
    item** tail = &items;
    while (*tail) tail = &(*tail)->next;
    *tail = new item(std::string());
}

std::string row::getText(int column) const {
    const item* p = itemAt(column);
    return p ? p->value : std::string();
}

void row::setText(const std::string& text, int column) {
    if (item* p = itemAt(column)) p->value = text;
}

void row::swapItems(int a, int b) {
    item* pa = itemAt(a);
    item* pb = itemAt(b);
    if (pa && pb) pa->value.swap(pb->value);
}

void row::removeItem(int column) {
    if (column < 0) return;
    item** link = &items;
    for (int i = 0; *link && i < column; ++i) link = &(*link)->next;
    item* target = *link;
    if (!target) return;
    *link = target->next;
    target->next = nullptr;
    delete target;
}

RowValues row::toArray(int n) const {
    RowValues values;
    values.reserve(n > 0 ? n : 0);
    const item* p = items;
    for (int i = 0; i < n; ++i) {
        values.push_back(p ? p->value : std::string());
        if (p) p = p->next;
    }
    return values;
}

bool row::equals(const RowValues& values) const {
    int i = 0;
    for (const item* p = items; p; p = p->next, ++i)
        if (p->value != valueAt(values, i)) return false;
    return true;
}

// ---- category ----

category::category(std::string categoryName) : name(std::move(categoryName)) {}

category::~category() {
    delete headers;
    delete rows;
    destroyChainAfter(*this);
}

void category::forgetCursor() const { cursorRow_ = nullptr; }

header* category::headerAt(int index) const {
    if (index < 0 || index >= numHeaders) return nullptr;
    header* p = headers;
    for (int i = 0; p && i < index; ++i) p = p->next;
    return p;
}

int category::visibleHeaderCount() const {
    int count = 0;
    for (const header* h = headers; h; h = h->next)
        if (h->show == hsShown) ++count;
    return count;
}

void category::addHeader(const std::string& headerName, int type, int show, int width) {
    if (numHeaders >= MaxHeaders) return;
    header** tail = &headers;
    while (*tail) tail = &(*tail)->next;
    *tail = new header(headerName, type, show, width);
    ++numHeaders;
    for (row* r = rows; r; r = r->next) r->appendEmptyItem();
    indexValid_ = false;
}

void category::removeHeader(int index) {
    if (index < 0 || index >= numHeaders) return;
    header** link = &headers;
    for (int i = 0; i < index; ++i) link = &(*link)->next;
    header* target = *link;
    *link = target->next;
    target->next = nullptr;
    delete target;
    --numHeaders;
    for (row* r = rows; r; r = r->next) r->removeItem(index);
    indexValid_ = false;
}

void category::moveHeader(int from, int to) {
    if (from < 0 || from >= numHeaders || to < 0 || to >= numHeaders || from == to) return;
    header** link = &headers;
    for (int i = 0; i < from; ++i) link = &(*link)->next;
    header* moving = *link;
    *link = moving->next;
    link = &headers;
    for (int i = 0; i < to; ++i) link = &(*link)->next;
    moving->next = *link;
    *link = moving;
    for (row* r = rows; r; r = r->next) r->swapItems(from, to);
    indexValid_ = false;
}

std::uint64_t category::contentHash(const RowValues& values, int count) {
    std::uint64_t h = 1469598103934665603ULL;
    for (int i = 0; i < count; ++i) {
        const std::string& v = valueAt(values, i);
        for (unsigned char c : v) h = (h ^ c) * 1099511628211ULL;
        h = (h ^ (v.size() + 0x9E37u)) * 1099511628211ULL;  // value boundary
    }
    return h;
}

std::uint64_t category::rowHash(const row& r) {
    std::uint64_t h = 1469598103934665603ULL;
    for (const item* p = r.items; p; p = p->next) {
        for (unsigned char c : p->value) h = (h ^ c) * 1099511628211ULL;
        h = (h ^ (p->value.size() + 0x9E37u)) * 1099511628211ULL;
    }
    return h;
}

void category::ensureIndex() {
    if (indexValid_) return;
    contentCount_.clear();
    contentCount_.reserve(static_cast<std::size_t>(numRows) * 2);
    for (const row* r = rows; r; r = r->next) ++contentCount_[rowHash(*r)];
    indexValid_ = true;
}

void category::indexAdd(std::uint64_t hash) {
    if (indexValid_) ++contentCount_[hash];
}

void category::indexRemove(std::uint64_t hash) {
    if (!indexValid_) return;
    auto found = contentCount_.find(hash);
    if (found == contentCount_.end()) return;
    if (--found->second <= 0) contentCount_.erase(found);
}

int category::insertRow(const RowValues& values) {
    ensureIndex();
    const std::uint64_t hash = contentHash(values, numHeaders);
    if (contentCount_.count(hash)) {
        int position = 0;
        for (const row* r = rows; r; r = r->next, ++position)
            if (r->equals(values)) return position;
    }
    row* fresh = new row(values, numHeaders, nextRowId++);
    ++numRows;
    indexAdd(hash);
    forgetCursor();
    if (!rows) {
        rows = lastRow_ = fresh;
        return -1;
    }
    if (sortColumn == -1) {
        lastRow_->next = fresh;
        lastRow_ = fresh;
        return -1;
    }
    const std::string own = fresh->getText(sortColumn);
    row* previous = nullptr;
    row* r = rows;
    for (; r; previous = r, r = r->next) {
        int c = compareTextNoCase(r->getText(sortColumn), own);
        if (sortDescending ? c <= 0 : c >= 0) break;
    }
    fresh->next = r;
    if (previous)
        previous->next = fresh;
    else
        rows = fresh;
    if (!r) lastRow_ = fresh;
    return -1;
}

row* category::rowAt(int position) const {
    if (position < 0 || position >= numRows) return nullptr;
    row* p = rows;
    int i = 0;
    if (cursorRow_ && cursorPos_ <= position) {
        p = cursorRow_;
        i = cursorPos_;
    }
    for (; p && i < position; ++i) p = p->next;
    if (p) {
        cursorRow_ = p;
        cursorPos_ = position;
    }
    return p;
}

row* category::rowById(int id) const {
    if (id < 0 || id >= nextRowId) return nullptr;
    for (row* r = rows; r; r = r->next)
        if (r->getId() == id) return r;
    return nullptr;
}

void category::unlinkAndDestroy(row* target, row* previous) {
    indexRemove(rowHash(*target));
    if (previous)
        previous->next = target->next;
    else
        rows = target->next;
    if (lastRow_ == target) lastRow_ = previous;
    target->next = nullptr;
    delete target;
    --numRows;
    forgetCursor();
    if (numRows == 0) nextRowId = 0;
}

void category::deleteRow(int position) {
    if (position < 0 || position >= numRows) return;
    row* previous = position > 0 ? rowAt(position - 1) : nullptr;
    unlinkAndDestroy(previous ? previous->next : rows, previous);
}

void category::deleteRowById(int id) {
    if (id < 0 || id >= nextRowId) return;
    row* previous = nullptr;
    for (row* r = rows; r; previous = r, r = r->next) {
        if (r->getId() == id) {
            unlinkAndDestroy(r, previous);
            return;
        }
    }
}

std::optional<RowValues> category::rowItems(int position) const {
    const row* r = rowAt(position);
    if (!r) return std::nullopt;
    return r->toArray(numHeaders);
}

std::optional<RowValues> category::visibleRowItems(int position) const {
    const row* r = rowAt(position);
    if (!r) return std::nullopt;
    RowValues values;
    const item* it = r->firstItem();
    for (const header* h = headers; h; h = h->next) {
        if (h->show == hsShown) values.push_back(it ? it->value : std::string());
        if (it) it = it->next;
    }
    return values;
}

std::optional<RowValues> category::rowItemsById(int id) const {
    const row* r = rowById(id);
    if (!r) return std::nullopt;
    return r->toArray(numHeaders);
}

std::string category::itemText(int position, int column) const {
    const row* r = rowAt(position);
    return r ? r->getText(column) : std::string();
}

std::string category::itemTextById(int id, int column) const {
    const row* r = rowById(id);
    return r ? r->getText(column) : std::string();
}

void category::setItemText(const std::string& text, int position, int column) {
    row* r = rowAt(position);
    if (!r || column < 0 || column >= numHeaders) return;
    indexRemove(rowHash(*r));
    r->setText(text, column);
    indexAdd(rowHash(*r));
}

bool category::isRowEmpty(int position) const {
    const row* r = rowAt(position);
    if (!r) return false;
    for (const item* p = r->firstItem(); p; p = p->next)
        if (!p->value.empty()) return false;
    return true;
}

int category::findRowId(const RowValues& values) const {
    for (const row* r = rows; r; r = r->next)
        if (r->equals(values)) return r->getId();
    return -1;
}

int category::rowIdAt(int position) const {
    const row* r = rowAt(position);
    return r ? r->getId() : -1;
}

void category::sortByColumn(int headerIndex) {
    if (numRows == 0 || headerIndex < 0 || headerIndex >= numHeaders) return;
    int visible = 0;
    int index = 0;
    for (const header* h = headers; h && index < headerIndex; h = h->next, ++index)
        if (h->show == hsShown) ++visible;
    if (visible == sortedVisibleColumn) {
        sortDescending = sortDescending ? 0 : 1;
    } else {
        sortedVisibleColumn = visible;
        sortDescending = 0;
    }
    sortColumn = headerIndex;
    comparatorColumn = headerIndex;

    std::vector<row*> order;
    order.reserve(numRows);
    for (row* r = rows; r; r = r->next) order.push_back(r);
    if (!sortRowsConsistently(order, headerIndex, sortDescending != 0))
        QkSort(order.data(), static_cast<int>(order.size()), sizeof(row*),
               sortDescending ? compareDescending : compareAscending);
    for (std::size_t i = 0; i + 1 < order.size(); ++i) order[i]->next = order[i + 1];
    order.back()->next = nullptr;
    rows = order.front();
    lastRow_ = order.back();
    forgetCursor();
}

int category::sortState(int* descending) const {
    if (descending) *descending = sortDescending;
    return sortedVisibleColumn;
}
