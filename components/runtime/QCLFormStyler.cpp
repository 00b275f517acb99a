// Title bar styler; see QCLFormStyler.h.
#include "components/runtime/QCLFormStyler.h"

#include "components/runtime/Qclutils.h"
#include "components/runtime/qclsysin.h"

#include <cstring>

namespace {

// Gives the window DC back and detaches it from the canvas, also on failure.
struct WindowDCScope {
    WindowDCScope(HWND window, TCanvas* canvas, bool& flag) : window_(window), canvas_(canvas), flag_(flag) {
        dc_ = GetWindowDC(window);
        canvas_->Handle = dc_;
        flag_ = true;
    }
    ~WindowDCScope() {
        canvas_->Handle = nullptr;
        if (dc_)
            ReleaseDC(window_, dc_);
        flag_ = false;
    }
    HWND window_;
    TCanvas* canvas_;
    bool& flag_;
    HDC dc_ = nullptr;
};

}  // namespace

TQCLFormStyler::TQCLFormStyler(TComponent* AOwner)
    : TQCLWndProcComponent(AOwner),
      systemGradient_(QCLSIWindows98 || QCLSIWindows2000),
      canvas_(new TCanvas()),
      font_(new TFont()),
      font3D_(new TQCL3DCaption()) {
    font_->OnChange = TNotifyEvent(this, &TQCLFormStyler::GetChange);
    font3D_->OnChange = TNotifyEvent(this, &TQCLFormStyler::GetChange);
}

TQCLFormStyler::~TQCLFormStyler() {
    font_->OnChange = nullptr;
    font3D_->OnChange = nullptr;
    // A styler freed before its form leaves the form its real caption.
    giveCaptionBack();
    RestoreWndProc();
}

void TQCLFormStyler::giveCaptionBack() {
    if (!captionHeld_)
        return;
    captionHeld_ = false;
    TCustomForm* f = form();
    if (f && !f->ComponentState().Contains(csDestroying))
        f->Caption = caption_;
}

void TQCLFormStyler::SetAlignment(TAlignment value) {
    if (SetIfChanged(alignment_, value) && paintMode_ != pcNone)
        ForceNCPaint();
}

void TQCLFormStyler::SetCaption(const AnsiString& value) {
    if (SetIfChanged(caption_, value) && paintMode_ != pcNone)
        ForceNCPaint();
}

void TQCLFormStyler::SetColors(int value) {
    if (SetIfChanged(colors_, value) && paintMode_ == pcControl)
        ForceNCPaint();
}

void TQCLFormStyler::SetOptions(TQCLFormStyleOptions value) {
    if (!SetIfChanged(options_, value))
        return;
    if (paintMode_ != pcNone)
        PaintTitleBar(true);
    else
        NCPaint();
}

void TQCLFormStyler::SetPaintMode(TQCLPaintMode value) {
    if (!SetIfChanged(paintMode_, value))
        return;
    if (paintMode_ != pcNone)
        PaintTitleBar(true);
    else
        NCPaint();
}

void TQCLFormStyler::GetChange(TObject* /*Sender*/) {
    if (paintMode_ != pcNone && !options_.Contains(fsUseDefaultFont))
        ForceNCPaint();
}

void TQCLFormStyler::Init() {
    if (!GetEnabled())
        return;
    TQCLWndProcComponent::Init();
    if (!IsHooked())
        return;
    if (!options_.Contains(fsUseFormCaption) && !captionHeld_) {
        if (TCustomForm* f = form()) {
            caption_ = f->Caption;
            captionHeld_ = true;
            f->Caption = " ";
        }
    }
    if (!ComponentState().Contains(csLoading))
        PaintTitleBar(true);
}

void TQCLFormStyler::RestoreState() {
    iconArea_.reset();
    giveCaptionBack();
    if (!ComponentState().Contains(csDestroying))
        NCPaint();
}

void TQCLFormStyler::NCPaint() {
    if (ValidOwner())
        SendMessageA(GetOwnerHandle(), WM_NCACTIVATE, 1, 0);
}

void TQCLFormStyler::ForceNCPaint() {
    if (ValidOwner())
        PaintTitleBar(false);
}

bool TQCLFormStyler::painting() const {
    return GetEnabled() && paintMode_ != pcNone && !ComponentState().Contains(csDestroying);
}

void TQCLFormStyler::WndProc(TMessage& Message) {
    if (!painting()) {
        TQCLWndProcComponent::WndProc(Message);
        return;
    }
    const bool ownCaption = !options_.Contains(fsUseFormCaption);
    switch (Message.Msg) {
    case WM_GETTEXT:
        if (!ownCaption)
            break;
        {
            char* buffer = reinterpret_cast<char*>(Message.LParam);
            if (buffer && Message.WParam >= 2) {
                buffer[0] = ' ';
                buffer[1] = '\0';
                Message.Result = 1;
            } else {
                // No room for the space: only the terminator, nothing copied.
                if (buffer && Message.WParam >= 1)
                    buffer[0] = '\0';
                Message.Result = 0;
            }
        }
        return;
    case WM_GETTEXTLENGTH:
        if (!ownCaption)
            break;
        Message.Result = 1;
        return;
    case WM_NCPAINT:
        CallPrevious(Message);
        if (active_ || options_.Contains(fsInactiveGradient))
            PaintTitleBar(true);
        Message.Result = 0;
        return;
    case WM_NCACTIVATE:
        active_ = Message.WParam != 0;
        CallPrevious(Message);
        if (active_ || options_.Contains(fsInactiveGradient))
            PaintTitleBar(false);
        Message.Result = 1;
        return;
    default:
        break;
    }
    TQCLWndProcComponent::WndProc(Message);
}

