// The rules of the record dialogs; see RecordDialogRules.h.
#include "dialogs/RecordDialogRules.h"

namespace recordrules {

const char* const NameRuleMessage =
    "Category and field names may not contain quotation marks (\") or greater-than signs (>).";

EntryLayout layoutEntry(const header* first, int panelOffset) {
    EntryLayout layout;
    int slot = 0;
    for (const header* h = first; h; h = h->next) {
        const int y = slot * SlotHeight;
        EntrySlot row;
        row.captionTop = y + 55;
        row.controlTop = y + 72;
        const int panelHeight = layout.formHeight - panelOffset;
        if (h->type == htParagraph) {
            row.kind = 1;
            if (panelHeight < y + 133) layout.formHeight = y + 228;
            slot += 2;
            layout.scrollRange = slot * SlotHeight + 47;
        } else {
            row.kind = 0;
            if (panelHeight < y + 90) layout.formHeight = y + 185;
            slot += 1;
            layout.scrollRange = slot * SlotHeight + 52;
        }
        layout.slots.push_back(row);
    }
    if (layout.formHeight <= EntryMaxHeight) {
        layout.formWidth = EntryNarrowWidth;
    } else {
        layout.formHeight = EntryMaxHeight;
        layout.formWidth = EntryWideWidth;
    }
    return layout;
}

bool nameIsAllowed(const std::string& name) { return name.find_first_of("\">") == std::string::npos; }

std::string typeText(int type) { return type == htParagraph ? "Paragraph" : "One Line"; }

std::string viewText(int show) {
    switch (show) {
    case hsEditorOnly: return "No";
    case hsSecret: return "Secret";
    default: return "Yes";
    }
}

}  // namespace recordrules
