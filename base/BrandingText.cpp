// The branding table and the reading of its overrides; a stored value is only taken when it
// holds at least one byte besides a terminating zero.
#include "base/BrandingText.h"

#include "base/RegistrySettings.h"

namespace {

constexpr unsigned char ScrambleByte = 0x3C;

struct Branding {
    int index;
    const char* text;
    const char* valueName;
};

const Branding Table[] = {
    {brMakerName, "Quarrendel", "Local1"},
    {brWebSite, "http://www.quarrendel.com", "Local2"},
    {brOnlineHelp, "http://www.quarrendel.com/brimsafe_help.php", "Local4"},
    {brAboutText, "", "Local5"},
};

}  // namespace

std::string scrambleBrandingText(const std::string& text) {
    std::string stored = text;
    for (char& c : stored) c = static_cast<char>(static_cast<unsigned char>(c) ^ ScrambleByte);
    return stored;
}

std::string GetBrandingText(int index) {
    const Branding* entry = nullptr;
    for (const Branding& b : Table)
        if (b.index == index) entry = &b;
    if (!entry) return std::string();
    std::string text = entry->text;
    settings::RegistryKey key;
    if (!key.open(HKEY_CURRENT_USER, settings::SettingsKeyPath)) return text;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), entry->valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return text;
    std::string stored(size, '\0');
    if (RegQueryValueExA(key.get(), entry->valueName, nullptr, &type, reinterpret_cast<BYTE*>(&stored[0]), &size) !=
        ERROR_SUCCESS)
        return text;
    stored.resize(size);
    // A registry may hand a string back with a terminating zero it added itself; that zero is not
    // part of the scrambled text.
    if (!stored.empty() && stored.back() == '\0') stored.pop_back();
    // A value that holds only that zero is an empty string: the default stays.
    if (stored.empty()) return text;
    // The text ends at its first zero once unscrambled, as a zero-terminated string does.
    std::string plain = scrambleBrandingText(stored);
    std::size_t end = plain.find('\0');
    if (end != std::string::npos) plain.resize(end);
    return plain;
}
