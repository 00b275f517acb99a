/*
 * Controls base: TControl (may be windowless), TGraphicControl (windowless,
 * paints on its parent's DC), TWinControl (a window), TCustomControl (a window
 * with a canvas), plus size constraints, the control canvas and the mouse.
 *
 * Dispatch chain: WindowProc (a replaceable closure, normally WndProc) ->
 * virtual WndProc (routing, key preview, focus) -> virtual Dispatch (the
 * per-class message switch; unhandled messages go to the base Dispatch) ->
 * DefaultHandler (the superclassed system procedure or DefWindowProcA; for
 * windowless controls only the text messages). Perform calls WindowProc.
 *
 * Windows map to their objects through a window property set at WM_NCCREATE,
 * never through GWLP_WNDPROC, so foreign subclassing in any order is safe;
 * clean-up runs at WM_NCDESTROY and in the destructor, not at WM_DESTROY.
 *
 * Windowless children are painted in Controls order (first at the bottom),
 * each clipped through a meta region so that SelectClipRgn(dc, NULL) in
 * drawing code cannot paint outside the child. Mouse messages go to the
 * topmost windowless child under the point, or to the child holding the
 * capture; enter/leave is tracked for windowed and windowless controls alike.
 *
 * SetBounds is the one path for size changes: OnCanResize, then Constraints,
 * then the new bounds, then realignment of the children and Resize. WM_SIZE,
 * WM_MOVE and WM_WINDOWPOSCHANGED re-read the real bounds and ignore lParam.

 *
 * Sources: Controls.cpp (TControl and the windowless side), ControlsMouse.cpp
 * (enter/leave tracking), WinControl.cpp (window creation and the window
 * procedure), WinControlDispatch.cpp, WinControlPaint.cpp,
 * WinControlLayout.cpp and WinControlFocus.cpp.
 */
#pragma once

#include <functional>
#include <vector>

#include "framework/Classes.h"
#include "framework/Graphics.h"
#include "framework/Messages.h"

class TControl;
class TBasicAction;
class TBasicActionLink;
class TWinControl;
class TCustomForm;
class TPopupMenu;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
// Border styles of forms; controls with a border (panels, edits) use bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragMode { dmManual, dmAutomatic };
enum TImeMode { imDisable, imClose, imOpen, imDontCare };

enum TControlStyleItem {
    csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
    csDisplayDragImage, csReflector, csActionClient, csMenuEvents
};
using TControlStyle = TSet<TControlStyleItem>;
enum TControlStateItem {
    csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
    csCustomPaint, csDestroyingHandle, csDocking
};
using TControlState = TSet<TControlStateItem>;

using TCursor = int;
enum : TCursor {
    crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22, crSizeNESW = -6,
    crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crDrag = -12,
    crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crSQLWait = -17, crNo = -18,
    crAppStart = -19, crHelp = -20, crHandPoint = -21, crSizeAll = -22
};

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TCanResizeEvent = TEvent<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TContextPopupEvent = TEvent<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
// Dragging one control onto another (see ControlsDrag.cpp): positions are in
// the client coordinates of the control that hears the event.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TStartDragEvent = TEvent<void(TObject* Sender)>;
using TDragOverEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Shift state of a mouse message's MK_* flags plus the Alt key.
TShiftState MouseShiftState(WPARAM keys);
// Shift state of the keyboard now (and of a key message's data).
TShiftState KeyDataToShiftState(LPARAM keyData);
TShiftState KeyboardShiftState();

// "short|long" hints.
AnsiString GetShortHint(const AnsiString& Hint);
AnsiString GetLongHint(const AnsiString& Hint);
// True when Text has "&" + Key (case ignored) as its accelerator.
bool IsAccel(WORD Key, const AnsiString& Text);

// ---------------------------------------------------------------------------

