/*
 * Controls base; see Controls.h for the dispatch chain, painting order and
 * geometry rules. What is tricky here:
 *  - the object is attached to its window at the first message (WM_NCCREATE
 *    or, for top-level windows, the WM_GETMINMAXINFO before it) through a
 *    thread-local "control being created";
 *  - every exception thrown while handling a message is caught in
 *    MainWndProc and handed to the application; none crosses the system's
 *    window procedure frames;
 *  - temporary control DCs are released after the outermost message.
 */
#include "framework/Controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/Forms.h"

namespace {

const char* const controlProperty = "BrimFrameworkControl";
thread_local TWinControl* creatingControl = nullptr;
int nextControlId = 100;
TPopupMenuHandler popupMenuHandler = nullptr;

// Registered window classes: our class name (and the system class it
// superclasses) -> the name registered and the system class's procedure.
// Two C++ classes of one name but different system classes get distinct
// window classes.
struct RegisteredClass {
    AnsiString name;
    AnsiString systemClass;
    AnsiString registeredName;
    WNDPROC systemProc;
};
std::vector<RegisteredClass>& registeredClasses() {
    static std::vector<RegisteredClass> classes;
    return classes;
}

int mainWndProcDepth = 0;

}  // namespace

LRESULT CALLBACK brimStdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------
// Helpers

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
    if (value == minWidth_) return;
    minWidth_ = value;
    if (maxWidth_ > 0 && maxWidth_ < minWidth_) maxWidth_ = minWidth_;
    changed();
}

void TSizeConstraints::SetMinHeight(int value) {
    if (value == minHeight_) return;
    minHeight_ = value;
    if (maxHeight_ > 0 && maxHeight_ < minHeight_) maxHeight_ = minHeight_;
    changed();
}

void TSizeConstraints::SetMaxWidth(int value) {
    if (value == maxWidth_) return;
    maxWidth_ = value;
    if (maxWidth_ > 0 && minWidth_ > maxWidth_) minWidth_ = maxWidth_;
    changed();
}

void TSizeConstraints::SetMaxHeight(int value) {
    if (value == maxHeight_) return;
    maxHeight_ = value;
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
// Mouse tracking (enter/leave)

namespace {

std::function<TPoint()> cursorSource;
// The chain of controls under the mouse, outermost first.
std::vector<TControl*> mouseChain;

std::vector<TControl*> chainOf(TControl* control) {
    std::vector<TControl*> chain;
    for (TControl* c = control; c; c = c->GetParent()) chain.insert(chain.begin(), c);
    return chain;
}

// The deepest visible control (disabled ones included) at a screen point.
TControl* controlAtScreenPoint(const TPoint& screen, HWND hint) {
    HWND window = nullptr;
    if (hint) {
        POINT client = screen;
        ScreenToClient(hint, &client);
        RECT r;
        GetClientRect(hint, &r);
        if (PtInRect(&r, client) && IsWindowVisible(hint)) window = hint;
    }
    if (!window) window = WindowFromPoint(POINT(screen));
    TWinControl* windowed = nullptr;
    for (HWND w = window; w && !windowed; w = GetParent(w)) windowed = TWinControl::FindControl(w);
    if (!windowed) return nullptr;
    TControl* deepest = windowed;
    TPoint client = windowed->ScreenToClient(screen);
    if (TControl* child = windowed->ControlAtPos(client, true, false)) deepest = child;
    return deepest;
}

void moveMouseTo(TControl* target) {
    std::vector<TControl*> next = target ? chainOf(target) : std::vector<TControl*>();
    size_t common = 0;
    while (common < mouseChain.size() && common < next.size() && mouseChain[common] == next[common]) ++common;
    std::vector<TControl*> leaving(mouseChain.begin() + static_cast<long>(common), mouseChain.end());
    mouseChain = next;
    for (auto it = leaving.rbegin(); it != leaving.rend(); ++it) (*it)->Perform(CM_MOUSELEAVE, 0, 0);
    for (size_t i = common; i < next.size(); ++i) {
        // A handler may have changed the chain (freed a control); stop then.
        if (mouseChain != next) break;
        next[i]->Perform(CM_MOUSEENTER, 0, 0);
    }
    if (Application && (!leaving.empty() || common < next.size())) Application->MouseControlChanged(ControlUnderMouse());
}

}  // namespace

TControl* ControlUnderMouse() { return mouseChain.empty() ? nullptr : mouseChain.back(); }

void UpdateMouseControl(const TPoint* screenPoint) {
    TPoint point = screenPoint ? *screenPoint : Mouse->GetCursorPos();
    moveMouseTo(controlAtScreenPoint(point, nullptr));
}

void ForgetMouseControl(TControl* control) {
    auto it = std::find(mouseChain.begin(), mouseChain.end(), control);
    if (it != mouseChain.end()) mouseChain.erase(it, mouseChain.end());
    if (Application) Application->MouseControlChanged(ControlUnderMouse());
}

TMouse* Mouse = nullptr;

TPoint TMouse::GetCursorPos() const {
    if (cursorSource) return cursorSource();
    POINT p = {};
    ::GetCursorPos(&p);
    return p;
}

void TMouse::SetCursorPos(const TPoint& value) { ::SetCursorPos(value.x, value.y); }

void TMouse::SetCursorSource(std::function<TPoint()> source) { cursorSource = std::move(source); }

TControl* TMouse::GetCapture() const {
    TWinControl* windowed = TWinControl::FindControl(::GetCapture());
    if (windowed && windowed->CaptureControl()) return windowed->CaptureControl();
    return windowed;
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
        handleMouse(Message);
    }
    Dispatch(Message);
}

