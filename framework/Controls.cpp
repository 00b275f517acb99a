/*
 * Controls base, windowless half: input helpers, size constraints, the
 * control canvas, TControl, TGraphicControl and TCustomControl; see
 * Controls.h for the dispatch chain, painting order and geometry rules.
 * The windowed control lives in the WinControl*.cpp files, mouse tracking in
 * ControlsMouse.cpp. What is tricky here:
 *  - a control canvas holds a temporary DC that the window procedure releases
 *    after the outermost message (FreeDeviceContexts), so no drawing code may
 *    keep it across messages;
 *  - a windowless control's mouse messages arrive already translated to its
 *    own coordinates by its parent (see WinControlDispatch.cpp).
 */
#include "framework/ControlMap.h"
#include "framework/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/ActnList.h"
#include "framework/ControlsMouse.h"
#include "framework/Forms.h"

namespace {

TPopupMenuHandler popupMenuHandler = nullptr;

}  // namespace

TShiftState MouseShiftState(WPARAM keys) {
    TShiftState shift;
    if (keys & MK_SHIFT) shift << ssShift;
    if (keys & MK_CONTROL) shift << ssCtrl;
    if (keys & MK_LBUTTON) shift << ssLeft;
    if (keys & MK_RBUTTON) shift << ssRight;
    if (keys & MK_MBUTTON) shift << ssMiddle;
    if (GetKeyState(VK_MENU) < 0) shift << ssAlt;
    return shift;
}

TShiftState KeyboardShiftState() {
    TShiftState shift;
    if (GetKeyState(VK_SHIFT) < 0) shift << ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift << ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift << ssAlt;
    return shift;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
    TShiftState shift = KeyboardShiftState();
    if (keyData & 0x20000000) shift << ssAlt;  // context code: Alt held
    return shift;
}

AnsiString GetShortHint(const AnsiString& Hint) {
    size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& Hint) {
    size_t bar = Hint.find('|');
    return bar == AnsiString::npos ? Hint : Hint.substr(bar + 1);
}

bool IsAccel(WORD Key, const AnsiString& Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&') continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        char upper = static_cast<char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(
            static_cast<UINT_PTR>(static_cast<unsigned char>(Text[i + 1]))))));
        char key = static_cast<char>(reinterpret_cast<UINT_PTR>(
            CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(Key & 0xFF)))));
        return upper == key;
    }
    return false;
}

void SetPopupMenuHandler(TPopupMenuHandler handler) { popupMenuHandler = handler; }

