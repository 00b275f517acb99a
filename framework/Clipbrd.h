/*
 * The clipboard. It is opened with the application window as owner (with no
 * owner, EmptyClipboard leaves none and SetClipboardData fails). Failures
 * return false and never raise; there is one attempt and no retry.
 */
#pragma once

#include "framework/Classes.h"

class TClipboard : public TPersistent {
public:
    // Nesting: only the outermost Open/Close touch the system clipboard.
    bool Open();
    void Close();
    bool Clear();
    bool HasFormat(UINT Format) const;
    AnsiString GetAsText();
    // Replaces the clipboard's content by Text (CF_TEXT); false on failure.
    bool SetTextBuf(const AnsiString& Text);
    void SetAsText(const AnsiString& value) { SetTextBuf(value); }
    int OpenCount() const { return openCount_; }

private:
    int openCount_ = 0;
    bool emptied_ = false;

public:
    BRIM_PROPERTY(AsText, TClipboard::GetAsText, TClipboard::SetAsText);
};

TClipboard* Clipboard();
