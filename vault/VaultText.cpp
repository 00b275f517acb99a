// Building and reading the vault text. The reader looks at each tag where it lies in the text
// (no copy per tag), copies only the quoted values it keeps, and takes numbers as far as their
// digits go, so a damaged text reads as far as it can and never past its end. Both directions
// run in time proportional to the text: the writer counts the text's exact length first and
// then writes it through a cursor, with no append that checks or grows the buffer.
#include "vault/VaultText.h"

#include <cstdio>
#include <cstring>

const char* const EncryptedFilesName = "Encrypted Files";

namespace {

constexpr char QuoteEscape = 0x11;
constexpr char GreaterEscape = 0x12;

void unescape(char* text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] == QuoteEscape) text[i] = '"';
        else if (text[i] == GreaterEscape) text[i] = '>';
    }
}

// One tag where it lies in the text: the bytes between '<' and '>'.
struct Tag {
    const char* data;
    std::size_t size;

    bool startsWith(const char* prefix) const {
        const std::size_t n = std::strlen(prefix);
        return size >= n && std::memcmp(data, prefix, n) == 0;
    }
    std::size_t find(char c, std::size_t from) const {
        for (std::size_t i = from; i < size; ++i)
            if (data[i] == c) return i;
        return size;
    }
};

// Finds the next tag from cursor as nextTag does; false at the end of the text.
bool nextTagSpan(const char* text, std::size_t length, std::size_t& cursor, Tag& tag) {
    std::size_t i = cursor;
    while (i < length && text[i] != '<') ++i;
    std::size_t start = i + 1;
    if (i >= length || start >= length) {
        cursor = 0;
        return false;
    }
    // The first character after '<' always belongs to the tag.
    std::size_t end = start + 1;
    while (end < length && text[end] != '>') ++end;
    if (end >= length) {
        cursor = 0;
        return false;
    }
    cursor = end;
    tag = Tag{text + start, end - start};
    return true;
}

// Puts the text between the tag's first double quote and the next one (to the end of the tag
// when unclosed) into out; closingQuote receives the index of the closing quote (tag size when none).
template <typename Text>
void quotedText(const Tag& tag, Text& out, std::size_t& closingQuote) {
    const std::size_t open = tag.find('"', 0);
    if (open == tag.size) {
        closingQuote = tag.size;
        out.clear();
        return;
    }
    const std::size_t close = tag.find('"', open + 1);
    closingQuote = close;
    out.assign(tag.data + open + 1, close - open - 1);
    if (!out.empty()) unescape(&out[0], out.size());
}

int digitAt(const Tag& tag, std::size_t index, int highest) {
    if (index >= tag.size) return 0;
    int value = tag.data[index] - '0';
    return value >= 0 && value <= highest ? value : 0;
}

// Signed decimal from index up to the next slash or the end (leading digits as far as they go).
int numberFrom(const Tag& tag, std::size_t index) {
    if (index >= tag.size) return 0;
    const std::size_t end = tag.find('/', index);
    std::size_t i = index;
    bool negative = false;
    if (i < end && (tag.data[i] == '-' || tag.data[i] == '+')) negative = tag.data[i++] == '-';
    long long value = 0;
    for (; i < end && tag.data[i] >= '0' && tag.data[i] <= '9'; ++i)
        if (value < 100000000) value = value * 10 + (tag.data[i] - '0');
    return static_cast<int>(negative ? -value : value);
}

struct ReaderState {
    int ordinal = 0;
    category* target = nullptr;  // where headers and rows go; null before the first category
    category* toSelect = nullptr;
    RowValues values;
    std::size_t itemIndex = 0;
    bool inRow = false;
};

void readCategoryTag(const Tag& tag, VaultContent& content, ReaderState& state) {
    ++state.ordinal;
    std::size_t closing = 0;
    std::string name;
    quotedText(tag, name, closing);
    if (!content.encryptedFiles && name == EncryptedFilesName) {
        content.encryptedFiles = new category(EncryptedFilesName);
        state.target = content.encryptedFiles;
    } else {
        if (!content.encryptedFiles) content.addEncryptedFilesCategory();
        state.target = content.addCategory(name);
    }
    if (state.ordinal == content.currCat) state.toSelect = state.target;
    state.inRow = false;
}