void TControl::handleMouse(TMessage& m) {
    TShiftState shift = MouseShiftState(m.WParam);
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
        if (controlStyle_.Contains(csDoubleClicks)) {
            if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
            DblClick();
            if (!GetComponentState().Contains(csDestroying)) MouseDown(mbLeft, shift << ssDouble, x, y);
            return;
        }
        [[fallthrough]];  // a plain press
    case WM_LBUTTONDOWN:
        if (Application) Application->HideHint();
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(true);
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
        if (controlStyle_.Contains(csCaptureMouse)) SetMouseCapture(false);
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

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
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
    if (value == autoSize_) return;
    autoSize_ = value;
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
    if (value == enabled_) return;
    enabled_ = value;
    Perform(CM_ENABLEDCHANGED, 0, 0);
}

void TControl::SetColor(TColor value) {
    if (value == color_) return;
    color_ = value;
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
    if (value == parentColor_) return;
    parentColor_ = value;
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
    if (value == parentFont_) return;
    parentFont_ = value;
    if (value && parent_) ParentFontChanged(parent_->GetFont());
}

void TControl::constraintsChanged(TObject*) {
    int w = width_, h = height_;
    constraints_->Apply(w, h);
    if (w != width_ || h != height_) SetBounds(left_, top_, w, h);
}

void TControl::SetCursor(TCursor value) {
    if (value == cursor_) return;
    cursor_ = value;
    Perform(CM_CURSORCHANGED, 0, 0);
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
    if (value == align_) return;
    align_ = value;
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
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), brush_(new TBrush) {
    brush_->SetColor(GetColor());
}

TWinControl::~TWinControl() {
    Destroying();
    ForgetMouseControl(this);
    if (TCustomForm* form = GetParentForm()) {
        if (form != this) form->ControlRemoved(this);
    }
    if (handle_) DestroyHandle();
    while (!controls_.empty()) {
        TControl* child = controls_.back();
        RemoveControl(child);
        child->Free();
    }
    delete brush_;
}

TWinControl* TWinControl::FindControl(HWND Window) {
    if (!Window) return nullptr;
    DWORD process = 0;
    if (GetWindowThreadProcessId(Window, &process) != GetCurrentThreadId()) return nullptr;
    return static_cast<TWinControl*>(GetPropA(Window, controlProperty));
}

HWND TWinControl::GetHandle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    TWinControl* parent = GetParent();
    if (parent) parent->HandleNeeded();
    CreateWnd();
    // Children get their windows with the parent's, in z-order (first at the bottom).
    for (TControl* child : std::vector<TControl*>(controls_))
        if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->CreateHandle();
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.Caption = text_;
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (GetControlStyle().Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
    if (GetVisible()) Params.Style |= WS_VISIBLE;
    if (!GetEnabled()) Params.Style |= WS_DISABLED;
    Params.X = left_;
    Params.Y = top_;
    Params.Width = width_;
    Params.Height = height_;
    TWinControl* parent = GetParent();
    Params.WndParent = parent ? parent->handle_ : parentWindow_;  // CreateHandle made it first
    Params.WindowClass.style = CS_DBLCLKS;
    Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
    TCreateParams params;
    params.WindowClass.cbSize = sizeof(WNDCLASSEXA);
    CreateParams(params);
    if (!params.WndParent && (params.Style & WS_CHILD))
        throw EInvalidOperation("Control '%s' has no parent window", {GetName()});
    // Register our class once; a system class is superclassed.
    auto& classes = registeredClasses();
    auto known = std::find_if(classes.begin(), classes.end(), [&](const RegisteredClass& c) {
        return c.name == params.WinClassName && SameText(c.systemClass, params.SystemClassName);
    });
    if (known == classes.end()) {
        AnsiString registeredName = params.WinClassName;
        for (int n = 2; std::any_of(classes.begin(), classes.end(),
                                    [&](const RegisteredClass& c) { return c.registeredName == registeredName; });
             ++n)
            registeredName = params.WinClassName + "." + IntToStr(n);
        WNDCLASSEXA wc = params.WindowClass;
        wc.cbSize = sizeof wc;
        WNDPROC systemProc = DefWindowProcA;
        if (!params.SystemClassName.empty()) {
            WNDCLASSEXA system = {};
            system.cbSize = sizeof system;
            if (!GetClassInfoExA(nullptr, params.SystemClassName.c_str(), &system))
                throw EOutOfResources("Window class %s is not available", {params.SystemClassName});
            systemProc = system.lpfnWndProc;
            wc = system;
            wc.cbSize = sizeof wc;
            wc.style |= params.WindowClass.style;
        } else {
            wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        }
        wc.lpfnWndProc = brimStdWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = registeredName.c_str();
        wc.hbrBackground = nullptr;
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) RaiseLastOSError();
        classes.push_back({params.WinClassName, params.SystemClassName, registeredName, systemProc});
        known = classes.end() - 1;
    }
    defWndProc_ = known->systemProc;
    params.WinClassName = known->registeredName;
    CreateWindowHandle(params);
    if (!handle_) RaiseLastOSError();
    if (params.Style & WS_CHILD) UpdateBounds();
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), 0);
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
    HMENU id = nullptr;
    if (Params.Style & WS_CHILD) {
        controlId_ = nextControlId++;
        id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId_));
    }
    TWinControl* previous = creatingControl;
    creatingControl = this;
    HWND window = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                                  Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, id,
                                  GetModuleHandleA(nullptr), Params.Param);
    creatingControl = previous;
    if (window && !handle_) attach(window);
}

