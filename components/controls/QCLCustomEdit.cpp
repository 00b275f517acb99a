// The one-line edit: see QCLCustomEdit.h.
#include "components/controls/QCLCustomEdit.h"

#include "components/runtime/Qclutils.h"

#include <algorithm>

namespace {

// The text for the drawing routines, wiped when it goes.
struct ScratchText {
    AnsiString text;
    ScratchText(const char* data, std::size_t n) : text(data, n) {}
    ~ScratchText() {
        if (!text.empty()) secureWipe(&text[0], text.size());
    }
};

}  // namespace

TQCLCustomEdit::TQCLCustomEdit(TComponent* AOwner)
    : TQCLBaseEdit(AOwner), buttons_(new TQCLSpecialButtons(this, true)) {}

// The items free their speed buttons, which this edit also owns: the
// collection goes before the edit's components do.
TQCLCustomEdit::~TQCLCustomEdit() { delete buttons_; }

void TQCLCustomEdit::Loaded() {
    TQCLBaseEdit::Loaded();
    CorrectBounds();
}

void TQCLCustomEdit::SetPasswordChar(char Value) {
    passwordChar_ = Value;
    ChangedText(1);
}

void TQCLCustomEdit::SetAutoSize(bool Value) {
    if (autoSize_ == Value) return;
    autoSize_ = Value;
    CorrectBounds();
}

void TQCLCustomEdit::CorrectBounds() {
    drawCanvas()->SetFont(GetFont());
    if (!autoSize_) return;
    int rowHeight = RowHeight("Qp");
    int height = bevel_->GetMode() == bmWindows ? 5 * rowHeight / 4 + 5 : 5 * rowHeight / 4 + 2 * BevelExt();
    int width = std::max(GetWidth(), buttons_->GetCount() * customButtonWidth_ + 30);
    SetBounds(GetLeft(), GetTop(), width, height);
}

void TQCLCustomEdit::ModifyPaintRect() {
    paintRect_.Right -= buttons_->GetCount() * customButtonWidth_ + 1;
    SetBorders();
}

void TQCLCustomEdit::SetBorders() {
    for (int i = 0; i < buttons_->GetCount(); ++i) {
        TQCLSpeedButton* button = buttons_->GetItem(i)->GetSpeedButton();
        if (!button) continue;
        button->SetStyle(customButtonStyle_);
        int top = bevel_->GetMode() == bmWindows ? button->GetTop() : paintRect_.Top;
        button->SetBounds(paintRect_.Right + 1 + i * customButtonWidth_, top, customButtonWidth_,
                          paintRect_.Height());
    }
}

void TQCLCustomEdit::SetCustomButtonWidth(int Value) {
    if (customButtonWidth_ == Value) return;
    customButtonWidth_ = Value;
    if (GetParent() && HandleAllocated()) Perform(WM_SIZE, 0, 0);
}

void TQCLCustomEdit::SetCustomButtonStyle(TQCLUserButtonStyle Value) {
    if (customButtonStyle_ == Value) return;
    customButtonStyle_ = Value;
    SetBorders();
}

void TQCLCustomEdit::BtnClick(int Index) {
    if (Index < 0 || Index >= buttons_->GetCount()) return;
    buttons_->GetItem(Index)->DoClick();
}

void TQCLCustomEdit::DoAClick(TObject* Btn, int Index) {
    if (OnBtnClick) OnBtnClick(this, Btn, Index);
}

void TQCLCustomEdit::CreateSpecialText(SecretText& Text) {
    if (passwordChar_)
        Text.assign(model_.Text().size(), passwordChar_);
    else
        Text = model_.Text();
}

void TQCLCustomEdit::ChangedText(int At) {
    CreateSpecialText(displayed_);
    widthsValid_ = false;
    TQCLBaseEdit::ChangedText(At);
}

void TQCLCustomEdit::SetNewText() {
    model_.SetSelLength(0);
    ChangedText(1);
    if (hasFocus()) SetCaret();
}