class TSizeConstraints : public TPersistent {
public:
    explicit TSizeConstraints(TControl* Control) : control_(Control) {}
    void Assign(TPersistent* Source) override;
    int GetMinWidth() const { return minWidth_; }
    void SetMinWidth(int value);
    int GetMinHeight() const { return minHeight_; }
    void SetMinHeight(int value);
    int GetMaxWidth() const { return maxWidth_; }
    void SetMaxWidth(int value);
    int GetMaxHeight() const { return maxHeight_; }
    void SetMaxHeight(int value);
    // Clamps a size (0 means no limit).
    void Apply(int& width, int& height) const;

    TNotifyEvent OnChange;

private:
    void changed();
    TControl* control_;
    int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;

public:
    BRIM_PROPERTY(MinWidth, TSizeConstraints::GetMinWidth, TSizeConstraints::SetMinWidth);
    BRIM_PROPERTY(MinHeight, TSizeConstraints::GetMinHeight, TSizeConstraints::SetMinHeight);
    BRIM_PROPERTY(MaxWidth, TSizeConstraints::GetMaxWidth, TSizeConstraints::SetMaxWidth);
    BRIM_PROPERTY(MaxHeight, TSizeConstraints::GetMaxHeight, TSizeConstraints::SetMaxHeight);
};

// A canvas on a control: for a windowless control, the parent's DC with the
// origin moved and the clip set to the control. Released after the current
// message and when the window dies; never held across messages.
class TControlCanvas : public TCanvas {
public:
    explicit TControlCanvas(TControl* Control) : control_(Control) {}
    ~TControlCanvas() override;
    void FreeHandle();
    TControl* GetControl() const { return control_; }
    // Releases every temporary control DC (after each message).
    static void FreeDeviceContexts();
    static void FreeDeviceContextsOf(HWND window);

protected:
    void CreateHandle() override;

private:
    TControl* control_;
    HDC dc_ = nullptr;
    HWND window_ = nullptr;
};

