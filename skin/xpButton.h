/*
 * TxpButton: the owner-drawn push button of every dialog, in a blue-grey XP
 * look (navy rounded frame, banded face, orange ring while the mouse is over
 * it, dotted focus rectangle, underlined accelerator).
 *
 * A click runs OnClick first; then a non-zero ModalResult goes to the owner
 * form, which ends its modal loop.
 *
 * Input: mouse press and release over the button; Enter or Space pressed and
 * released while it has the focus; Escape on a Cancel button and Enter on a
 * Default button through the form's dialog keys (hidden buttons included);
 * the caption's accelerator ("&Open": Alt+O).
 *
 * Tricky points:
 * - A dialog key that clicks is answered as handled, so the form drops the
 *   key: Enter on a focused Default button clicks once, not a second time
 *   through its own key press.
 * - The caption is also the window text.
 * - A disabled button answers neither dialog keys nor its accelerator.
 */
#pragma once

#include "framework/Controls.h"
#include "framework/Forms.h"

class TxpButton : public TCustomControl {
public:
    explicit TxpButton(TComponent* AOwner);

    AnsiString GetCaption() { return GetText(); }
    void SetCaption(const AnsiString& value);
    bool GetDowned() const { return downed_; }
    void SetDowned(bool value);
    // Also enables or disables the window.
    void SetEnabled(bool value) override;
    TModalResult GetModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool GetCancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    bool GetDefault() const { return default_; }
    void SetDefault(bool value) { default_ = value; }
    // The upper-case accelerator character of the caption, 0 when none.
    char Accelerator() const { return accelerator_; }
    bool IsHotForTesting() const { return hot_; }
    bool IsFocusedForTesting() const { return focused_; }

    // The click: OnClick, then a non-zero ModalResult to the owner form.
    void FOnButtonClick();

    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;

private:
    void drawText(TCanvas* canvas, const AnsiString& text, const TRect& face);

    bool hot_ = false;
    bool downed_ = false;
    bool focused_ = false;
    bool cancel_ = false;
    bool default_ = false;
    char accelerator_ = 0;
    TModalResult modalResult_ = mrNone;

public:
    BRIM_PROPERTY(Caption, TxpButton::GetCaption, TxpButton::SetCaption);
    BRIM_PROPERTY(Downed, TxpButton::GetDowned, TxpButton::SetDowned);
    BRIM_PROPERTY(ModalResult, TxpButton::GetModalResult, TxpButton::SetModalResult);
    BRIM_PROPERTY(Cancel, TxpButton::GetCancel, TxpButton::SetCancel);
    BRIM_PROPERTY(Default, TxpButton::GetDefault, TxpButton::SetDefault);
};