const std::vector<int>& TQCLCustomEdit::prefixWidths() {
    if (widthsValid_) return widths_;
    int n = static_cast<int>(displayed_.size());
    widths_.assign(static_cast<std::size_t>(n) + 1, 0);
    if (n > 0) {
        TCanvas* canvas = drawCanvas();
        canvas->SetFont(GetFont());
        canvas->TextExtent("");  // selects the font into the DC
        HDC dc = canvas->GetHandle();
        int saved = SetTextCharacterExtra(dc, font3D_->GetTracing());
        std::vector<int> dx(static_cast<std::size_t>(n));
        SIZE size{};
        int fit = 0;
        GetTextExtentExPointA(dc, displayed_.data(), n, INT_MAX, &fit, dx.data(), &size);
        SetTextCharacterExtra(dc, saved);
        for (int i = 0; i < n; ++i) widths_[static_cast<std::size_t>(i) + 1] = dx[static_cast<std::size_t>(i)];
    }
    widthsValid_ = true;
    return widths_;
}

int TQCLCustomEdit::ShownWidth(int Count) {
    const std::vector<int>& w = prefixWidths();
    return w[static_cast<std::size_t>(std::clamp(Count, 0, static_cast<int>(w.size()) - 1))];
}

int TQCLCustomEdit::lineOrigin(int width) {
    switch (alignment_) {
    case taRightJustify: return textRect_.Right - width;
    case taCenter: return textRect_.Left + (textRect_.Width() - width) / 2;
    default: return textRect_.Left;
    }
}

void TQCLCustomEdit::SetCaret() {
    if (!hasFocus() || !caret_->IsShown()) return;
    const std::vector<int>& w = prefixWidths();
    int n = static_cast<int>(displayed_.size());
    int cursor = std::clamp(model_.GetCursorPos(), 1, n + 1);
    TQCLThreeDStyle style = font3D_->GetStyle();
    int x0 = lineOrigin(w[static_cast<std::size_t>(n)]) - 1;
    if (style == tdSunken || style == tdSunkenShadow) x0 += font3D_->GetShadowDepth();
    if (style == tdRaised || style == tdRaisedShadow) x0 += font3D_->GetLightDepth();
    int extrude = 0;
    if ((style == tdExtrude || style == tdExtrudeEnh) &&
        (font3D_->GetOrientation() == toBottomLeft || font3D_->GetOrientation() == toTopLeft))
        extrude = font3D_->GetShadowDepth();
    int probe;
    if (n > 0)
        probe = x0 + w[static_cast<std::size_t>(cursor - 1)] - scrollOffset_;
    else
        probe = alignment_ == taRightJustify ? textRect_.Right
                : alignment_ == taCenter     ? textRect_.Left + textRect_.Width() / 2
                                             : textRect_.Left;
    probe += extrude;
    if (probe > textRect_.Right) {
        scrollOffset_ += probe - textRect_.Right + textRect_.Left + 2;
        DrawText(cursor);
    } else if (probe < textRect_.Left && scrollOffset_ > 0) {
        scrollOffset_ = std::max(0, scrollOffset_ - (std::abs(probe) + textRect_.Left) - 2);
        DrawText(cursor);
    }
    int x = x0 + (n > 0 ? w[static_cast<std::size_t>(cursor - 1)] - scrollOffset_ : 0) + extrude + 1;
    SetQCLCaretPos(x, textRect_.Top);
}

int TQCLCustomEdit::CalcMousePos(const TPoint& Point) {
    const std::vector<int>& w = prefixWidths();
    int n = static_cast<int>(displayed_.size());
    int origin = lineOrigin(w[static_cast<std::size_t>(n)]);
    for (int p = 1; p <= n; ++p) {
        int charWidth = w[static_cast<std::size_t>(p)] - w[static_cast<std::size_t>(p - 1)];
        if (origin + w[static_cast<std::size_t>(p)] - scrollOffset_ - charWidth / 2 >= Point.x) return p;
    }
    return n + 1;
}

void TQCLCustomEdit::Paint() {
    TQCLBaseEdit::Paint();
    if (!IsLoading()) DrawText(model_.GetCursorPos());
}

