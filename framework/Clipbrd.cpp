/*
 * The clipboard; see Clipbrd.h.
 */
#include "framework/Clipbrd.h"

#include <cstring>

#include "framework/Forms.h"

TClipboard* Clipboard() {
    static TClipboard clipboard;
    return &clipboard;
}

bool TClipboard::Open() {
    if (openCount_ == 0) {
        HWND owner = Application ? Application->GetHandle() : nullptr;
        if (!OpenClipboard(owner)) return false;
        emptied_ = false;
    }
    ++openCount_;
    return true;
}

void TClipboard::Close() {
    if (openCount_ == 0) return;
    if (--openCount_ == 0) CloseClipboard();
}

bool TClipboard::Clear() {
    if (!Open()) return false;
    bool ok = EmptyClipboard() != FALSE;
    emptied_ = ok;
    Close();
    return ok;
}

bool TClipboard::HasFormat(UINT Format) const { return IsClipboardFormatAvailable(Format) != FALSE; }

AnsiString TClipboard::GetAsText() {
    if (!Open()) return AnsiString();
    AnsiString text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            // Another program may have put text there without a terminating zero:
            // read no further than the block it handed over. (Wine terminates
            // such text itself when it is handed over, so only Windows needs this.)
            const SIZE_T size = GlobalSize(data);
            text.assign(bytes, strnlen(bytes, size));
            GlobalUnlock(data);
        }
    }
    Close();
    return text;
}

bool TClipboard::SetTextBuf(const AnsiString& Text) {
    if (!Open()) return false;
    bool ok = false;
    if (EmptyClipboard()) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, Text.size() + 1);
        if (memory) {
            char* bytes = static_cast<char*>(GlobalLock(memory));
            std::memcpy(bytes, Text.c_str(), Text.size() + 1);
            GlobalUnlock(memory);
            ok = SetClipboardData(CF_TEXT, memory) != nullptr;
            if (!ok) GlobalFree(memory);
        }
    }
    Close();
    return ok;
}