// ---------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::Assign(TPersistent* Source) {
    if (auto* source = dynamic_cast<TSizeConstraints*>(Source)) {
        minWidth_ = source->minWidth_;
        minHeight_ = source->minHeight_;
        maxWidth_ = source->maxWidth_;
        maxHeight_ = source->maxHeight_;
        changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TSizeConstraints::changed() {
    if (OnChange) OnChange(this);
}

void TSizeConstraints::SetMinWidth(int value) {
    if (!SetIfChanged(minWidth_, value)) return;
    if (maxWidth_ > 0 && maxWidth_ < minWidth_) maxWidth_ = minWidth_;
    changed();
}

void TSizeConstraints::SetMinHeight(int value) {
    if (!SetIfChanged(minHeight_, value)) return;
    if (maxHeight_ > 0 && maxHeight_ < minHeight_) maxHeight_ = minHeight_;
    changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
    if (!SetIfChanged(maxWidth_, value)) return;
    if (maxWidth_ > 0 && minWidth_ > maxWidth_) minWidth_ = maxWidth_;
    changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
    if (!SetIfChanged(maxHeight_, value)) return;
    if (maxHeight_ > 0 && minHeight_ > maxHeight_) minHeight_ = maxHeight_;
    changed();
}

void TSizeConstraints::Apply(int& width, int& height) const {
    if (minWidth_ > 0 && width < minWidth_) width = minWidth_;
    if (maxWidth_ > 0 && width > maxWidth_) width = maxWidth_;
    if (minHeight_ > 0 && height < minHeight_) height = minHeight_;
    if (maxHeight_ > 0 && height > maxHeight_) height = maxHeight_;
}

// ---------------------------------------------------------------------------
// TControlCanvas

namespace {
std::vector<TControlCanvas*>& canvasesWithDc() {
    static std::vector<TControlCanvas*> list;
    return list;
}
}  // namespace

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
    if (dc_) return;
    TWinControl* windowed = dynamic_cast<TWinControl*>(control_);
    if (windowed) {
        window_ = windowed->GetHandle();
        dc_ = GetDCEx(window_, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    } else {
        TWinControl* parent = control_->GetParent();
        if (!parent) throw EInvalidOperation("Control '%s' has no parent window", {control_->GetName()});
        window_ = parent->GetHandle();
        dc_ = GetDCEx(window_, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
        if (dc_) {
            SetWindowOrgEx(dc_, -control_->GetLeft(), -control_->GetTop(), nullptr);
            IntersectClipRect(dc_, 0, 0, control_->GetWidth(), control_->GetHeight());
        }
    }
    if (!dc_) throw EOutOfResources("Out of system resources");
    TrackGdiObjects(1);
    canvasesWithDc().push_back(this);
    SetHandle(dc_);
}

void TControlCanvas::FreeHandle() {
    if (!dc_) return;
    SetHandle(nullptr);
    ReleaseDC(window_, dc_);
    TrackGdiObjects(-1);
    dc_ = nullptr;
    window_ = nullptr;
    auto& list = canvasesWithDc();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TControlCanvas::FreeDeviceContexts() {
    auto list = canvasesWithDc();
    for (TControlCanvas* canvas : list)
        if (canvas->LockCount() == 0) canvas->FreeHandle();
}

void TControlCanvas::FreeDeviceContextsOf(HWND window) {
    auto list = canvasesWithDc();
    for (TControlCanvas* canvas : list)
        if (canvas->window_ == window) canvas->FreeHandle();
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), font_(new TFont), constraints_(new TSizeConstraints(this)) {
    WindowProc = TWndMethod(this, &TControl::WndProc);
    font_->OnChange = TNotifyEvent(this, &TControl::fontChanged);
    constraints_->OnChange = TNotifyEvent(this, &TControl::constraintsChanged);
}

TControl::~TControl() {
    Destroying();
    delete actionLink_;
    actionLink_ = nullptr;
    brim_detail::forgetDragControl(this);
    ForgetMouseControl(this);
    if (parent_ && parent_->captureControl_ == this) parent_->captureControl_ = nullptr;
    delete canvas_;
    canvas_ = nullptr;
    if (parent_) parent_->RemoveControl(this);
    delete font_;
    delete constraints_;
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage message;
    message.Msg = Msg;
    message.WParam = WParam;
    message.LParam = LParam;
    if (WindowProc) WindowProc(message);
    else WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage& Message) {
    if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
        if (!GetEnabled() && dynamic_cast<TWinControl*>(this) == nullptr) return;
        // An automatic drag takes the press: no press events, no click.
        if (Message.Msg == WM_LBUTTONDOWN && DragMode == dmAutomatic && GetEnabled()) {
            BeginDrag(true);
            return;
        }
        handleMouse(Message);
    }
    Dispatch(Message);
}

void TControl::handleMouse(TMessage& m) {
    // A superclassed system control (BUTTON, EDIT, LISTBOX, ...) takes and drops
    // the mouse capture itself. Dropping it first would cost a BUTTON its click:
    // it leaves its pushed state on WM_CAPTURECHANGED, so the WM_LBUTTONUP that
    // follows (a real click or BM_CLICK) sends no BN_CLICKED.
    auto* windowed = dynamic_cast<TWinControl*>(this);
    const bool systemCaptures = windowed && windowed->defWndProc_ != DefWindowProcA;
    TShiftState shift = MouseShiftState(m.WParam);
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
        if (controlStyle_.Contains(csDoubleClicks)) {
            if (controlStyle_.Contains(csCaptureMouse) && !systemCaptures) SetMouseCapture(true);
            DblClick();
            if (!GetComponentState().Contains(csDestroying)) MouseDown(mbLeft, shift << ssDouble, x, y);
            return;
        }
        [[fallthrough]];  // a plain press
    case WM_LBUTTONDOWN:
        if (Application) Application->HideHint();
        if (controlStyle_.Contains(csCaptureMouse) && !systemCaptures) SetMouseCapture(true);
        if (controlStyle_.Contains(csClickEvents)) controlState_ << csClicked;
        controlState_ << csLButtonDown;
        MouseDown(mbLeft, shift, x, y);
        return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        MouseDown(mbRight, shift, x, y);
        return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        MouseDown(mbMiddle, shift, x, y);
        return;
    case WM_LBUTTONUP: {
        controlState_ >> csLButtonDown;
        if (controlStyle_.Contains(csCaptureMouse) && !systemCaptures) SetMouseCapture(false);
        bool clicked = controlState_.Contains(csClicked);
        controlState_ >> csClicked;
        TRect client = GetClientRect();
        if (clicked && client.Contains(TPoint(x, y))) Click();
        if (!GetComponentState().Contains(csDestroying)) MouseUp(mbLeft, shift, x, y);
        return;
    }
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift, x, y);
        return;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift, x, y);
        return;
    case WM_MOUSEMOVE:
        MouseMove(shift, x, y);
        return;
    default:
        return;
    }
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
        if (OnMouseEnter) OnMouseEnter(this);
        return;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) OnMouseLeave(this);
        return;
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
        Invalidate();
        return;
    case CM_VISIBLECHANGED:
        return;
    case CM_PARENTCOLORCHANGED:
        if (parentColor_) ParentColorChanged(Message.WParam ? static_cast<TColor>(Message.LParam)
                                                            : (parent_ ? parent_->GetColor() : color_));
        return;
    case CM_PARENTFONTCHANGED:
        if (parentFont_)
            ParentFontChanged(Message.WParam == 1 ? reinterpret_cast<TFont*>(Message.LParam)
                                                  : (parent_ ? parent_->GetFont() : nullptr));
        return;
    case CM_PARENTSHOWHINTCHANGED:
        if (parentShowHint_ && parent_) showHint_ = parent_->GetShowHint();
        return;
    case CM_HITTEST:
        Message.Result = 1;
        return;
    case WM_CANCELMODE:
        if (GetMouseCapture()) SetMouseCapture(false);
        controlState_ >> csClicked;
        return;
    case WM_CONTEXTMENU:
        if (popupMenu_ && popupMenuHandler) {
            TPoint pos(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
            if (pos.x == -1 && pos.y == -1) pos = ClientToScreen(TPoint(0, 0));
            bool handled = false;
            if (OnContextPopup) OnContextPopup(this, ScreenToClient(pos), handled);
            if (!handled) popupMenuHandler(popupMenu_, this, pos.x, pos.y);
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETTEXT: {
        if (Message.WParam == 0 || !Message.LParam) {
            Message.Result = 0;
            return;
        }
        size_t n = std::min(text_.size(), static_cast<size_t>(Message.WParam) - 1);
        std::memcpy(reinterpret_cast<char*>(Message.LParam), text_.data(), n);
        reinterpret_cast<char*>(Message.LParam)[n] = '\0';
        Message.Result = static_cast<LRESULT>(n);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = static_cast<LRESULT>(text_.size());
        return;
    case WM_SETTEXT:
        text_ = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
        Message.Result = TRUE;
        return;
    default:
        return;
    }
}

void TControl::SetName(const AnsiString& value) {
    AnsiString old = GetName();
    bool follow = controlStyle_.Contains(csSetCaption) && GetText() == old;
    TComponent::SetName(value);
    if (follow) SetText(value);
    // A window made before the rename carries the new name too.
    if (auto* windowed = dynamic_cast<TWinControl*>(this); windowed && windowed->HandleAllocated()) {
        ControlMapUntagWindow(windowed->GetHandle());
        ControlMapTagWindow(windowed->GetHandle(), value);
    }
}

AnsiString TControl::GetText() {
    int length = static_cast<int>(Perform(WM_GETTEXTLENGTH, 0, 0));
    if (length <= 0) return AnsiString();
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = static_cast<int>(Perform(WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
    return AnsiString(buffer.data(), static_cast<size_t>(std::max(0, std::min(copied, length))));
}

void TControl::SetText(const AnsiString& value) {
    if (GetText() == value) return;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TControl::ConstrainRequestedSize(int& AWidth, int& AHeight) {
    if (AWidth != width_ || AHeight != height_) {
        int w = AWidth, h = AHeight;
        if (CanResize(w, h)) {
            AWidth = w;
            AHeight = h;
        } else {
            AWidth = width_;
            AHeight = height_;
        }
        constraints_->Apply(AWidth, AHeight);
    }
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    ConstrainRequestedSize(AWidth, AHeight);
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool sizeChanged = AWidth != width_ || AHeight != height_;
    InvalidateControl(visible_, controlStyle_.Contains(csOpaque));
    setBoundsFields(ALeft, ATop, AWidth, AHeight);
    UpdateAnchorRules();
    InvalidateControl(visible_, controlStyle_.Contains(csOpaque));
    RequestAlign();
    if (sizeChanged) Resize();
}

void TControl::setBoundsFields(int l, int t, int w, int h) {
    left_ = l;
    top_ = t;
    width_ = w;
    height_ = h;
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, resize);
    return resize;
}

bool TControl::CanAutoSize(int&, int&) { return false; }

void TControl::AdjustSize() {
    if (!autoSize_) return;
    int w = width_, h = height_;
    if (CanAutoSize(w, h)) SetBounds(left_, top_, w, h);
}

void TControl::SetAutoSize(bool value) {
    if (!SetIfChanged(autoSize_, value)) return;
    if (value) AdjustSize();
}

TRect TControl::GetClientRect() { return TRect(0, 0, width_, height_); }

void TControl::SetClientWidth(int value) { SetWidth(width_ - GetClientWidth() + value); }
void TControl::SetClientHeight(int value) { SetHeight(height_ - GetClientHeight() + value); }

TPoint TControl::GetClientOrigin() {
    if (!parent_) return TPoint(left_, top_);
    TPoint origin = parent_->GetClientOrigin();
    return TPoint(origin.x + left_, origin.y + top_);
}

TPoint TControl::ClientToScreen(const TPoint& Point) {
    TPoint origin = GetClientOrigin();
    return TPoint(Point.x + origin.x, Point.y + origin.y);
}

TPoint TControl::ScreenToClient(const TPoint& Point) {
    TPoint origin = GetClientOrigin();
    return TPoint(Point.x - origin.x, Point.y - origin.y);
}

void TControl::UpdateAnchorRules() {
    if (!parent_) return;
    TRect client = parent_->GetClientRect();
    anchorRight_ = client.Width() - (left_ + width_);
    anchorBottom_ = client.Height() - (top_ + height_);
    anchorsKnown_ = true;
}

void TControl::AnchorTo(int parentWidth, int parentHeight) {
    if (!anchorsKnown_ || align_ != alNone) return;
    int l = left_, t = top_, w = width_, h = height_;
    int keepRight = anchorRight_, keepBottom = anchorBottom_;
    if (anchors_.Contains(akRight)) {
        if (anchors_.Contains(akLeft)) w = parentWidth - keepRight - l;
        else l = parentWidth - keepRight - w;
    }
    if (anchors_.Contains(akBottom)) {
        if (anchors_.Contains(akTop)) h = parentHeight - keepBottom - t;
        else t = parentHeight - keepBottom - h;
    }
    if (l == left_ && t == top_ && w == width_ && h == height_) return;
    SetBounds(l, t, std::max(0, w), std::max(0, h));
    // The distances stay those recorded when the bounds were last set explicitly.
    anchorRight_ = keepRight;
    anchorBottom_ = keepBottom;
}

void TControl::RequestAlign() {
    if (parent_ && (align_ != alNone || anchors_ != TAnchors{akLeft, akTop})) parent_->Realign();
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
    if (!IsVisible || !parent_ || !parent_->HandleAllocated()) return;
    if (dynamic_cast<TWinControl*>(this)) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->handle_, &r, !IsOpaque);
}

void TControl::Invalidate() { InvalidateControl(visible_, controlStyle_.Contains(csOpaque)); }

void TControl::Repaint() {
    if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
    if (controlStyle_.Contains(csOpaque)) {
        HDC dc = GetDC(parent_->handle_);
        int saved = SaveDC(dc);
        IntersectClipRect(dc, left_, top_, left_ + width_, top_ + height_);
        parent_->PaintControls(dc, this);
        RestoreDC(dc, saved);
        ReleaseDC(parent_->handle_, dc);
    } else {
        Invalidate();
        parent_->Update();
    }
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::BringToFront() {
    if (parent_) parent_->SetChildOrder(this, parent_->GetControlCount() - 1);
}

void TControl::SendToBack() {
    if (parent_) parent_->SetChildOrder(this, 0);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

TCustomForm* TControl::GetParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::Click() {
    if (OnClick) OnClick(this);
    else if (actionLink_) actionLink_->Execute();
}

TBasicAction* TControl::GetAction() const { return actionLink_ ? actionLink_->GetAction() : nullptr; }

void TControl::SetAction(TBasicAction* Value) {
    if (!Value) {
        delete actionLink_;
        actionLink_ = nullptr;
        return;
    }
    if (!actionLink_) actionLink_ = new TBasicActionLink(this);
    actionLink_->SetAction(Value);
    ActionChange(Value, GetComponentState().Contains(csLoading));
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    if (!CheckDefaults || GetText().empty()) SetText(action->GetCaption());
    if (!CheckDefaults || GetEnabled()) SetEnabled(action->GetEnabled());
    if (!CheckDefaults || GetHint().empty()) SetHint(action->GetHint());
    if (!CheckDefaults || GetVisible()) SetVisible(action->GetVisible());
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == parent_) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetVisible(bool value) {
    if (value == visible_) return;
    if (!value) InvalidateControl(true, controlStyle_.Contains(csOpaque));
    visible_ = value;
    Perform(CM_VISIBLECHANGED, value, 0);
    if (value) InvalidateControl(true, controlStyle_.Contains(csOpaque));
    RequestAlign();
    if (!value && parent_ && parent_->captureControl_ == this) SetMouseCapture(false);
}

void TControl::SetEnabled(bool value) {
    if (SetIfChanged(enabled_, value)) Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor value) {
    if (!SetIfChanged(color_, value)) return;
    if (!updatingFromParent_) parentColor_ = false;
    Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::ParentColorChanged(TColor parentColor) {
    updatingFromParent_ = true;
    SetColor(parentColor);
    updatingFromParent_ = false;
    parentColor_ = true;
}

void TControl::SetParentColor(bool value) {
    if (!SetIfChanged(parentColor_, value)) return;
    if (value && parent_) ParentColorChanged(parent_->GetColor());
}

void TControl::fontChanged(TObject*) {
    if (!updatingFromParent_) parentFont_ = false;
    Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::ParentFontChanged(TFont* parentFont) {
    if (!parentFont) return;
    updatingFromParent_ = true;
    font_->Assign(parentFont);  // fires fontChanged: CM_FONTCHANGED reaches this control's children
    updatingFromParent_ = false;
    parentFont_ = true;
}

void TControl::SetParentFont(bool value) {
    if (!SetIfChanged(parentFont_, value)) return;
    if (value && parent_) ParentFontChanged(parent_->GetFont());
}

void TControl::constraintsChanged(TObject*) {
    int w = width_, h = height_;
    constraints_->Apply(w, h);
    if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
}

void TControl::SetCursor(TCursor value) {
    if (SetIfChanged(cursor_, value)) Perform(CM_CURSORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool value) {
    showHint_ = value;
    parentShowHint_ = false;
    if (auto* windowed = dynamic_cast<TWinControl*>(this)) windowed->NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
    parentShowHint_ = value;
    if (value && parent_) showHint_ = parent_->GetShowHint();
}

void TControl::SetPopupMenu(TPopupMenu* value) { popupMenu_ = value; }

void TControl::SetAlign(TAlign value) {
    if (!SetIfChanged(align_, value)) return;
    anchors_ = TAnchors{akLeft, akTop};
    switch (value) {
    case alTop: anchors_ << akRight; break;
    case alBottom: anchors_ >> akTop; anchors_ << akRight << akBottom; break;
    case alLeft: anchors_ << akBottom; break;
    case alRight: anchors_ >> akLeft; anchors_ << akRight << akBottom; break;
    case alClient: anchors_ << akRight << akBottom; break;
    default: break;
    }
    RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
    anchors_ = value;
    UpdateAnchorRules();
}

bool TControl::GetMouseCapture() const {
    if (auto* windowed = dynamic_cast<const TWinControl*>(this))
        return windowed->handle_ && ::GetCapture() == windowed->handle_;
    return parent_ && parent_->captureControl_ == this && parent_->handle_ && ::GetCapture() == parent_->handle_;
}

void TControl::SetMouseCapture(bool value) {
    if (value == GetMouseCapture()) return;
    auto* windowed = dynamic_cast<TWinControl*>(this);
    if (value) {
        if (windowed) {
            ::SetCapture(windowed->GetHandle());
        } else if (parent_) {
            HWND window = parent_->GetHandle();
            ::SetCapture(window);
            parent_->captureControl_ = this;  // after SetCapture: its WM_CAPTURECHANGED clears the old one
        }
    } else {
        if (!windowed && parent_) parent_->captureControl_ = nullptr;
        ReleaseCapture();
    }
}

void TControl::PaintThroughCanvas(HDC DC) {
    TCanvas* canvas = GetControlCanvas();
    controlCanvas()->FreeHandle();
    canvas->Lock();
    canvas->SetHandle(DC);
    try {
        Paint();
    } catch (...) {
        canvas->SetHandle(nullptr);
        canvas->Unlock();
        throw;
    }
    canvas->SetHandle(nullptr);
    canvas->Unlock();
}

TCanvas* TControl::GetControlCanvas() {
    if (!canvas_) canvas_ = new TControlCanvas(this);
    return canvas_;
}

// ---------------------------------------------------------------------------

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_PAINT && Message.WParam) {
        PaintThroughCanvas(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = 0;
        return;
    }
    TControl::Dispatch(Message);
}

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TCustomControl::PaintWindow(HDC DC) { PaintThroughCanvas(DC); }
