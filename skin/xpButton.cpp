// The XP-style push button; see xpButton.h.
#include "skin/xpButton.h"

#include "skin/XPGraphUtil.h"

namespace {

constexpr TColor frameEnabled = RGB(0, 60, 116), frameDisabled = RGB(143, 144, 150);
constexpr TColor faceTop = RGB(253, 253, 253), faceBottom = RGB(205, 204, 223);
constexpr TColor bevelTop = RGB(206, 231, 255), bevelBottom = RGB(105, 130, 238), bevelFrame = RGB(188, 212, 246);
constexpr TColor hotRing = RGB(248, 179, 48), disabledText = RGB(124, 126, 126);

void line(TCanvas* canvas, TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen->Color = color;
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
}

}  // namespace

TxpButton::TxpButton(TComponent* AOwner) : TCustomControl(AOwner) {
    // Clicks are the button's own (press and release while pressed), not the framework's.
    // Not opaque: the corners outside the rounded frame show the parent's colour.
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 75, 23);
    SetTabStop(true);
    SetParentColor(true);
    SetParentFont(false);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    SetCaption("Button");
}

void TxpButton::SetCaption(const AnsiString& value) {
    if (value == GetText()) return;
    SetText(value);
    accelerator_ = 0;
    size_t amp = value.find('&');
    if (amp != AnsiString::npos && amp + 1 < value.size()) {
        char upper[2] = {value[amp + 1], 0};
        CharUpperBuffA(upper, 1);
        accelerator_ = upper[0];
    }
    Repaint();
}

void TxpButton::SetDowned(bool value) {
    if (value == downed_) return;
    downed_ = value;
    Repaint();
}

void TxpButton::SetEnabled(bool value) {
    TCustomControl::SetEnabled(value);
    Invalidate();
}

void TxpButton::FOnButtonClick() {
    if (OnClick) OnClick(this);
    if (modalResult_ == mrNone) return;
    if (auto* form = dynamic_cast<TCustomForm*>(GetOwner())) form->SetModalResult(modalResult_);
}

void TxpButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        if (!hot_) {
            hot_ = true;
            Repaint();
        }
        break;
    case CM_MOUSELEAVE:
        downed_ = false;
        if (hot_) {
            hot_ = false;
            Repaint();
        }
        break;
    case WM_LBUTTONDOWN:
        if (!downed_) {
            downed_ = true;
            if (!Focused() && GetEnabled()) SetFocus();
            Repaint();
        }
        break;
    case WM_LBUTTONUP:
        if (downed_) {
            downed_ = false;
            Repaint();
            FOnButtonClick();
        }
        break;
    case WM_LBUTTONDBLCLK:
        FOnButtonClick();
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return;
    case WM_SETFOCUS:
        focused_ = true;
        Invalidate();
        break;
    case WM_KILLFOCUS:
        focused_ = false;
        Invalidate();
        break;
    case WM_KEYDOWN:
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_SPACE) && !downed_) {
            downed_ = true;
            Invalidate();
        }
        break;
    case WM_KEYUP:
        if (downed_) {
            downed_ = false;
            Invalidate();
            FOnButtonClick();
        }
        break;
    case CM_DIALOGKEY:
        if (GetEnabled() && ((cancel_ && Message.WParam == VK_ESCAPE) || (default_ && Message.WParam == VK_RETURN))) {
            FOnButtonClick();
            Message.Result = 1;
            return;
        }
        break;
    case CM_DIALOGCHAR:
        if (GetEnabled() && accelerator_ && IsAccel(static_cast<WORD>(Message.WParam), GetText())) {
            FOnButtonClick();
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TxpButton::Paint() {
    TCanvas* canvas = GetCanvas();
    const int W = GetWidth(), H = GetHeight();
    const TRect face(4, 4, W - 4, H - 4);
    AnsiString text = GetText();
    size_t amp = text.find('&');
    if (amp != AnsiString::npos) text.erase(amp, 1);

    canvas->Pen->Width = 1;
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = RGB(214, 211, 211);
    canvas->Pen->Color = RGB(214, 211, 211);
    canvas->Brush->Style = bsClear;

    canvas->Pen->Color = GetEnabled() ? frameEnabled : frameDisabled;
    canvas->RoundRect(1, 1, W - 1, H - 1, 5, 5);

    const int clientHeight = GetClientHeight();
    if (downed_ && hot_) GradientFillRect(canvas, face, faceTop, faceBottom, fdBottomToTop, clientHeight / 2);
    else GradientFillRect(canvas, face, faceTop, faceBottom, fdTopToBottom, clientHeight / 3);

    canvas->Brush->Style = bsClear;
    line(canvas, bevelTop, 3, 2, W - 3, 2);
    line(canvas, bevelBottom, 3, H - 3, W - 3, H - 3);
    canvas->Pen->Color = bevelFrame;
    canvas->Rectangle(2, 3, W - 2, H - 3);
    line(canvas, clWhite, 3, 4, 3, H - 4);
    line(canvas, clWhite, W - 4, 4, W - 4, H - 4);

    if (GetEnabled() && hot_) {
        canvas->Pen->Color = hotRing;
        canvas->Brush->Style = bsClear;
        canvas->RoundRect(2, 2, W - 3, H - 3, 3, 3);
    }

    drawText(canvas, text, face);
    if (GetEnabled() && focused_) {
        canvas->DrawFocusRect(face);
    }
}

void TxpButton::drawText(TCanvas* canvas, const AnsiString& text, const TRect& face) {
    const int W = GetWidth(), H = GetHeight();
    canvas->Font = GetFont();
    if (!GetEnabled()) canvas->Font->Color = disabledText;
    canvas->Brush->Style = bsClear;
    const int textWidth = canvas->TextWidth(text), textHeight = canvas->TextHeight(text);
    const int x = (W - textWidth) / 2, y = (H - textHeight) / 2;
    canvas->TextRect(face, x, y, text);

    AnsiString caption = GetText();
    size_t amp = caption.find('&');
    if (amp == AnsiString::npos || amp + 1 >= caption.size()) return;
    const int shift = downed_ ? 1 : 0;
    const int from = x + canvas->TextWidth(text.substr(0, amp));
    const int to = x + canvas->TextWidth(text.substr(0, amp + 1));
    canvas->Pen->Color = canvas->Font->GetColor();
    canvas->MoveTo(from + shift, y + textHeight + shift);
    canvas->LineTo(to + shift, y + textHeight + shift);
}