void readHeaderTag(const Tag& tag, ReaderState& state) {
    if (!state.target) return;
    std::size_t closing = 0;
    std::string name;
    quotedText(tag, name, closing);
    const std::size_t typeAt = closing + 7, showAt = typeAt + 7, widthAt = showAt + 8;
    state.target->addHeader(name, digitAt(tag, typeAt, htParagraph), digitAt(tag, showAt, hsSecret),
                            numberFrom(tag, widthAt));
}

void readItemTag(const Tag& tag, ReaderState& state) {
    if (!state.inRow || state.itemIndex >= state.values.size()) return;  // surplus items are dropped
    std::size_t closing = 0;
    quotedText(tag, state.values[state.itemIndex++], closing);
}

// Overwrites the values of the last row; with a count, leaves that many empty values whose
// buffers serve the next row.
void wipeValues(RowValues& values, std::size_t keep = 0) {
    for (std::string& v : values) {
        secureWipe(&v[0], v.capacity());
        v.clear();
    }
    if (keep == 0) {
        values.clear();
        return;
    }
    values.resize(keep);
}

}  // namespace

// ---- VaultContent ----

void VaultContent::clear() {
    delete userCategories;  // the chain goes with its head
    delete encryptedFiles;
    userCategories = encryptedFiles = current = lastUser_ = nullptr;
}

VaultContent& VaultContent::operator=(VaultContent&& other) noexcept {
    if (this == &other) return *this;
    clear();
    userCategories = other.userCategories;
    encryptedFiles = other.encryptedFiles;
    current = other.current;
    hidePwords = other.hidePwords;
    currCat = other.currCat;
    lastUser_ = other.lastUser_;
    other.userCategories = other.encryptedFiles = other.current = other.lastUser_ = nullptr;
    return *this;
}

category* VaultContent::addCategory(const std::string& name) {
    category* fresh = new category(name);
    if (!lastUser_) lastUser_ = userCategories;
    if (lastUser_)
        for (; lastUser_->next; lastUser_ = lastUser_->next) ++linksWalked_;  // only after a hand edit
    (lastUser_ ? lastUser_->next : userCategories) = fresh;
    lastUser_ = fresh;
    current = fresh;
    return fresh;
}

category* VaultContent::addEncryptedFilesCategory() {
    if (current == encryptedFiles) current = nullptr;
    delete encryptedFiles;
    encryptedFiles = new category(EncryptedFilesName);
    encryptedFiles->addHeader("Name", htOneLine, hsShown, 428);
    return encryptedFiles;
}

// ---- writer ----

namespace {

// The text is written through a cursor into room sized beforehand: every escape stays one byte,
// so a category's exact length is known from its values' lengths and its headers' numbers.
class TextCursor {
public:
    explicit TextCursor(char* at) : at_(at) {}
    template <std::size_t N>
    void literal(const char (&text)[N]) {
        std::memcpy(at_, text, N - 1);
        at_ += N - 1;
    }
    void raw(const char* text, std::size_t n) {
        std::memcpy(at_, text, n);
        at_ += n;
    }
    void escaped(const std::string& value) {
        const char* from = value.data();
        const std::size_t n = value.size();
        for (std::size_t i = 0; i < n; ++i) {
            const char c = from[i];
            at_[i] = c == '"' ? QuoteEscape : c == '>' ? GreaterEscape : c;
        }
        at_ += n;
    }
    char* at() const { return at_; }

private:
    char* at_;
};

int headerNumbers(const header& h, char (&numbers)[64]) {
    return std::snprintf(numbers, sizeof numbers, " type=%d show=%d width=%d", h.type, h.show, h.width);
}

constexpr std::size_t literalLength(const char* text) { return std::char_traits<char>::length(text); }

constexpr const char CategoryOpen[] = "<category name=\"", CategoryNameEnd[] = "\">", CategoryClose[] = "</category>";
constexpr const char HeaderOpen[] = "\t<header name=\"", HeaderClose[] = "/>";
constexpr const char RowOpen[] = "\t<row>", RowClose[] = "\t</row>";
constexpr const char ItemOpen[] = "\t\t<item value=\"", ItemClose[] = "\">";

// The exact length of a category's part of the text.
std::size_t lengthOf(const category& c) {
    std::size_t length = literalLength(CategoryOpen) + c.getName().size() + literalLength(CategoryNameEnd) +
                         literalLength(CategoryClose);
    char numbers[64];
    for (const header* h = c.headerList(); h; h = h->next)
        length += literalLength(HeaderOpen) + h->name.size() + 1 + static_cast<std::size_t>(headerNumbers(*h, numbers)) +
                  literalLength(HeaderClose);
    const std::size_t perRow = literalLength(RowOpen) + literalLength(RowClose) +
                               static_cast<std::size_t>(c.headerCount()) * (literalLength(ItemOpen) + literalLength(ItemClose));
    for (const row* r = c.firstRow(); r; r = r->next) {
        length += perRow;
        const item* it = r->firstItem();
        for (int i = 0; i < c.headerCount() && it; ++i, it = it->next) length += it->value.size();
    }
    return length;
}

void writeCategory(TextCursor& out, const category& c) {
    out.literal(CategoryOpen);
    out.escaped(c.getName());
    out.literal(CategoryNameEnd);
    char numbers[64];
    for (const header* h = c.headerList(); h; h = h->next) {
        out.literal(HeaderOpen);
        out.escaped(h->name);
        out.literal("\"");
        out.raw(numbers, static_cast<std::size_t>(headerNumbers(*h, numbers)));
        out.literal(HeaderClose);
    }
    for (const row* r = c.firstRow(); r; r = r->next) {
        out.literal(RowOpen);
        const item* it = r->firstItem();
        for (int i = 0; i < c.headerCount(); ++i) {
            out.literal(ItemOpen);
            if (it) {
                out.escaped(it->value);
                it = it->next;
            }
            out.literal(ItemClose);
        }
        out.literal(RowClose);
    }
    out.literal(CategoryClose);
}

}  // namespace