// ---------------------------------------------------------------------------

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    // Left, Top, Width, Height, Enabled, Visible, Color, Cursor, Hint, ShowHint.
    void GetPublishedProperties(TPublishedProperties& List) override;

    // Messages
    LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
    virtual void WndProc(TMessage& Message);
    virtual void Dispatch(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);
    TWndMethod WindowProc;

    // Keeps Caption following Name while they are equal (csSetCaption).
    void SetName(const AnsiString& value) override;

    // Geometry
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
    virtual TRect GetClientRect();
    int GetClientWidth() { return GetClientRect().Width(); }
    int GetClientHeight() { return GetClientRect().Height(); }
    virtual void SetClientWidth(int value);
    virtual void SetClientHeight(int value);
    TPoint GetClientOrigin();
    TPoint ClientToScreen(const TPoint& Point);
    TPoint ScreenToClient(const TPoint& Point);
    // Measures and applies the AutoSize size now.
    virtual void AdjustSize();
    virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
    virtual bool CanResize(int& NewWidth, int& NewHeight);

    // Appearance and state
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    virtual void Invalidate();
    virtual void Repaint();
    virtual void Update();
    void Refresh() { Repaint(); }
    void BringToFront();
    void SendToBack();
    // Visible all the way up to a visible top-level window.
    virtual bool Showing() const;
    TCustomForm* GetParentForm() const;
    bool HasParent() const { return parent_ != nullptr; }
    AnsiString GetTextBuf() { return GetText(); }

    // Dragging this control: immediately, or once the mouse has moved
    // Threshold pixels (-1: 5) with the left button held. dmAutomatic starts
    // an immediate drag on every left press. A drag runs until the release
    // (a drop when the control under the mouse accepts), Escape or EndDrag.
    void BeginDrag(bool Immediate, int Threshold = -1);
    void EndDrag(bool Drop);
    bool Dragging() const;
    // Whether this control takes Source here: OnDragOver decides; without a
    // handler nothing is accepted.
    virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
    virtual void DragDrop(TObject* Source, int X, int Y);
    // The source's side: OnStartDrag when the drag starts, OnEndDrag when it
    // ends (Target null without a drop).
    virtual void DoStartDrag();
    virtual void DoEndDrag(TObject* Target, int X, int Y);

    // Runs OnClick; without one, the linked action.
    virtual void Click();
    virtual void DblClick();

    // The linked action (framework/ActnList.h), or null. Linking takes the
    // action's state through ActionChange (only where the control still has
    // its defaults while a layout is loading).
    TBasicAction* GetAction() const;
    void SetAction(TBasicAction* Value);
    // The action changed or was linked: caption, enabled, visible and hint
    // follow it; descendants take more (checked state, glyph).
    virtual void ActionChange(TObject* Sender, bool CheckDefaults);

    // Property accessors
    TWinControl* GetParent() const { return parent_; }
    virtual void SetParent(TWinControl* AParent);
    int GetLeft() const { return left_; }
    void SetLeft(int value) { SetBounds(value, top_, width_, height_); }
    int GetTop() const { return top_; }
    void SetTop(int value) { SetBounds(left_, value, width_, height_); }
    int GetWidth() const { return width_; }
    void SetWidth(int value) { SetBounds(left_, top_, value, height_); }
    int GetHeight() const { return height_; }
    void SetHeight(int value) { SetBounds(left_, top_, width_, value); }
    bool GetVisible() const { return visible_; }
    virtual void SetVisible(bool value);
    bool GetEnabled() const { return enabled_; }
    virtual void SetEnabled(bool value);
    TColor GetColor() const { return color_; }
    virtual void SetColor(TColor value);
    bool GetParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont* GetFont() const { return font_; }
    void SetFont(TFont* value) { font_->Assign(value); }
    bool GetParentFont() const { return parentFont_; }
    void SetParentFont(bool value);
    AnsiString GetText();
    void SetText(const AnsiString& value);
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor value);
    AnsiString GetHint() const { return hint_; }
    void SetHint(const AnsiString& value) { hint_ = value; }
    bool GetShowHint() const { return showHint_; }
    void SetShowHint(bool value);
    bool GetParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool value);
    TPopupMenu* GetPopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* value);
    TAlign GetAlign() const { return align_; }
    void SetAlign(TAlign value);
    TAnchors GetAnchors() const { return anchors_; }
    void SetAnchors(TAnchors value);
    TSizeConstraints* GetConstraints() const { return constraints_; }
    void SetConstraints(TSizeConstraints* value) { constraints_->Assign(value); }
    bool GetAutoSize() const { return autoSize_; }
    virtual void SetAutoSize(bool value);
    TControlStyle GetControlStyle() const { return controlStyle_; }
    void SetControlStyle(TControlStyle value) { controlStyle_ = value; }
    TControlState GetControlState() const { return controlState_; }
    void SetControlState(TControlState value) { controlState_ = value; }
    TBiDiMode GetBiDiMode() const { return biDiMode_; }
    void SetBiDiMode(TBiDiMode value) { biDiMode_ = value; }
    bool UseRightToLeftAlignment() const { return false; }
    bool UseRightToLeftReading() const { return false; }
    int DrawTextBiDiModeFlagsReadingOnly() const { return 0; }
    int DrawTextBiDiModeFlags(int Flags) const { return Flags; }
    bool GetMouseCapture() const;
    void SetMouseCapture(bool value);
    virtual int GetTabOrder() const { return -1; }
    bool IsControl() const { return false; }

    // Events
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;
    TCanResizeEvent OnCanResize;
    TContextPopupEvent OnContextPopup;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

    // The cursor while a drop would be accepted (crNoDrop otherwise).
    TDragMode DragMode = dmManual;
    TCursor DragCursor = crDrag;
    // Stored only: IME properties.
    TImeMode ImeMode = imDontCare;
    AnsiString ImeName;

