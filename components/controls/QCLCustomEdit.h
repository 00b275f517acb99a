/*
 * TQCLCustomEdit completes the editing engine for one line of text: the
 * displayed text (the password mask), the caret placement with horizontal
 * scrolling, the mouse-to-cursor mapping, the drawing of text and selection
 * into the back bitmap, and the size that follows the font. TQCLEdit is the
 * class the windows use.
 *
 * Tricky points:
 * - Every width is measured on the displayed text, so a password edit's
 *   caret and clicks follow the "*" widths, never the hidden characters.
 * - A password edit refuses copy, cut and paste (the text stays on the
 *   screen and in the control).
 * - Widths of all prefixes come from one measuring call per operation: a
 *   4,000-character text is measured in one pass, not once per character.
 * - The custom button row at the right edge is not built here (no window of
 *   the program has one); the paint rectangle keeps its one-pixel gap.
 */
#pragma once

#include "components/controls/QCLBaseEdit.h"

#include <vector>

class TQCLCustomEdit : public TQCLBaseEdit {
public:
    explicit TQCLCustomEdit(TComponent* AOwner);
    AnsiString ClassName() const override { return "TQCLCustomEdit"; }

    void Dispatch(TMessage& Message) override;
    void Loaded() override;

    char GetPasswordChar() const { return passwordChar_; }
    void SetPasswordChar(char Value);
    bool GetAutoSize() const { return autoSize_; }
    void SetAutoSize(bool Value) override;
    void CorrectBounds();
    // The line as shown: the text, or the mask character once per character.
    const SecretText& DisplayedText() const { return displayed_; }

    BRIM_PROPERTY(PasswordChar, TQCLCustomEdit::GetPasswordChar, TQCLCustomEdit::SetPasswordChar);
    BRIM_PROPERTY(Text, TQCLBaseEdit::GetText, TQCLBaseEdit::SetText);

protected:
    void Paint() override;
    void SetCaret() override;
    void SetNewText() override;
    void DrawText(int Position) override;
    int CalcMousePos(const TPoint& Point) override;
    void ChangedText(int At) override;
    bool AllowCopyPaste() override { return passwordChar_ == 0; }
    void ModifyPaintRect() override;
    int ShownWidth(int Count) override;
    virtual void CreateSpecialText(SecretText& Text);

private:
    // Widths of the first 0..n displayed characters (n = the text length).
    const std::vector<int>& prefixWidths();
    int lineOrigin(int width);

    SecretText displayed_;
    std::vector<int> widths_;
    bool widthsValid_ = false;
    char passwordChar_ = 0;
    bool autoSize_ = false;
};

class TQCLEdit : public TQCLCustomEdit {
public:
    using TQCLCustomEdit::TQCLCustomEdit;
    AnsiString ClassName() const override { return "TQCLEdit"; }
};