void TWinControl::attach(HWND window) {
    handle_ = window;
    SetPropA(window, controlProperty, this);
}

void TWinControl::detach() {
    if (!handle_) return;
    TControlCanvas::FreeDeviceContextsOf(handle_);
    RemovePropA(handle_, controlProperty);
    handle_ = nullptr;
    captureControl_ = nullptr;
    tracking_ = false;
}

void TWinControl::DestroyWnd() {
    // Keep the text for the next window.
    if (handle_) text_ = GetText();
    DestroyWindow(handle_);
    detach();
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    for (TControl* child : controls_)
        if (auto* windowed = dynamic_cast<TWinControl*>(child)) windowed->DestroyHandle();
    DestroyWnd();
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    SaveWindowState();
    bool hadFocus = Focused();
    DestroyHandle();
    CreateHandle();
    RestoreWindowState();
    if (hadFocus && CanFocus()) ::SetFocus(handle_);
}

LRESULT CALLBACK brimStdWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(GetPropA(window, controlProperty));
    if (!control && creatingControl) {
        control = creatingControl;
        creatingControl = nullptr;
        control->attach(window);
    }
    if (!control) return DefWindowProcA(window, msg, wParam, lParam);
    return control->MainWndProc(msg, wParam, lParam);
}

LRESULT TWinControl::MainWndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    ++mainWndProcDepth;
    LRESULT result = DeliverWindowMessage(
        [this](TMessage& message) {
            if (WindowProc) WindowProc(message);
            else WndProc(message);
        },
        msg, wParam, lParam);
    --mainWndProcDepth;
    if (msg == WM_NCDESTROY) detach();
    if (mainWndProcDepth == 0) TControlCanvas::FreeDeviceContexts();
    return result;
}

bool TWinControl::routeMouseToChild(TMessage& m) {
    TControl* target = nullptr;
    if (captureControl_) {
        if (handle_ && ::GetCapture() == handle_) target = captureControl_;
        else captureControl_ = nullptr;
    }
    if (!target) {
        TPoint point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        target = ControlAtPos(point, false, false);
    }
    if (!target || dynamic_cast<TWinControl*>(target)) return false;
    TPoint point(GET_X_LPARAM(m.LParam) - target->GetLeft(), GET_Y_LPARAM(m.LParam) - target->GetTop());
    LPARAM translated = MAKELPARAM(static_cast<WORD>(static_cast<short>(point.x)), static_cast<WORD>(static_cast<short>(point.y)));
    m.Result = target->Perform(m.Msg, m.WParam, translated);
    return true;
}

void TWinControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (TCustomForm* form = GetParentForm()) {
            if (form != this && !form->SetFocusedControl(this)) return;
        }
        break;
    case WM_KILLFOCUS:
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: {
        // Enter/leave follows this message's own coordinates (synthetic moves
        // work too), before the control under the mouse hears the message.
        POINT p = {GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        ::ClientToScreen(handle_, &p);
        moveMouseTo(controlAtScreenPoint(TPoint(p), handle_));
        if (!tracking_ && handle_) {
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, handle_, 0};
            tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        if (!routeMouseToChild(Message)) TControl::WndProc(Message);
        return;
    }
    case WM_MOUSELEAVE:
        tracking_ = false;
        UpdateMouseControl(nullptr);
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        eraseBackground(Message);
        return;
    case WM_PAINT:
        PaintHandler(Message);
        return;
    case WM_PRINTCLIENT:
        if (defWndProc_ == DefWindowProcA) {
            TMessage paint;
            paint.Msg = WM_PAINT;
            paint.WParam = Message.WParam;
            PaintHandler(paint);
            return;
        }
        break;
    case WM_SIZE:
    case WM_MOVE:
        UpdateBounds();
        // Inside SetBounds the relayout and OnResize follow once it has moved the window.
        if (Message.Msg == WM_SIZE && !inSetBounds_) {
            Realign();
            Resize();
        }
        DefaultHandler(Message);
        return;
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
        if (!inSetBounds_ && !(pos->flags & SWP_NOSIZE) && (pos->cx != width_ || pos->cy != height_)) {
            int w = pos->cx, h = pos->cy;
            if (!CanResize(w, h)) {
                w = width_;
                h = height_;
            }
            GetConstraints()->Apply(w, h);
            pos->cx = w;
            pos->cy = h;
        }
        DefaultHandler(Message);
        return;
    }
    case WM_WINDOWPOSCHANGED: {
        DefaultHandler(Message);  // sends WM_SIZE / WM_MOVE
        // A WM_SIZE that reached us has already taken the new size, realigned
        // and fired OnResize; this covers a size change whose WM_SIZE did not.
        int seenWidth = width_, seenHeight = height_;
        UpdateBounds();
        if (!inSetBounds_ && (width_ != seenWidth || height_ != seenHeight)) {
            Realign();
            Resize();
        }
        return;
    }
    case WM_SETCURSOR:
        handleSetCursor(Message);
        return;
    case WM_CAPTURECHANGED:
        captureControl_ = nullptr;
        DefaultHandler(Message);
        return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORDLG:
        reflect(Message);
        return;
    case WM_NOTIFYFORMAT:
        Message.Result = NFR_ANSI;
        return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (DoKeyDown(Message)) return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(Message)) return;
        break;
    case WM_CHAR:
        if (DoKeyPress(Message)) return;
        break;
    case CN_KEYDOWN: {
        WORD key = static_cast<WORD>(Message.WParam);
        UINT mask = 0;
        switch (key) {
        case VK_TAB: mask = DLGC_WANTTAB; break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: mask = DLGC_WANTARROWS; break;
        case VK_RETURN:
        case VK_EXECUTE:
        case VK_ESCAPE:
        case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
        default: break;
        }
        if (mask && Perform(CM_WANTSPECIALKEY, key, 0) == 0 &&
            (static_cast<UINT>(Perform(WM_GETDLGCODE, 0, 0)) & mask) == 0) {
            TCustomForm* form = GetParentForm();
            if (form && form->Perform(CM_DIALOGKEY, key, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
        Message.Result = 0;
        return;
    }
    case CN_CHAR:
        if ((static_cast<UINT>(Perform(WM_GETDLGCODE, 0, 0)) & DLGC_WANTCHARS) == 0) {
            TCustomForm* form = GetParentForm();
            if (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) {
                Message.Result = 1;
                return;
            }
        }
        Message.Result = 0;
        return;
    case CN_SYSCHAR: {
        TCustomForm* form = GetParentForm();
        Message.Result = (form && form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) ? 1 : 0;
        return;
    }
    case CN_SYSKEYDOWN:
    case CN_KEYUP:
        Message.Result = 0;
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        Broadcast(Message);
        return;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLORDLG: {
        // A system child asks its parent for colours: answer with its own.
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
        SetBkColor(dc, ColorToRGB(brush_->GetColor()));
        Message.Result = reinterpret_cast<LRESULT>(brush_->GetHandle());
        return;
    }
    case CM_ENTER:
        DoEnter();
        return;
    case CM_EXIT:
        DoExit();
        return;
    case CM_COLORCHANGED:
        ColorChanged();
        return;
    case CM_FONTCHANGED:
        if (handle_) {
            TMessage setFont;
            setFont.Msg = WM_SETFONT;
            setFont.WParam = reinterpret_cast<WPARAM>(GetFont()->GetHandle());
            setFont.LParam = 1;
            DefaultHandler(setFont);
        }
        NotifyControls(CM_PARENTFONTCHANGED, 1, reinterpret_cast<LPARAM>(GetFont()));
        Invalidate();
        return;
    case CM_ENABLEDCHANGED:
        if (handle_) EnableWindow(handle_, GetEnabled());
        Invalidate();
        return;
    case CM_VISIBLECHANGED:
        if (GetVisible() && !handle_ && GetParent() && GetParent()->HandleAllocated()) CreateHandle();
        if (handle_ && (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD))
            ShowWindow(handle_, GetVisible() ? SW_SHOWNOACTIVATE : SW_HIDE);
        return;
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
        NotifyControls(Message.Msg);
        Invalidate();
        return;
    case WM_SYSCOLORCHANGE:
        // System colours changed: brushes of system-coloured controls are stale.
        brush_->SetHandle(nullptr);
        brush_->SetColor(GetColor());
        Perform(CM_SYSCOLORCHANGE, 0, 0);
        DefaultHandler(Message);
        return;
    default:
        break;
    }
    TControl::Dispatch(Message);
}

void TWinControl::ColorChanged() {
    brush_->SetColor(GetColor());
    NotifyControls(CM_PARENTCOLORCHANGED, 0, 0);
    Invalidate();
}

void TWinControl::DefaultHandler(TMessage& Message) {
    if (handle_) {
        Message.Result = CallWindowProcA(defWndProc_, handle_, Message.Msg, Message.WParam, Message.LParam);
        return;
    }
    TControl::DefaultHandler(Message);
}

void TWinControl::reflect(TMessage& m) {
    HWND child = nullptr;
    switch (m.Msg) {
    case WM_NOTIFY: child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom; break;
    case WM_DRAWITEM: child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_DELETEITEM: child = reinterpret_cast<DELETEITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_COMPAREITEM: child = reinterpret_cast<COMPAREITEMSTRUCT*>(m.LParam)->hwndItem; break;
    case WM_MEASUREITEM: {
        UINT id = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam)->CtlID;
        // At creation time the child's window is not attached yet: match the id.
        for (TControl* c : controls_) {
            auto* windowed = dynamic_cast<TWinControl*>(c);
            if (windowed && windowed->controlId_ == static_cast<int>(id)) {
                m.Result = windowed->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
        }
        break;
    }
    default: child = reinterpret_cast<HWND>(m.LParam); break;
    }
    if (child) {
        TWinControl* target = FindControl(child);
        if (target && target != this) {
            m.Result = target->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::eraseBackground(TMessage& m) {
    if (GetControlStyle().Contains(csOpaque)) {
        m.Result = 1;
        return;
    }
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    RECT r = GetClientRect();
    ::FillRect(dc, &r, brush_->GetHandle());
    m.Result = 1;
}

void TWinControl::handleSetCursor(TMessage& m) {
    if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
        TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
        if (cursor == crDefault) {
            POINT p;
            ::GetCursorPos(&p);
            ::ScreenToClient(handle_, &p);
            TControl* child = ControlAtPos(TPoint(p), false, false);
            cursor = (child && child->GetCursor() != crDefault) ? child->GetCursor() : GetCursor();
        }
        if (cursor != crDefault && Screen) {
            ::SetCursor(Screen->GetCursors(cursor));
            m.Result = TRUE;
            return;
        }
    }
    DefaultHandler(m);
}

void TWinControl::PaintHandler(TMessage& Message) {
    PAINTSTRUCT ps;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    bool ownPaint = dc == nullptr;
    if (ownPaint) dc = BeginPaint(handle_, &ps);
    try {
        int saved = SaveDC(dc);
        PaintWindow(dc);
        RestoreDC(dc, saved);
        PaintControls(dc, nullptr);
    } catch (...) {
        if (ownPaint) EndPaint(handle_, &ps);
        throw;
    }
    if (ownPaint) EndPaint(handle_, &ps);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC DC) {
    TMessage message;
    message.Msg = WM_PAINT;
    message.WParam = reinterpret_cast<WPARAM>(DC);
    // Our own classes have nothing below; system classes paint themselves.
    if (defWndProc_ != DefWindowProcA) DefaultHandler(message);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
    size_t start = 0;
    if (First) {
        auto it = std::find(controls_.begin(), controls_.end(), First);
        if (it != controls_.end()) start = static_cast<size_t>(it - controls_.begin());
    }
    std::vector<TControl*> snapshot(controls_);
    for (size_t i = start; i < snapshot.size(); ++i) {
        TControl* child = snapshot[i];
        if (dynamic_cast<TWinControl*>(child) || !child->GetVisible()) continue;
        RECT bounds = child->BoundsRect();
        if (!RectVisible(DC, &bounds)) continue;
        int saved = SaveDC(DC);
        IntersectClipRect(DC, bounds.left, bounds.top, bounds.right, bounds.bottom);
        // The meta region keeps the child clipped even if its drawing code
        // calls SelectClipRgn(dc, NULL).
        SetMetaRgn(DC);
        POINT origin;
        GetWindowOrgEx(DC, &origin);
        SetWindowOrgEx(DC, origin.x - bounds.left, origin.y - bounds.top, nullptr);
        child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
    HandleNeeded();
    int saved = SaveDC(DC);
    POINT origin;
    GetWindowOrgEx(DC, &origin);
    SetWindowOrgEx(DC, origin.x - X, origin.y - Y, nullptr);
    IntersectClipRect(DC, 0, 0, width_, height_);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    if (defWndProc_ == DefWindowProcA) {
        Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    } else {
        Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
        PaintControls(DC, nullptr);
    }
    for (TControl* child : std::vector<TControl*>(controls_)) {
        auto* windowed = dynamic_cast<TWinControl*>(child);
        if (windowed && windowed->GetVisible()) windowed->PaintTo(DC, windowed->left_, windowed->top_);
    }
    RestoreDC(DC, saved);
}

void TWinControl::Broadcast(TMessage& Message) {
    for (TControl* child : std::vector<TControl*>(controls_)) {
        TMessage copy = Message;
        copy.Result = 0;
        child->WindowProc(copy);
        if (copy.Result != 0) {
            Message.Result = copy.Result;
            return;
        }
    }
}

void TWinControl::NotifyControls(UINT Msg, WPARAM WParam, LPARAM LParam) {
    for (TControl* child : std::vector<TControl*>(controls_)) child->Perform(Msg, WParam, LParam);
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (AWidth != width_ || AHeight != height_) {
        int w = AWidth, h = AHeight;
        if (CanResize(w, h)) {
            AWidth = w;
            AHeight = h;
        } else {
            AWidth = width_;
            AHeight = height_;
        }
        GetConstraints()->Apply(AWidth, AHeight);
    }
    if (AWidth < 0) AWidth = 0;
    if (AHeight < 0) AHeight = 0;
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    bool sizeChanged = AWidth != width_ || AHeight != height_;
    if (handle_) {
        inSetBounds_ = true;
        SetWindowPos(handle_, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        inSetBounds_ = false;
        UpdateBounds();
        // The window manager may refuse a size; keep what was asked for the fields
        // only when no window exists.
    } else {
        left_ = ALeft;
        top_ = ATop;
        width_ = AWidth;
        height_ = AHeight;
    }
    UpdateAnchorRules();
    RequestAlign();
    if (sizeChanged) {
        Realign();
        Resize();
    }
}

void TWinControl::UpdateBounds() {
    if (!handle_) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongA(handle_, GWL_STYLE) & WS_CHILD) {
        HWND parent = ::GetParent(handle_);
        if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    }
    left_ = r.left;
    top_ = r.top;
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

TRect TWinControl::GetClientRect() {
    if (handle_) {
        RECT r;
        ::GetClientRect(handle_, &r);
        return r;
    }
    // No window yet: the frame the window will have.
    TCreateParams params;
    CreateParams(params);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, params.Style & ~WS_CHILD, FALSE, params.ExStyle);
    if (params.Style & WS_CHILD) {
        frame = RECT{0, 0, 0, 0};
        if (params.ExStyle & WS_EX_CLIENTEDGE) frame = RECT{-2, -2, 2, 2};
        if (params.Style & WS_BORDER) frame = RECT{frame.left - 1, frame.top - 1, frame.right + 1, frame.bottom + 1};
    }
    int w = width_ - (frame.right - frame.left), h = height_ - (frame.bottom - frame.top);
    return TRect(0, 0, std::max(0, w), std::max(0, h));
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !GetControlStyle().Contains(csOpaque));
}

void TWinControl::Repaint() {
    Invalidate();
    Update();
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

bool TWinControl::Showing() const {
    if (handle_) return IsWindowVisible(handle_) != FALSE;
    return GetVisible() && GetParent() && GetParent()->Showing();
}

void TWinControl::SetVisible(bool value) { TControl::SetVisible(value); }

void TWinControl::SetEnabled(bool value) { TControl::SetEnabled(value); }

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
    int right = 0, bottom = 0;
    bool any = false;
    for (TControl* c : controls_) {
        if (!c->GetVisible()) continue;
        any = true;
        right = std::max(right, c->GetLeft() + c->GetWidth());
        bottom = std::max(bottom, c->GetTop() + c->GetHeight());
    }
    if (!any) return false;
    TRect client = GetClientRect();
    NewWidth = right + (width_ - client.Width());
    NewHeight = bottom + (height_ - client.Height());
    return true;
}

void TWinControl::InsertControl(TControl* AControl) {
    // Windowless children stay below windowed siblings.
    if (dynamic_cast<TWinControl*>(AControl)) {
        controls_.push_back(AControl);
    } else {
        auto firstWindowed = std::find_if(controls_.begin(), controls_.end(),
                                          [](TControl* c) { return dynamic_cast<TWinControl*>(c) != nullptr; });
        controls_.insert(firstWindowed, AControl);
    }
    AControl->parent_ = this;
    if (auto* windowed = dynamic_cast<TWinControl*>(AControl)) {
        windowed->tabOrder_ = -1;
        if (handle_) windowed->CreateHandle();
    }
    if (AControl->parentFont_) AControl->ParentFontChanged(GetFont());
    if (AControl->parentColor_) AControl->ParentColorChanged(GetColor());
    if (AControl->parentShowHint_) AControl->showHint_ = GetShowHint();
    AControl->UpdateAnchorRules();
    AControl->Invalidate();
    if (AControl->GetAlign() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
    auto it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it == controls_.end()) return;
    if (captureControl_ == AControl) captureControl_ = nullptr;
    if (TCustomForm* form = GetParentForm()) form->ControlRemoved(AControl);
    AControl->Invalidate();
    if (auto* windowed = dynamic_cast<TWinControl*>(AControl)) {
        if (windowed->handle_ && !GetComponentState().Contains(csDestroying)) windowed->DestroyHandle();
    }
    it = std::find(controls_.begin(), controls_.end(), AControl);
    if (it != controls_.end()) controls_.erase(it);
    AControl->parent_ = nullptr;
    if (AControl->GetAlign() != alNone) Realign();
}

TControl* TWinControl::GetControl(int Index) const {
    if (Index < 0 || Index >= GetControlCount()) TList::IndexError(Index);
    return controls_[static_cast<size_t>(Index)];
}

bool TWinControl::ContainsControl(TControl* Control) const {
    for (TControl* c = Control; c; c = c->GetParent())
        if (c == this) return true;
    return false;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if (windowed && !AllowWinControls) continue;
        if (!c->GetVisible() || (!c->GetEnabled() && !AllowDisabled)) continue;
        if (!c->BoundsRect().Contains(Pos)) continue;
        if (c->Perform(CM_HITTEST, 0, MAKELPARAM(Pos.x - c->GetLeft(), Pos.y - c->GetTop())) == 0) continue;
        return c;
    }
    return nullptr;
}

void TWinControl::SetChildOrder(TControl* Child, int Order) {
    auto it = std::find(controls_.begin(), controls_.end(), Child);
    if (it == controls_.end()) return;
    controls_.erase(it);
    bool windowed = dynamic_cast<TWinControl*>(Child) != nullptr;
    // Keep windowless children below windowed ones.
    int firstWindowed = static_cast<int>(std::find_if(controls_.begin(), controls_.end(), [](TControl* c) {
                                             return dynamic_cast<TWinControl*>(c) != nullptr;
                                         }) - controls_.begin());
    int low = windowed ? firstWindowed : 0;
    int high = windowed ? static_cast<int>(controls_.size()) : firstWindowed;
    Order = std::max(low, std::min(Order, high));
    controls_.insert(controls_.begin() + Order, Child);
    if (auto* w = dynamic_cast<TWinControl*>(Child)) {
        if (w->handle_) {
            // Our list has the bottom first; the window above the new position is the next windowed sibling.
            HWND after = HWND_TOP;
            for (size_t i = static_cast<size_t>(Order) + 1; i < controls_.size(); ++i) {
                auto* above = dynamic_cast<TWinControl*>(controls_[i]);
                if (above && above->handle_) {
                    after = GetWindow(above->handle_, GW_HWNDNEXT);
                    if (!after) after = HWND_BOTTOM;
                    break;
                }
            }
            SetWindowPos(w->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    } else {
        Child->Invalidate();
    }
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& Rect) {
    AdjustClientRect(Rect);
    TRect client = GetClientRect();
    auto aligned = [&](TAlign align) {
        std::vector<TControl*> list;
        for (TControl* c : controls_)
            if (c->GetAlign() == align && c->GetVisible()) list.push_back(c);
        std::stable_sort(list.begin(), list.end(), [align](TControl* a, TControl* b) {
            switch (align) {
            case alTop: return a->GetTop() < b->GetTop();
            case alBottom: return a->GetTop() + a->GetHeight() > b->GetTop() + b->GetHeight();
            case alLeft: return a->GetLeft() < b->GetLeft();
            case alRight: return a->GetLeft() + a->GetWidth() > b->GetLeft() + b->GetWidth();
            default: return false;
            }
        });
        return list;
    };
    for (TControl* c : aligned(alTop)) {
        c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), c->GetHeight());
        Rect.Top += c->GetHeight();
    }
    for (TControl* c : aligned(alBottom)) {
        c->SetBounds(Rect.Left, Rect.Bottom - c->GetHeight(), Rect.Width(), c->GetHeight());
        Rect.Bottom -= c->GetHeight();
    }
    for (TControl* c : aligned(alLeft)) {
        c->SetBounds(Rect.Left, Rect.Top, c->GetWidth(), std::max(0, Rect.Height()));
        Rect.Left += c->GetWidth();
    }
    for (TControl* c : aligned(alRight)) {
        c->SetBounds(Rect.Right - c->GetWidth(), Rect.Top, c->GetWidth(), std::max(0, Rect.Height()));
        Rect.Right -= c->GetWidth();
    }
    for (TControl* c : aligned(alClient))
        c->SetBounds(Rect.Left, Rect.Top, std::max(0, Rect.Width()), std::max(0, Rect.Height()));
    for (TControl* c : std::vector<TControl*>(controls_))
        if (c->GetAlign() == alNone) c->AnchorTo(client.Width(), client.Height());
}

void TWinControl::Realign() {
    if (alignDisabled_ > 0) {
        alignPending_ = true;
        return;
    }
    ++alignDisabled_;
    TRect rect = GetClientRect();
    try {
        AlignControls(nullptr, rect);
    } catch (...) {
        --alignDisabled_;
        throw;
    }
    --alignDisabled_;
    alignPending_ = false;
}

void TWinControl::EnableAlign() {
    if (alignDisabled_ > 0 && --alignDisabled_ == 0 && alignPending_) Realign();
}

bool TWinControl::CanFocus() {
    for (TControl* c = this; c; c = c->GetParent())
        if (!c->GetVisible() || !c->GetEnabled()) return false;
    return GetParentForm() != nullptr;
}

bool TWinControl::Focused() { return handle_ && ::GetFocus() == handle_; }

void TWinControl::SetFocus() {
    TCustomForm* form = GetParentForm();
    if (form && form != this && !form->Showing()) {
        // The form is not on screen yet: remember the choice for its first show.
        form->SetActiveControl(this);
        return;
    }
    if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
    ::SetFocus(GetHandle());
}

void TWinControl::DoEnter() {
    if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
    if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
    if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
    if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
    if (OnKeyPress) OnKeyPress(this, Key);
}

// The form sees the key first when it previews keys; a key set to 0 by either is consumed.
bool TWinControl::DispatchKey(TMessage& Message, void (TWinControl::*handler)(WORD&, TShiftState)) {
    TShiftState shift = KeyDataToShiftState(Message.LParam);
    WORD key = static_cast<WORD>(Message.WParam);
    TCustomForm* form = GetParentForm();
    if (form && form != this && form->GetKeyPreview()) {
        (form->*handler)(key, shift);
        if (key == 0) return true;
    }
    (this->*handler)(key, shift);
    if (key == 0) return true;
    Message.WParam = key;
    return false;
}

bool TWinControl::DoKeyDown(TMessage& Message) { return DispatchKey(Message, &TWinControl::KeyDown); }

bool TWinControl::DoKeyUp(TMessage& Message) { return DispatchKey(Message, &TWinControl::KeyUp); }

bool TWinControl::DoKeyPress(TMessage& Message) {
    TCustomForm* form = GetParentForm();
    char key = static_cast<char>(Message.WParam);
    if (form && form != this && form->GetKeyPreview()) {
        form->KeyPress(key);
        if (key == 0) return true;
    }
    KeyPress(key);
    if (key == 0) return true;
    Message.WParam = static_cast<unsigned char>(key);
    return false;
}

void TWinControl::ApplyStyle(DWORD style, DWORD exStyle) {
    if (!handle_) return;
    SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(style));
    SetWindowLongA(handle_, GWL_EXSTYLE, static_cast<LONG>(exStyle));
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::SetCtl3D(bool value) {
    if (value == ctl3D_) return;
    ctl3D_ = value;
    parentCtl3D_ = false;
    Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
    std::vector<TWinControl*> children;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) children.push_back(w);
    std::stable_sort(children.begin(), children.end(), [](TWinControl* a, TWinControl* b) {
        return a->GetTabOrder() < b->GetTabOrder();
    });
    for (TWinControl* child : children) {
        List.push_back(child);
        child->GetTabOrderList(List);
    }
}

int TWinControl::GetTabOrder() const {
    TWinControl* parent = GetParent();
    if (!parent) return -1;
    if (tabOrder_ >= 0) return tabOrder_;
    // Default order: position among windowed siblings.
    int index = 0;
    for (TControl* c : parent->controls_) {
        if (c == this) return index;
        if (dynamic_cast<TWinControl*>(c)) ++index;
    }
    return index;
}

void TWinControl::SetTabOrder(int value) {
    TWinControl* parent = GetParent();
    if (!parent) {
        tabOrder_ = value;
        return;
    }
    // Renumber the siblings so that orders stay unique and dense.
    std::vector<TWinControl*> siblings;
    for (TControl* c : parent->controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) siblings.push_back(w);
    std::stable_sort(siblings.begin(), siblings.end(),
                     [](TWinControl* a, TWinControl* b) { return a->GetTabOrder() < b->GetTabOrder(); });
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    value = std::max(0, std::min(value, static_cast<int>(siblings.size())));
    siblings.insert(siblings.begin() + value, this);
    for (size_t i = 0; i < siblings.size(); ++i) siblings[i]->tabOrder_ = static_cast<int>(i);
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    int count = static_cast<int>(list.size());
    int start = static_cast<int>(std::find(list.begin(), list.end(), CurControl) - list.begin());
    if (start == count) start = GoForward ? count - 1 : 0;
    int i = start;
    for (int n = 0; n < count; ++n) {
        i = GoForward ? (i + 1) % count : (i - 1 + count) % count;
        TWinControl* candidate = list[static_cast<size_t>(i)];
        if (candidate == CurControl) continue;
        if ((!CheckTabStop || candidate->tabStop_) && (!CheckParent || candidate->GetParent() == this) &&
            candidate->CanFocus())
            return candidate;
    }
    return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
    TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop);
    if (next) next->SetFocus();
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
