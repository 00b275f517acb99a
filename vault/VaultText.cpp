// Building and reading the vault text. The reader works on SecretText copies of one tag at a
// time and takes numbers as far as their digits go, so a damaged text reads as far as it can
// and never past its end.
#include "vault/VaultText.h"

#include <cstdio>
#include <cstring>

const char* const EncryptedFilesName = "Encrypted Files";

namespace {

constexpr char QuoteEscape = 0x11;
constexpr char GreaterEscape = 0x12;

void appendEscaped(SecretText& out, const std::string& value) {
    for (char c : value) out += c == '"' ? QuoteEscape : (c == '>' ? GreaterEscape : c);
}

void unescape(SecretText& value) {
    for (char& c : value) {
        if (c == QuoteEscape) c = '"';
        else if (c == GreaterEscape) c = '>';
    }
}

bool startsWith(const SecretText& tag, const char* prefix) {
    return tag.compare(0, std::strlen(prefix), prefix) == 0;
}

// The text between the tag's first double quote and the next one (to the end of the tag when
// unclosed); closingQuote receives the index of the closing quote (tag size when none).
SecretText quotedText(const SecretText& tag, std::size_t& closingQuote) {
    std::size_t open = tag.find('"');
    if (open == SecretText::npos) {
        closingQuote = tag.size();
        return SecretText();
    }
    std::size_t close = tag.find('"', open + 1);
    if (close == SecretText::npos) close = tag.size();
    closingQuote = close;
    SecretText text = tag.substr(open + 1, close - open - 1);
    unescape(text);
    return text;
}

int digitAt(const SecretText& tag, std::size_t index, int highest) {
    if (index >= tag.size()) return 0;
    int value = tag[index] - '0';
    return value >= 0 && value <= highest ? value : 0;
}

// Signed decimal from index up to the next slash or the end (leading digits as far as they go).
int numberFrom(const SecretText& tag, std::size_t index) {
    if (index >= tag.size()) return 0;
    std::size_t end = tag.find('/', index);
    if (end == SecretText::npos) end = tag.size();
    std::size_t i = index;
    bool negative = false;
    if (i < end && (tag[i] == '-' || tag[i] == '+')) negative = tag[i++] == '-';
    long long value = 0;
    for (; i < end && tag[i] >= '0' && tag[i] <= '9'; ++i)
        if (value < 100000000) value = value * 10 + (tag[i] - '0');
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

void readCategoryTag(const SecretText& tag, VaultContent& content, ReaderState& state) {
    ++state.ordinal;
    std::size_t closing = 0;
    SecretText name = quotedText(tag, closing);
    if (!content.encryptedFiles && name == EncryptedFilesName) {
        content.encryptedFiles = new category(EncryptedFilesName);
        state.target = content.encryptedFiles;
    } else {
        if (!content.encryptedFiles) content.addEncryptedFilesCategory();
        state.target = content.addCategory(std::string(name.data(), name.size()));
    }
    if (state.ordinal == content.currCat) state.toSelect = state.target;
    state.inRow = false;
}

void readHeaderTag(const SecretText& tag, ReaderState& state) {
    if (!state.target) return;
    std::size_t closing = 0;
    SecretText name = quotedText(tag, closing);
    const std::size_t typeAt = closing + 7, showAt = typeAt + 7, widthAt = showAt + 8;
    state.target->addHeader(std::string(name.data(), name.size()), digitAt(tag, typeAt, htParagraph),
                            digitAt(tag, showAt, hsSecret), numberFrom(tag, widthAt));
}

void readItemTag(const SecretText& tag, ReaderState& state) {
    if (!state.inRow || state.itemIndex >= state.values.size()) return;  // surplus items are dropped
    std::size_t closing = 0;
    SecretText value = quotedText(tag, closing);
    state.values[state.itemIndex++].assign(value.data(), value.size());
}

void wipeValues(RowValues& values) {
    for (std::string& v : values) secureWipe(&v[0], v.capacity());
    values.clear();
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

void appendCategory(SecretText& out, const category& c) {
    out += "<category name=\"";
    appendEscaped(out, c.getName());
    out += "\">";
    char numbers[64];
    for (const header* h = c.headerList(); h; h = h->next) {
        out += "\t<header name=\"";
        appendEscaped(out, h->name);
        out += '"';
        std::snprintf(numbers, sizeof numbers, " type=%d show=%d width=%d", h->type, h->show, h->width);
        out += numbers;
        out += "/>";
    }
    for (const row* r = c.firstRow(); r; r = r->next) {
        out += "\t<row>";
        const item* it = r->firstItem();
        for (int i = 0; i < c.headerCount(); ++i) {
            out += "\t\t<item value=\"";
            if (it) {
                appendEscaped(out, it->value);
                it = it->next;
            }
            out += "\">";
        }
        out += "\t</row>";
    }
    out += "</category>";
}

}  // namespace

SecretText buildVaultText(bool hidePwords, const category* encryptedFiles, const category* userCategories) {
    SecretText out;
    out += hidePwords ? "<hidePwords value=1/>" : "<hidePwords value=0/>";
    if (encryptedFiles) appendCategory(out, *encryptedFiles);
    for (const category* c = userCategories; c; c = c->next) appendCategory(out, *c);
    return out;
}

// ---- tokenizer and reader ----

std::optional<SecretText> nextTag(const char* text, std::size_t length, std::size_t& cursor) {
    std::size_t i = cursor;
    while (i < length && text[i] != '<') ++i;
    if (i >= length) {
        cursor = 0;
        return std::nullopt;
    }
    std::size_t start = i + 1;
    if (start >= length) {
        cursor = 0;
        return std::nullopt;
    }
    // The first character after '<' always belongs to the tag.
    std::size_t end = start + 1;
    while (end < length && text[end] != '>') ++end;
    if (end >= length) {
        cursor = 0;
        return std::nullopt;
    }
    cursor = end;
    return SecretText(text + start, end - start);
}

void readVaultText(const char* text, std::size_t length, VaultContent& content, int currCatSetting) {
    content.clear();
    content.currCat = currCatSetting;
    ReaderState state;
    std::size_t cursor = 0;
    while (std::optional<SecretText> tag = nextTag(text, length, cursor)) {
        if (startsWith(*tag, "hidePwords")) {
            if (tag->size() > 17 && (*tag)[17] == '1') content.hidePwords = true;
        } else if (startsWith(*tag, "category")) {
            readCategoryTag(*tag, content, state);
        } else if (startsWith(*tag, "header")) {
            readHeaderTag(*tag, state);
        } else if (startsWith(*tag, "row")) {
            if (!state.target) continue;
            wipeValues(state.values);
            state.values.assign(static_cast<std::size_t>(state.target->headerCount()), std::string());
            state.itemIndex = 0;
            state.inRow = true;
        } else if (startsWith(*tag, "/row")) {
            if (state.inRow && state.target) state.target->insertRow(state.values);
            wipeValues(state.values);
            state.itemIndex = 0;
            state.inRow = false;
        } else if (startsWith(*tag, "item")) {
            readItemTag(*tag, state);
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
