/*
 * TWinControl, message dispatch: routing of mouse messages to windowless
 * children, the per-class message switch, reflection of notifications to the
 * child that sent them (CN_*), dialog keys and colours, and the default
 * handler (the superclassed system procedure). What is tricky here:
 *  - enter/leave follows each mouse message's own coordinates before the
 *    control under the mouse hears it, so synthetic moves work too;
 *  - WM_MEASUREITEM arrives before the child's window is attached, so it is
 *    matched by control id;
 *  - WM_SIZE inside SetBounds does not realign or fire OnResize: SetBounds
 *    does both once the window has moved; WM_WINDOWPOSCHANGED covers a size
 *    change whose WM_SIZE never reached us.
 */
#include "framework/Controls.h"

#include <windowsx.h>

#include "framework/ControlsMouse.h"
#include "framework/Forms.h"

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
    if (brim_detail::dragMessage(this, Message)) return;
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
        brim_detail::moveMouseTo(brim_detail::controlAtScreenPoint(TPoint(p), handle_));
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

void TWinControl::SetCtl3D(bool value) {
    if (!SetIfChanged(ctl3D_, value)) return;
    parentCtl3D_ = false;
    Perform(CM_CTL3DCHANGED, 0, 0);
}