protected:
    friend class TWinControl;
    friend class TControlCanvas;
    friend class TApplication;
    friend class TMouseTracker;

    virtual void Paint() {}
    virtual void Resize();
    virtual void Changed();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Notifies the parent that this control's alignment needs a relayout.
    void RequestAlign();
    void InvalidateControl(bool IsVisible, bool IsOpaque);
    // Records the distances to the parent's edges for anchoring.
    void UpdateAnchorRules();
    // Moves the control after its parent's client size changed.
    void AnchorTo(int parentWidth, int parentHeight);
    void ParentFontChanged(TFont* parentFont);
    void ParentColorChanged(TColor parentColor);
    // Windowless controls keep their text here; windowed ones cache it until a window exists.
    AnsiString text_;
    TControlCanvas* controlCanvas() { return canvas_; }
    void setVisibleFlag(bool value) { visible_ = value; }
    TCanvas* GetControlCanvas();
    // Paint() on the control's canvas bound to a DC it was handed (WM_PAINT's),
    // unbound again even when Paint raises.
    void PaintThroughCanvas(HDC DC);

    // A requested size after OnCanResize (a refusal keeps the current size)
    // and Constraints, never negative; the first step of every SetBounds.
    void ConstrainRequestedSize(int& AWidth, int& AHeight);
    // The bounds fields (SetBounds and the WM_* handlers write them).
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
    void handleMouse(TMessage& m);
    void fontChanged(TObject*);
    void constraintsChanged(TObject*);
    void setBoundsFields(int l, int t, int w, int h);

    TWinControl* parent_ = nullptr;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TFont* font_;
    bool parentFont_ = true;
    bool updatingFromParent_ = false;
    TCursor cursor_ = crDefault;
    AnsiString hint_;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    TPopupMenu* popupMenu_ = nullptr;
    TAlign align_ = alNone;
    TAnchors anchors_{akLeft, akTop};
    TSizeConstraints* constraints_;
    bool autoSize_ = false;
    TControlStyle controlStyle_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TControlState controlState_;
    TBiDiMode biDiMode_ = bdLeftToRight;
    int anchorRight_ = 0, anchorBottom_ = 0;
    bool anchorsKnown_ = false;
    TControlCanvas* canvas_ = nullptr;
    TBasicActionLink* actionLink_ = nullptr;

public:
    BRIM_PROPERTY(Parent, TControl::GetParent, TControl::SetParent);
    BRIM_PROPERTY(Action, TControl::GetAction, TControl::SetAction);
    BRIM_PROPERTY(Left, TControl::GetLeft, TControl::SetLeft);
    BRIM_PROPERTY(Top, TControl::GetTop, TControl::SetTop);
    BRIM_PROPERTY(Width, TControl::GetWidth, TControl::SetWidth);
    BRIM_PROPERTY(Height, TControl::GetHeight, TControl::SetHeight);
    BRIM_PROPERTY(ClientWidth, TControl::GetClientWidth, TControl::SetClientWidth);
    BRIM_PROPERTY(ClientHeight, TControl::GetClientHeight, TControl::SetClientHeight);
    BRIM_READONLY(ClientRect, TControl::GetClientRect);
    BRIM_READONLY(ClientOrigin, TControl::GetClientOrigin);
    BRIM_PROPERTY(Visible, TControl::GetVisible, TControl::SetVisible);
    BRIM_PROPERTY(Enabled, TControl::GetEnabled, TControl::SetEnabled);
    BRIM_PROPERTY(Color, TControl::GetColor, TControl::SetColor);
    BRIM_PROPERTY(ParentColor, TControl::GetParentColor, TControl::SetParentColor);
    BRIM_PROPERTY(Font, TControl::GetFont, TControl::SetFont);
    BRIM_PROPERTY(ParentFont, TControl::GetParentFont, TControl::SetParentFont);
    BRIM_PROPERTY(Caption, TControl::GetText, TControl::SetText);
    BRIM_PROPERTY(Text, TControl::GetText, TControl::SetText);
    BRIM_PROPERTY(Cursor, TControl::GetCursor, TControl::SetCursor);
    BRIM_PROPERTY(Hint, TControl::GetHint, TControl::SetHint);
    BRIM_PROPERTY(ShowHint, TControl::GetShowHint, TControl::SetShowHint);
    BRIM_PROPERTY(ParentShowHint, TControl::GetParentShowHint, TControl::SetParentShowHint);
    BRIM_PROPERTY(PopupMenu, TControl::GetPopupMenu, TControl::SetPopupMenu);
    BRIM_PROPERTY(Align, TControl::GetAlign, TControl::SetAlign);
    BRIM_PROPERTY(Anchors, TControl::GetAnchors, TControl::SetAnchors);
    BRIM_PROPERTY(Constraints, TControl::GetConstraints, TControl::SetConstraints);
    BRIM_PROPERTY(AutoSize, TControl::GetAutoSize, TControl::SetAutoSize);
    BRIM_PROPERTY(ControlStyle, TControl::GetControlStyle, TControl::SetControlStyle);
    BRIM_PROPERTY(ControlState, TControl::GetControlState, TControl::SetControlState);
    BRIM_PROPERTY(BiDiMode, TControl::GetBiDiMode, TControl::SetBiDiMode);
    BRIM_PROPERTY(MouseCapture, TControl::GetMouseCapture, TControl::SetMouseCapture);
};