namespace {

const char* startTag(bool hidePwords) { return hidePwords ? "<hidePwords value=1/>" : "<hidePwords value=0/>"; }

}  // namespace

std::size_t vaultTextLength(bool hidePwords, const category* encryptedFiles, const category* userCategories) {
    std::size_t length = std::strlen(startTag(hidePwords));
    if (encryptedFiles) length += lengthOf(*encryptedFiles);
    for (const category* c = userCategories; c; c = c->next) length += lengthOf(*c);
    return length;
}

std::size_t writeVaultText(char* out, bool hidePwords, const category* encryptedFiles, const category* userCategories) {
    TextCursor cursor(out);
    const char* const start = startTag(hidePwords);
    cursor.raw(start, std::strlen(start));
    if (encryptedFiles) writeCategory(cursor, *encryptedFiles);
    for (const category* c = userCategories; c; c = c->next) writeCategory(cursor, *c);
    return static_cast<std::size_t>(cursor.at() - out);
}

SecretText buildVaultText(bool hidePwords, const category* encryptedFiles, const category* userCategories) {
    SecretText out(vaultTextLength(hidePwords, encryptedFiles, userCategories), '\0');
    // A shortfall would be a miscount: never longer.
    out.resize(writeVaultText(&out[0], hidePwords, encryptedFiles, userCategories));
    return out;
}

// ---- tokenizer and reader ----

std::optional<SecretText> nextTag(const char* text, std::size_t length, std::size_t& cursor) {
    Tag tag{nullptr, 0};
    if (!nextTagSpan(text, length, cursor, tag)) return std::nullopt;
    return SecretText(tag.data, tag.size);
}

void readVaultText(const char* text, std::size_t length, VaultContent& content, int currCatSetting) {
    content.clear();
    content.currCat = currCatSetting;
    ReaderState state;
    std::size_t cursor = 0;
    Tag tag{nullptr, 0};
    while (nextTagSpan(text, length, cursor, tag)) {
        if (tag.startsWith("hidePwords")) {
            if (tag.size > 17 && tag.data[17] == '1') content.hidePwords = true;
        } else if (tag.startsWith("category")) {
            readCategoryTag(tag, content, state);
        } else if (tag.startsWith("header")) {
            readHeaderTag(tag, state);
        } else if (tag.startsWith("row")) {
            if (!state.target) continue;
            wipeValues(state.values, static_cast<std::size_t>(state.target->headerCount()));
            state.itemIndex = 0;
            state.inRow = true;
        } else if (tag.startsWith("/row")) {
            if (state.inRow && state.target) state.target->insertRow(state.values);
            wipeValues(state.values, state.values.size());
            state.itemIndex = 0;
            state.inRow = false;
        } else if (tag.startsWith("item")) {
            readItemTag(tag, state);
        }
    }
    wipeValues(state.values);
    if (content.currCat == 1 && content.encryptedFiles) state.toSelect = content.encryptedFiles;
    if (state.toSelect) {
        content.current = state.toSelect;
    } else {
        content.current = content.userCategories;
        content.currCat = 2;
    }
}