void TQCLCustomEdit::DrawText(int) {
    if (!HandleAllocated() || IsLoading()) return;
    if (!back_) CreateBack();
    bool caretShown = hasFocus() && caret_->IsShown();
    if (caretShown) HideCaret(GetHandle());
    const std::vector<int>& w = prefixWidths();
    int n = static_cast<int>(displayed_.size());
    int width = w[static_cast<std::size_t>(n)];

    TCanvas* canvas = drawCanvas();
    canvas->SetFont(GetFont());
    RepaintBack(paintRect_);
    TRect r = textRect_;
    const TRect* clip = nullptr;
    if (scrollOffset_ > 0) {
        clip = &textRect_;
        r.Left -= scrollOffset_;
    }
    if (alignment_ == taRightJustify) r.Left = r.Right - width;
    if (alignment_ == taCenter) r.Left = r.Left + (r.Right - r.Left - width) / 2;

    TQCLDrawTextStyles state;
    state << (GetEnabled() ? dtEnabled : dtDisabled);
    if (clip) state << dtClip;
    ScratchText shown(displayed_.data(), displayed_.size());

    int selStart = model_.GetSelStart(), selLength = model_.GetSelLength();
    bool showSelection = selLength > 0 && !selectionHidden_;
    int sx = 0, ex = 0, a = 0, b = 0;
    if (showSelection) {
        sx = r.Left + w[static_cast<std::size_t>(selStart - 1)];
        ex = std::min(r.Left + w[static_cast<std::size_t>(selStart - 1 + selLength)], r.Right);
        switch (font3D_->GetStyle()) {
        case tdRaised: a = font3D_->GetLightDepth(); break;
        case tdSunken: b = font3D_->GetLightDepth(); break;
        case tdSunkenShadow:
            a = font3D_->GetShadowDepth();
            b = font3D_->GetLightDepth();
            break;
        case tdRaisedShadow:
        case tdExtrudeEnh:
            a = font3D_->GetLightDepth();
            b = font3D_->GetShadowDepth();
            break;
        case tdExtrude: a = font3D_->GetShadowDepth(); break;
        default: break;
        }
        int shift = 0;
        if (font3D_->GetStyle() == tdExtrudeEnh &&
            (font3D_->GetOrientation() == toBottomLeft || font3D_->GetOrientation() == toTopLeft))
            shift = b;
        int bottom = std::min(r.Top + RowHeight(shown.text) + a + b, textRect_.Bottom);
        TRect band(sx + a + shift, r.Top, ex + a + shift, bottom);
        band = TRect(std::max(band.Left, textRect_.Left), band.Top, std::min(band.Right, textRect_.Right),
                     band.Bottom);
        if (band.Right > band.Left) {
            canvas->GetBrush()->SetStyle(bsSolid);
            canvas->GetBrush()->SetColor(HighlightBack);
            canvas->FillRect(band);
        }
    }
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetFont()->SetColor(GetFont()->GetColor());
    QCLDrawTextExt(canvas, shown.text, font3D_, r, DT_SINGLELINE | DT_NOPREFIX, state, clip);
    if (showSelection) {
        canvas->GetFont()->SetColor(HighlightText);
        ScratchText part(displayed_.data() + selStart - 1, static_cast<std::size_t>(selLength));
        TRect selRect(sx, r.Top, ex + a + b, r.Bottom);
        TRect selClip(std::max(sx, textRect_.Left), textRect_.Top, std::min(ex + a + b, textRect_.Right),
                      textRect_.Bottom);
        TQCLDrawTextStyles selState = state;
        selState << dtClip;
        QCLDrawTextExt(canvas, part.text, font3D_, selRect, DT_SINGLELINE | DT_NOPREFIX, selState, &selClip);
        canvas->GetFont()->SetColor(GetFont()->GetColor());
    }
    canvas->GetBrush()->SetStyle(bsSolid);
    if (back_) GetCanvas()->CopyRect(paintRect_, back_->GetCanvas(), paintRect_);
    if (caretShown) ShowCaret(GetHandle());
}

void TQCLCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_FONTCHANGED:
        widthsValid_ = false;
        TQCLBaseEdit::Dispatch(Message);
        CorrectBounds();
        return;
    case CM_QCLBEVELCHANGED:
        TQCLBaseEdit::Dispatch(Message);
        CorrectBounds();
        return;
    case EM_GETPASSWORDCHAR: Message.Result = static_cast<unsigned char>(passwordChar_); return;
    case EM_SETPASSWORDCHAR: SetPasswordChar(static_cast<char>(Message.WParam & 0xFF)); return;
    default: TQCLBaseEdit::Dispatch(Message); return;
    }
}