// Shows a popup menu for a control (installed by the menus unit).
using TPopupMenuHandler = void (*)(TPopupMenu* Menu, TControl* Control, int ScreenX, int ScreenY);
void SetPopupMenuHandler(TPopupMenuHandler handler);

// ---------------------------------------------------------------------------

struct TCreateParams {
    AnsiString Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    void* Param = nullptr;
    WNDCLASSEXA WindowClass{};
    // Our class name (registered on demand).
    AnsiString WinClassName;
    // A system class to superclass ("EDIT", "LISTBOX", WC_TREEVIEWA...), or empty.
    AnsiString SystemClassName;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    HWND GetHandle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { GetHandle(); }
    virtual void CreateHandle();
    virtual void DestroyHandle();
    // Destroys and creates the window again, keeping window-held state
    // (SaveWindowState/RestoreWindowState).
    void RecreateWnd();
    HWND GetParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND value) { parentWindow_ = value; }

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // Sends Message to every direct child; stops at the first non-zero Result.
    void Broadcast(TMessage& Message);
    // Perform on every direct child.
    void NotifyControls(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect GetClientRect() override;
    void Invalidate() override;
    void Repaint() override;
    void Update() override;
    bool Showing() const override;
    void SetVisible(bool value) override;
    void SetEnabled(bool value) override;
    bool CanAutoSize(int& NewWidth, int& NewHeight) override;

    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    int GetControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* GetControl(int Index) const;
    bool ContainsControl(TControl* Control) const;
    // The topmost child (windowless first, as drawn last) containing Pos.
    TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
    // Moves a child to a new z position.
    void SetChildOrder(TControl* Child, int Order);

    // Alignment
    virtual void AlignControls(TControl* AControl, TRect& Rect);
    virtual void AdjustClientRect(TRect& Rect);
    void Realign();
    void DisableAlign() { ++alignDisabled_; }
    void EnableAlign();

    // Painting
    void PaintTo(HDC DC, int X, int Y);
    void PaintControls(HDC DC, TControl* First);
    virtual void PaintWindow(HDC DC);
    void PaintHandler(TMessage& Message);

    // Focus
    virtual bool CanFocus();
    virtual bool Focused();
    virtual void SetFocus();
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
    void GetTabOrderList(std::vector<TWinControl*>& List);
    int GetTabOrder() const override;
    void SetTabOrder(int value);
    bool GetTabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }
    TBrush* GetBrush() const { return brush_; }
    bool GetCtl3D() const { return ctl3D_; }
    void SetCtl3D(bool value);
    bool GetParentCtl3D() const { return parentCtl3D_; }
    void SetParentCtl3D(bool value) { parentCtl3D_ = value; }
    bool GetDoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    int GetControlID() const { return controlId_; }

    // The windowless child holding the mouse capture of this window, or null.
    TControl* CaptureControl() const { return captureControl_; }
    void SetCaptureControl(TControl* control) { captureControl_ = control; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // The control owning a window of this thread, or null.
    static TWinControl* FindControl(HWND Window);

protected:
    friend class TControl;
    friend class TCustomForm;
    friend class TApplication;
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    virtual void CreateWindowHandle(const TCreateParams& Params);
    // Window-held state kept across RecreateWnd (text, items, selection...).
    virtual void SaveWindowState() {}
    virtual void RestoreWindowState() {}
    virtual void DoEnter();
    virtual void DoExit();
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void KeyUp(WORD& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    // True when the key was consumed (by the form's preview or by this control).
    bool DispatchKey(TMessage& Message, void (TWinControl::*handler)(WORD&, TShiftState));
    bool DoKeyDown(TMessage& Message);
    bool DoKeyUp(TMessage& Message);
    bool DoKeyPress(TMessage& Message);
    void UpdateBounds();
    // Window style changes without re-creating (SetWindowLongA + SWP_FRAMECHANGED).
    void ApplyStyle(DWORD style, DWORD exStyle);
    virtual void ColorChanged();
    WNDPROC DefWndProc() const { return defWndProc_; }

    HWND handle_ = nullptr;

private:
    friend LRESULT CALLBACK brimStdWndProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT MainWndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    void attach(HWND window);
    void detach();
    bool routeMouseToChild(TMessage& m);
    void reflect(TMessage& m);
    void eraseBackground(TMessage& m);
    void handleSetCursor(TMessage& m);

    std::vector<TControl*> controls_;
    HWND parentWindow_ = nullptr;
    WNDPROC defWndProc_ = DefWindowProcA;
    TBrush* brush_;
    bool tabStop_ = false;
    int tabOrder_ = -1;
    bool ctl3D_ = true;
    bool parentCtl3D_ = true;
    bool doubleBuffered_ = false;
    int alignDisabled_ = 0;
    bool alignPending_ = false;
    bool inSetBounds_ = false;
    int controlId_ = 0;
    TControl* captureControl_ = nullptr;
    bool tracking_ = false;

public:
    BRIM_READONLY(Handle, TWinControl::GetHandle);
    BRIM_PROPERTY(ParentWindow, TWinControl::GetParentWindow, TWinControl::SetParentWindow);
    BRIM_READONLY(ControlCount, TWinControl::GetControlCount);
    BRIM_INDEXED_READONLY(Controls, TWinControl::GetControl);
    BRIM_PROPERTY(TabStop, TWinControl::GetTabStop, TWinControl::SetTabStop);
    BRIM_PROPERTY(TabOrder, TWinControl::GetTabOrder, TWinControl::SetTabOrder);
    BRIM_READONLY(Brush, TWinControl::GetBrush);
    BRIM_PROPERTY(Ctl3D, TWinControl::GetCtl3D, TWinControl::SetCtl3D);
    BRIM_PROPERTY(ParentCtl3D, TWinControl::GetParentCtl3D, TWinControl::SetParentCtl3D);
    BRIM_PROPERTY(DoubleBuffered, TWinControl::GetDoubleBuffered, TWinControl::SetDoubleBuffered);
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    TCanvas* GetCanvas() { return GetControlCanvas(); }
    void Dispatch(TMessage& Message) override;

public:
    BRIM_READONLY(Canvas, TGraphicControl::GetCanvas);
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    TCanvas* GetCanvas() { return GetControlCanvas(); }

protected:
    void PaintWindow(HDC DC) override;

public:
    BRIM_READONLY(Canvas, TCustomControl::GetCanvas);
};

// ---------------------------------------------------------------------------

class TMouse : public TObject {
public:
    // Reads the cursor position through a replaceable source (tests inject one).
    TPoint GetCursorPos() const;
    void SetCursorPos(const TPoint& value);
    static void SetCursorSourceForTesting(std::function<TPoint()> source);
    TControl* GetCapture() const;

public:
    BRIM_PROPERTY(CursorPos, TMouse::GetCursorPos, TMouse::SetCursorPos);
};

extern TMouse* Mouse;

// The control under the mouse, as last tracked (enter/leave), or null.
TControl* ControlUnderMouse();
// Re-evaluates which control is under the point (screen coordinates, or the
// replaceable cursor source when null) and sends leave/enter.
void UpdateMouseControl(const TPoint* screenPoint = nullptr);
// Forgets a control that is going away (no message is sent to it).
void ForgetMouseControl(TControl* control);
