/*
 * A small window built on the framework, to look at: a borderless form with
 * a windowed header painting its own canvas, windowless children painted in
 * z-order (overlapping badges, a hover button, a caption), and a superclassed
 * system EDIT. "--close-after <ms>" closes it on its own (for screenshots).
 */
#include <windows.h>

#include "framework/Framework.h"

namespace {

class THeader : public TCustomControl {
public:
    explicit THeader(TWinControl* parent) : TCustomControl(parent) { Parent = parent; }

protected:
    void Paint() override {
        TCanvas* c = Canvas;
        for (int y = 0; y < Height; ++y) {
            int shade = 60 + y * 120 / std::max(1, Height());
            c->Pen->Color = static_cast<TColor>(RGB(20, shade / 2, shade));
            c->MoveTo(0, y);
            c->LineTo(Width, y);
        }
        c->Brush->Style = bsClear;
        c->Font->Name = "Liberation Sans";
        c->Font->Height = -22;
        c->Font->Style = TFontStyles{fsBold};
        c->Font->Color = clWhite;
        c->TextOut(16, 12, "Framework demo");
    }
};

class TBadge : public TGraphicControl {
public:
    TBadge(TWinControl* parent, TColor color, TRect bounds, const char* text) : TGraphicControl(parent), color_(color) {
        Parent = parent;
        SetBoundsRect(bounds);
        Caption = text;
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas;
        c->Brush->Color = color_;
        c->Pen->Color = clBlack;
        c->Ellipse(0, 0, Width, Height);
        c->Brush->Style = bsClear;
        c->Font->Name = "Liberation Sans";
        c->Font->Height = -14;
        c->Font->Color = clWhite;
        AnsiString text = Caption;
        c->TextOut((Width - c->TextWidth(text)) / 2, (Height - c->TextHeight(text)) / 2, text);
    }

private:
    TColor color_;
};

class THoverButton : public TGraphicControl {
public:
    explicit THoverButton(TWinControl* parent) : TGraphicControl(parent) {
        Parent = parent;
        ControlStyle = ControlStyle() + TControlStyle{csOpaque};
        Caption = "Click me";
        OnMouseEnter = [this](TObject*) { hot_ = true; Invalidate(); };
        OnMouseLeave = [this](TObject*) { hot_ = false; Invalidate(); };
        OnClick = [this](TObject*) {
            ++clicks_;
            Caption = "Clicked " + IntToStr(clicks_);
            Invalidate();
        };
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas;
        c->Brush->Color = hot_ ? static_cast<TColor>(RGB(255, 200, 60)) : static_cast<TColor>(RGB(230, 230, 230));
        c->Pen->Color = clGray;
        c->Rectangle(0, 0, Width, Height);
        c->Brush->Style = bsClear;
        c->Font->Name = "Liberation Sans";
        c->Font->Height = -13;
        AnsiString text = Caption;
        c->TextOut((Width - c->TextWidth(text)) / 2, (Height - c->TextHeight(text)) / 2, text);
    }

private:
    bool hot_ = false;
    int clicks_ = 0;
};

class TDemoEdit : public TWinControl {
public:
    explicit TDemoEdit(TWinControl* parent) : TWinControl(parent) {
        Parent = parent;
        TabStop = true;
    }

protected:
    void CreateParams(TCreateParams& params) override {
        TWinControl::CreateParams(params);
        params.SystemClassName = "EDIT";
        params.Style |= ES_AUTOHSCROLL | WS_TABSTOP;
        params.ExStyle |= WS_EX_CLIENTEDGE;
    }
};

class TDemoForm : public TForm {
public:
    explicit TDemoForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        Position = poScreenCenter;
        SetBounds(0, 0, 480, 320);
        Color = static_cast<TColor>(RGB(245, 245, 240));
        KeyPreview = true;
        OnKeyDown = [this](TObject*, WORD& key, TShiftState) {
            if (key == VK_ESCAPE) Close();
        };
        auto* header = new THeader(this);
        header->Height = 56;
        header->Align = alTop;
        new TBadge(this, clMaroon, Bounds(30, 90, 110, 110), "bottom");
        new TBadge(this, clTeal, Bounds(100, 130, 110, 110), "middle");
        new TBadge(this, clNavy, Bounds(170, 170, 110, 110), "top");
        auto* button = new THoverButton(this);
        button->SetBounds(320, 90, 130, 34);
        auto* edit = new TDemoEdit(this);
        edit->SetBounds(320, 140, 130, 24);
        edit->Text = "windowed EDIT";
        auto* frame = new TBadge(this, clOlive, Bounds(330, 200, 100, 70), "anchored");
        frame->Anchors = TAnchors{akRight, akBottom};
    }

protected:
    void Paint() override {
        TCanvas* c = Canvas;
        c->Pen->Color = clGray;
        c->Brush->Style = bsClear;
        c->Rectangle(0, 0, Width, Height);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InitFramework();
    Application->Initialize();
    Application->Title = "Framework Demo";
    TDemoForm* form = nullptr;
    Application->CreateForm(form);
    if (ParamStr(1) == "--close-after") {
        auto* timer = new TTimer(form);
        timer->Interval = static_cast<unsigned>(StrToIntDef(ParamStr(2), 5000));
        timer->OnTimer = [form](TObject*) { form->Close(); };
    }
    Application->Run();
    return 0;
}