void TQCLFormStyler::PaintTitleBar(bool SaveIcon) {
    TCustomForm* f = form();
    if (!f || ComponentState().Contains(csDesigning) || !GetEnabled() || paintMode_ == pcNone || paintingNow_)
        return;
    if (!f->HandleAllocated())
        return;
    HWND window = f->Handle;
    if (!IsWindow(window) || !IsWindowVisible(window))
        return;
    if (!NewStyleControls && IsIconic(window))
        return;
    if (systemGradient_ && options_.Contains(fsCheckSystemGradient) && QCLSIColorDepth() > 8)
        return;
    if (options_.Contains(fsUseFormCaption))
        caption_ = f->Caption;

    WindowDCScope scope(window, canvas_.get(), paintingNow_);
    if (!scope.dc_)
        return;
    ++paints_;
    int flags = (paintMode_ == pcOwnerDraw && options_.Contains(fsAdjustRect)) ? 3 : 1;
    if (f->BorderStyle == bsSingle)
        flags |= 0x20;
    TRect title, text;
    QCLNCCalcDrawingArea(window, title, text, flags);
    smallCaption_ = (flags & 4) != 0;
    const bool iconArea = (flags & 8) != 0;

    if (paintMode_ == pcControl) {
        if (iconArea && SaveIcon) {
            if (!iconArea_)
                iconArea_.reset(new TBitmap());
            iconArea_->SetSize(text.Left - title.Left, title.Bottom - title.Top);
            BitBlt(iconArea_->Canvas->Handle, 0, 0, iconArea_->GetWidth(), iconArea_->GetHeight(), scope.dc_, title.Left,
                   title.Top, SRCCOPY);
        }
        if (active_ || options_.Contains(fsInactiveGradient)) {
            const TColor end = active_ ? static_cast<TColor>(0x80000002) : static_cast<TColor>(0x80000003);
            QCLGradientPaint(canvas_.get(), title, static_cast<TColor>(0), end,
                             static_cast<std::uint8_t>(colors_ < 1 ? 1 : (colors_ > 255 ? 255 : colors_)),
                             static_cast<TQCLGradientStyle>(0), 0, 0);
            if (iconArea && NewStyleControls && iconArea_ && iconArea_->GetWidth() > 0)
                QCLBmpDraw(canvas_.get(),
                           Bounds(title.Left, title.Top, iconArea_->GetWidth(), iconArea_->GetHeight()),
                           iconArea_.get(), 64, iconArea_->GetTransparentColor());
        }
    } else if (paintMode_ == pcOwnerDraw && OnPaint) {
        HRGN clip = CreateRectRgn(title.Left, title.Top, title.Right, title.Bottom);
        SelectClipRgn(scope.dc_, clip);
        DeleteObject(clip);
        OnPaint(this, canvas_.get(), title);
        SelectClipRgn(scope.dc_, nullptr);
    }

    if (options_.Contains(fsUseDefaultFont) && !NewStyleControls) {
        canvas_->Font->Handle = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        canvas_->Font->Height = text.Bottom - text.Top;
    } else {
        canvas_->Font->Assign(font_.get());
    }
    canvas_->Brush->Style = bsClear;
    if (!active_)
        canvas_->Font->Color = static_cast<TColor>(0x80000013);
    else if (options_.Contains(fsUseDefaultFont) || !options_.Contains(fsUseFontColor))
        canvas_->Font->Color =
            GetSysColor(COLOR_CAPTIONTEXT) == 0 ? static_cast<TColor>(0xFFFFFF) : static_cast<TColor>(0x80000009);

    if (options_.Contains(fsDrawCaptionEvent) || paintMode_ == pcOwnerDraw) {
        if (OnCaptionPaint) {
            HRGN clip = CreateRectRgn(text.Left, text.Top, text.Right, text.Bottom);
            SelectClipRgn(scope.dc_, clip);
            DeleteObject(clip);
            OnCaptionPaint(this, canvas_.get(), text);
            SelectClipRgn(scope.dc_, nullptr);
        }
    } else if (active_ || !options_.Contains(fsUseFormCaption) || options_.Contains(fsInactiveGradient)) {
        UINT align = alignment_ == taRightJustify ? DT_RIGHT : alignment_ == taCenter ? DT_CENTER : DT_LEFT;
        UINT drawFlags = align | 0x824;
        if (options_.Contains(fsUseDefaultFont)) {
            // The system's own text drawing: the canvas's font and colour
            // are put into the DC by hand.
            RECT r = text;
            HGDIOBJ previous = SelectObject(scope.dc_, canvas_->Font->GetHandle());
            SetBkMode(scope.dc_, TRANSPARENT);
            SetTextColor(scope.dc_, ColorToRGB(canvas_->Font->GetColor()));
            DrawTextA(scope.dc_, caption_.c_str(), -1, &r, drawFlags);
            SelectObject(scope.dc_, previous);
        } else {
            // Enabled, so the text takes the colour chosen above and not the disabled grey.
            QCLDrawTextExt(canvas_.get(), caption_, font3D_.get(), text, drawFlags, TQCLDrawTextStyles{dtEnabled},
                           nullptr);
        }
    }
}
