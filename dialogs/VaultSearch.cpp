// The vault search; see VaultSearch.h.
#include "dialogs/VaultSearch.h"

#include <array>
#include <string_view>

namespace vaultsearch {

namespace {

const std::array<unsigned char, 256>& lowerTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        char bytes[256];
        for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
        // Byte 0 would end nothing here: CharLowerBuffA takes a length.
        CharLowerBuffA(bytes, 256);
        for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(bytes[i]);
        return t;
    }();
    return table;
}

void lowerInto(const std::string& text, std::string& out) {
    const auto& table = lowerTable();
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
}

std::string shownData(const header* field, const std::string& value, bool maskSecrets) {
    if (maskSecrets && field && field->show == hsSecret) return std::string(value.size(), '*');
    return oneLine(value);
}

void searchCategory(category* owner, const std::string& needle, bool maskSecrets, std::string& scratch,
                    std::vector<Hit>& hits) {
    int position = 0;
    for (const row* r = owner->firstRow(); r; r = r->next, ++position) {
        const header* field = owner->headerList();
        for (const item* value = r->firstItem(); value; value = value->next) {
            lowerInto(value->value, scratch);
            if (std::string_view(scratch).find(needle) != std::string_view::npos) {
                hits.push_back({owner, position, owner->getName(), field ? field->name : std::string(),
                                shownData(field, value->value, maskSecrets)});
                break;
            }
            if (field) field = field->next;
        }
    }
}

}  // namespace

std::string oneLine(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == '\r') continue;
        out += c == '\n' ? ' ' : c;
    }
    return out;
}

std::string lowerAnsi(const std::string& text) {
    std::string out;
    lowerInto(text, out);
    return out;
}

std::vector<Hit> search(category* encryptedFiles, category* firstUser, const std::string& term, bool maskSecrets) {
    std::vector<Hit> hits;
    if (term.empty()) return hits;
    const std::string needle = lowerAnsi(term);
    std::string scratch;
    if (encryptedFiles) searchCategory(encryptedFiles, needle, maskSecrets, scratch, hits);
    for (category* c = firstUser; c; c = c->next) searchCategory(c, needle, maskSecrets, scratch, hits);
    return hits;
}

char keyToSearchChar(WORD virtualKey, bool shift, bool capsLock) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<char>(shift || capsLock ? virtualKey : virtualKey + 32);
    if (virtualKey >= '0' && virtualKey <= '9') return shift ? 0 : static_cast<char>(virtualKey);
    if (virtualKey >= VK_NUMPAD0 && virtualKey <= VK_NUMPAD9) return static_cast<char>('0' + virtualKey - VK_NUMPAD0);
    return 0;
}

}  // namespace vaultsearch
