/*
 * Window messages as the framework passes them around (TMessage), the
 * framework's own message numbers, and the two ways a closure receives a
 * window's messages: message-only windows bound to a closure (AllocateHWnd)
 * and closures put in front of an existing window's procedure
 * (TWindowSubclass). Both go through DeliverWindowMessage, the one place
 * where a Win32 message becomes a TMessage and where an exception from the
 * handler is stopped before it reaches a Win32 frame.
 *
 * Numbering: the framework's CM_* messages use 0xB000-0xB0BF, below the
 * component library's 0xB0CD-0xB0D4; CN_* (messages reflected to the child
 * that caused them) are 0xBC00 + the WM code. WM_USER..0x7FFF is never
 * interpreted by the framework, so forms may use it freely.
 */
#pragma once

#include <windows.h>

#include "framework/System.h"

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;

    WORD WParamLo() const { return LOWORD(WParam); }
    WORD WParamHi() const { return HIWORD(WParam); }
    WORD LParamLo() const { return LOWORD(LParam); }
    WORD LParamHi() const { return HIWORD(LParam); }
};

using TWndMethod = TEvent<void(TMessage& Message)>;

enum : UINT {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3,
    CM_CANCELMODE = CM_BASE + 4,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_CTL3DCHANGED = CM_BASE + 16,
    CM_PARENTCTL3DCHANGED = CM_BASE + 17,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_MENUCHANGED = CM_BASE + 21,
    CM_APPKEYDOWN = CM_BASE + 22,
    CM_APPSYSCOMMAND = CM_BASE + 23,
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28,
    CM_ICONCHANGED = CM_BASE + 29,
    CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_INVOKEHELP = CM_BASE + 31,
    CM_WINDOWHOOK = CM_BASE + 32,
    CM_RELEASE = CM_BASE + 33,
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_WININICHANGE = CM_BASE + 37,
    CM_FONTCHANGE = CM_BASE + 38,
    CM_TIMECHANGE = CM_BASE + 39,
    CM_TABSTOPCHANGED = CM_BASE + 40,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_CHILDKEY = CM_BASE + 46,
    CM_HINTSHOW = CM_BASE + 48,
    CM_RECREATEWND = CM_BASE + 51,
    CM_INVALIDATE = CM_BASE + 52,
    CM_SYSFONTCHANGED = CM_BASE + 53,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_CHANGED = CM_BASE + 55,
    CM_BORDERCHANGED = CM_BASE + 59,
    CM_BIDIMODECHANGED = CM_BASE + 60,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
    CM_ALLCHILDRENFLIPPED = CM_BASE + 62,
    CM_ACTIONUPDATE = CM_BASE + 63,
    CM_ACTIONEXECUTE = CM_BASE + 64,
    CM_HINTSHOWPAUSE = CM_BASE + 65,
    CM_DOCKNOTIFICATION = CM_BASE + 66,
    CM_MOUSEWHEEL = CM_BASE + 67,
    CM_ISSHORTCUT = CM_BASE + 68,
    CM_INVOKE = CM_BASE + 69,
    CM_LAST = 0xB0BF,
};

constexpr UINT CN_BASE = 0xBC00;
enum : UINT {
    CN_CHARTOITEM = CN_BASE + WM_CHARTOITEM,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_COMPAREITEM = CN_BASE + WM_COMPAREITEM,
    CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN,
    CN_CTLCOLORDLG = CN_BASE + WM_CTLCOLORDLG,
    CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT,
    CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX,
    CN_CTLCOLORMSGBOX = CN_BASE + WM_CTLCOLORMSGBOX,
    CN_CTLCOLORSCROLLBAR = CN_BASE + WM_CTLCOLORSCROLLBAR,
    CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC,
    CN_DELETEITEM = CN_BASE + WM_DELETEITEM,
    CN_DRAWITEM = CN_BASE + WM_DRAWITEM,
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM,
    CN_PARENTNOTIFY = CN_BASE + WM_PARENTNOTIFY,
    CN_VKEYTOITEM = CN_BASE + WM_VKEYTOITEM,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP,
    CN_CHAR = CN_BASE + WM_CHAR,
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
};

// A message-only window whose messages go to `method`; exceptions thrown by
// the method are caught and handed to the application's exception handler.
// Unhandled messages should be passed to DefWindowProcA by the method
// (set Message.Result); use DefaultWindowResult for that.
HWND AllocateHWnd(const TWndMethod& method);
void DeallocateHWnd(HWND window);
void DefaultWindowResult(HWND window, TMessage& message);

// Hands an exception in flight to Application->HandleException with Sender
// (or, before the application exists, to a message box). Used by every
// trampoline that must not let an exception cross a Win32 frame. Call only
// inside a catch block.
void HandleCurrentException(TObject* Sender = nullptr);

// Runs `handler` on the framework message made of a Win32 message and returns
// its Result. An exception thrown by the handler goes to
// HandleCurrentException(Sender), and the message then answers 0 (or what the
// handler had set before it threw).
template <class Handler>
LRESULT DeliverWindowMessage(Handler&& handler, UINT Msg, WPARAM WParam, LPARAM LParam, TObject* Sender = nullptr) {
    TMessage message;
    message.Msg = Msg;
    message.WParam = WParam;
    message.LParam = LParam;
    try {
        handler(message);
    } catch (...) {
        HandleCurrentException(Sender);
    }
    return message.Result;
}

// Puts a closure in front of an existing window's procedure (subclassing).
// Every message of the window reaches the closure first; the closure passes
// on what it does not fully handle with CallPrevious, which reaches the
// procedure that was in place before it (another subclass, or the window's
// own procedure).
//
// Any number of subclasses may sit on one window and come off in any order
// without cutting each other off: they are kept in the system's subclass
// chain, never by swapping GWLP_WNDPROC. A subclass lets go of its window by
// itself once the closure has seen WM_NCDESTROY, so it is never left on a
// dead window. Removing it from inside its own closure is allowed (call
// CallPrevious first: after Remove the previous procedure is out of reach).
// The object must outlive the messages its closure is handling.
class TWindowSubclass {
public:
    // Sender is what the application's exception handler is told raised.
    explicit TWindowSubclass(TObject* Sender = nullptr) : sender_(Sender) {}
    ~TWindowSubclass() { Remove(); }
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;

    // False when already installed, without a window, or when the system
    // refuses; the closure is then not called.
    bool Install(HWND Window, const TWndMethod& Method);
    // Takes the closure out of the window's chain; nothing when not installed.
    void Remove();
    bool Installed() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // The previous procedure's answer to a message; only while the closure
    // handles a message of this window.
    LRESULT CallPrevious(const TMessage& Message) const;
    // The usual end of a closure: Result = CallPrevious(Message), and at
    // WM_DESTROY the subclass then lets go, so the window's own procedure
    // has done its WM_DESTROY work and gets its last messages directly.
    // True when it let go.
    bool PassOnAndLetGoAtDestroy(TMessage& Message);

private:
    static LRESULT CALLBACK subclassProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);

    TObject* sender_;
    TWndMethod method_;
    HWND window_ = nullptr;
};
