/*
 * The texts that name the maker, each with a built-in default that a registry
 * value under the settings key can override after installation. The stored
 * values are scrambled: every byte is the text's byte XOR 0x3C.
 *
 *   0 the maker's name (Local1), 1 the web-site address (Local2),
 *   3 the online-help page (Local4), 4 an extra about-box text (Local5).
 */
#pragma once

#include <string>

enum BrandingIndex {
    brMakerName = 0,
    brWebSite = 1,
    brOnlineHelp = 3,
    brAboutText = 4,
};

// The text for an index (the empty string for an index not in the table).
std::string GetBrandingText(int index);

// The stored (scrambled) form of a text, as an installer writes it.
std::string scrambleBrandingText(const std::string& text);
