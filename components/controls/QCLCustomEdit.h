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
 * - The custom buttons (QCLSpecialButtons.h) sit right of the paint
 *   rectangle, which gives up their widths plus a one-pixel gap; they are
 *   laid out again whenever the rectangles are (WM_SIZE).
 */
#pragma once

#include "components/controls/QCLBaseEdit.h"
#include "components/controls/QCLSpecialButtons.h"

#include <vector>

class TQCLCustomEdit : public TQCLBaseEdit {
public:
    explicit TQCLCustomEdit(TComponent* AOwner);
    ~TQCLCustomEdit() override;
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

    TQCLSpecialButtons* GetCustomButtons() const { return buttons_; }
    void SetCustomButtons(TQCLSpecialButtons* Value) { buttons_->Assign(Value); }
    int GetCustomButtonWidth() const { return customButtonWidth_; }
    void SetCustomButtonWidth(int Value);
    TQCLUserButtonStyle GetCustomButtonStyle() const { return customButtonStyle_; }
    void SetCustomButtonStyle(TQCLUserButtonStyle Value);
    // Clicks button Index; an index outside the buttons is ignored.
    void BtnClick(int Index);
    // Places the buttons right of the paint rectangle, full height.
    void SetBorders();
    // Fires OnBtnClick (the edit, the speed button, its index).
    virtual void DoAClick(TObject* Btn, int Index);
    // The paint rectangle (client coordinates), for tests and descendants.
    TRect PaintRectForTesting() const { return paintRect_; }

    TEvent<void(TObject* Sender, TObject* Btn, int Index)> OnBtnClick;

    BRIM_PROPERTY(PasswordChar, TQCLCustomEdit::GetPasswordChar, TQCLCustomEdit::SetPasswordChar);
    BRIM_PROPERTY(Text, TQCLBaseEdit::GetText, TQCLBaseEdit::SetText);
    BRIM_PROPERTY(CustomButtonWidth, TQCLCustomEdit::GetCustomButtonWidth, TQCLCustomEdit::SetCustomButtonWidth);
    BRIM_PROPERTY(CustomButtonStyle, TQCLCustomEdit::GetCustomButtonStyle, TQCLCustomEdit::SetCustomButtonStyle);

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
    TQCLSpecialButtons* buttons_;
    int customButtonWidth_ = 16;
    TQCLUserButtonStyle customButtonStyle_ = ubsIntegrated;
};

class TQCLEdit : public TQCLCustomEdit {
public:
    using TQCLCustomEdit::TQCLCustomEdit;
    AnsiString ClassName() const override { return "TQCLEdit"; }
};
