// The edit's replace confirmation box, from an in-memory dialog template.
#include "components/controls/QCLReplacePrompt.h"

#include "components/controls/QCLEditModel.h"

#include <string>
#include <vector>

namespace {

// Builds a DLGTEMPLATE with its items: every part WORD-aligned, every item
// DWORD-aligned, texts as UTF-16 (all ASCII here).
class TemplateWriter {
public:
    void word(WORD w) { bytes_.push_back(w); }
    void dword(DWORD d) {
        word(LOWORD(d));
        word(HIWORD(d));
    }
    void text(const char* s) {
        for (; *s; ++s) word(static_cast<WORD>(static_cast<unsigned char>(*s)));
        word(0);
    }
    void alignDword() {
        if (bytes_.size() % 2) word(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* caption) {
        alignDword();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        for (short v : {x, y, cx, cy}) word(static_cast<WORD>(v));
        word(id);
        word(0xFFFF);
        word(classAtom);
        text(caption);
        word(0);  // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    std::vector<WORD> bytes_;  // WORD elements keep the whole block DWORD-aligned at its start
};

constexpr WORD kButton = 0x0080;
constexpr WORD kStatic = 0x0082;

struct Button {
    const char* caption;
    WORD id;
};

INT_PTR CALLBACK promptProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) EndDialog(window, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE: EndDialog(window, IDCANCEL); return TRUE;
    }
    return FALSE;
}

}  // namespace

int QCLAskReplace(HWND Owner, bool ReplaceAll) {
    std::vector<Button> buttons = {{"&Yes", IDYES}, {"&No", IDNO}, {"Cancel", IDCANCEL}};
    if (!ReplaceAll) buttons.push_back({"&All", static_cast<WORD>(QCLReplaceAll)});
    const short buttonWidth = 50, gap = 4, margin = 8;
    const short width = static_cast<short>(2 * margin + buttons.size() * buttonWidth + (buttons.size() - 1) * gap);

    TemplateWriter t;
    t.dword(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    t.dword(0);
    t.word(static_cast<WORD>(1 + buttons.size()));
    for (short v : {short(0), short(0), width, short(52)}) t.word(static_cast<WORD>(v));
    t.word(0);  // no menu
    t.word(0);  // the standard dialog class
    t.text(QCLReplacePromptCaption);
    t.word(8);
    t.text("MS Shell Dlg");
    t.item(SS_LEFT, margin, margin, static_cast<short>(width - 2 * margin), 10, 0xFFFF, kStatic, "Replace?");
    short x = margin;
    for (const Button& b : buttons) {
        const DWORD style = (b.id == IDYES ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP;
        t.item(style, x, 28, buttonWidth, 14, b.id, kButton, b.caption);
        x = static_cast<short>(x + buttonWidth + gap);
    }
    const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.get(), Owner, promptProc, 0);
    return result <= 0 ? IDCANCEL : static_cast<int>(result);
}
