/*
 * The window-free rules of the entry, category and field dialogs: where the
 * entry editor puts each field's row and how large it makes itself, which
 * names a category or field may have, and the texts of a field's type and
 * view in the field list.
 *
 * Tricky points:
 * - One slot is 48 pixels; a paragraph field takes two. The form starts 236
 *   high and grows only while the next row would not fit the content panel;
 *   past 600 it stops at 600 and widens to 370 for the scroll bar.
 * - The content panel is the form height less a fixed offset (the title bar,
 *   the bottom edge and the button row), so the growth rule is written in form
 *   heights here and the dialog passes that offset in.
 * - Names may not hold '"' or '>': the vault text would cut them short on
 *   reading and lose the rest of the category.
 */
#pragma once

#include "vault/category.h"

#include <string>
#include <vector>

namespace recordrules {

constexpr int SlotHeight = 48;
constexpr int EntryStartHeight = 236;
constexpr int EntryMaxHeight = 600;
constexpr int EntryNarrowWidth = 355;
constexpr int EntryWideWidth = 370;

struct EntrySlot {
    int kind = 0;        // 0 one line (edit), 1 paragraph (memo)
    int captionTop = 0;  // in the content panel
    int controlTop = 0;
};

struct EntryLayout {
    std::vector<EntrySlot> slots;  // one per header, in header order
    int formHeight = EntryStartHeight;
    int formWidth = EntryNarrowWidth;
    int scrollRange = 0;
};

// Lays out one row per header from first; panelOffset is the form height less the content panel's.
EntryLayout layoutEntry(const header* first, int panelOffset);

extern const char* const NameRuleMessage;
// False for a category or field name holding '"' or '>'.
bool nameIsAllowed(const std::string& name);

// "One Line" / "Paragraph", and "Yes" / "No" / "Secret" as the field list shows them.
std::string typeText(int type);
std::string viewText(int show);

}  // namespace recordrules
