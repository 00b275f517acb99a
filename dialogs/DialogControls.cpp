// The dialogs' percentage meter; see DialogControls.h.
#include "dialogs/DialogControls.h"

SecretText readSecret(DialogEdit* edit) {
    AnsiString text = edit->Text;
    SecretText secret(text.c_str(), text.size());
    if (!text.empty()) secureWipe(&text[0], text.size());
    return secret;
}

DialogMeter::DialogMeter(TComponent* AOwner) : TGraphicControl(AOwner) {
    Color = clWhite;
    SetBounds(0, 0, 150, 20);
}

void DialogMeter::SetMax(int value) {
    if (value < 1 || value == max_) return;
    max_ = value;
    if (position_ > max_) position_ = max_;
    Invalidate();
}

void DialogMeter::SetPosition(int value) {
    value = value < 0 ? 0 : value > max_ ? max_ : value;
    if (value == position_) return;
    position_ = value;
    Invalidate();
}

void DialogMeter::SetPercent(int percent) { SetPosition(static_cast<int>(static_cast<long long>(max_) * percent / 100)); }

void DialogMeter::SetBarColor(TColor value) {
    if (value == barColor_) return;
    barColor_ = value;
    Invalidate();
}

void DialogMeter::Paint() {
    TCanvas* canvas = GetCanvas();
    TRect all = Rect(0, 0, Width, Height);
    canvas->Brush->Style = bsSolid;
    canvas->Brush->Color = clGray;
    canvas->FillRect(all);
    TRect inner = Rect(1, 1, Width - 1, Height - 1);
    canvas->Brush->Color = Color;
    canvas->FillRect(inner);
    int filled = static_cast<int>(static_cast<long long>(inner.Width()) * position_ / max_);
    if (filled > 0) {
        canvas->Brush->Color = barColor_;
        canvas->FillRect(Rect(inner.Left, inner.Top, inner.Left + filled, inner.Bottom));
    }
    AnsiString text = IntToStr(GetPercent()) + "%";
    canvas->Font->Assign(Font);
    canvas->Font->Color = clBlack;
    canvas->Brush->Style = bsClear;
    int x = (Width - canvas->TextWidth(text)) / 2;
    int y = (Height - canvas->TextHeight(text)) / 2;
    canvas->TextOut(x, y, text);
}
