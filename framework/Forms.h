/*
 * Forms, the application object and the screen.
 *
 * Application: a hidden top-level window of class "TApplication" whose text
 * is always Title; it ignores WM_COPYDATA, turns WM_CLOSE into
 * MainForm->Close(), and owns every form without a visible owner form.
 *
 * Loops: Run, HandleMessage, ProcessMessages and ShowModal share one message
 * step (PeekMessage, key pre-translation, TranslateMessage, DispatchMessageA,
 * release of temporary DCs). Synchronised calls and timer ticks arrive as
 * messages to hidden windows, so every loop (also system message boxes and
 * dialogs) services them. ShowModal works before Run, inside handlers and
 * nested to any depth; Terminate ends every loop (each modal one with
 * mrCancel), and Terminated stays set.
 *
 * Forms: built in code inside the loading bracket their constructor opens;
 * CreateForm / MakeForm close it (Loaded, then OnCreate). OnShow and OnHide
 * fire on every hidden<->shown change. A form never re-creates its window.
 */
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "framework/Controls.h"

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;
using TExceptionEvent = TEvent<void(TObject* Sender, Exception* E)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Ends the loading bracket (Loaded), names the form, fires OnCreate.
    void AfterConstruction() override;
    // Sets csDestroying and fires OnDestroy.
    void BeforeDestruction() override;

    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void Close();
    bool CloseQuery();
    // Frees the form after the current message (CM_RELEASE).
    void Release();
    int ShowModal();
    void SetVisible(bool value) override;
    bool Showing() const override;

    TModalResult GetModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult value) { modalResult_ = value; }
    bool GetKeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool value) { keyPreview_ = value; }
    TWinControl* GetActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* value);
    TFormBorderStyle GetBorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle value);
    TBorderIcons GetBorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons value);
    TFormStyle GetFormStyle() const { return fsNormal; }
    void SetFormStyle(TFormStyle) {}
    TWindowState GetWindowState() const;
    void SetWindowState(TWindowState value);
    TPosition GetPosition() const { return position_; }
    void SetPosition(TPosition value) { position_ = value; }
    TFormState GetFormState() const { return formState_; }
    TCanvas* GetCanvas() { return GetControlCanvas(); }
    // Called by the controls base.
    bool SetFocusedControl(TWinControl* Control);
    void ControlRemoved(TControl* Control);
    void FocusControl(TWinControl* Control);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

protected:
    friend class TWinControl;
    friend class TApplication;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void PaintWindow(HDC DC) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Paint();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    // Places the form by Position, from its current size.
    void ApplyPosition();
    void FocusFirstControl();

private:
    void styleFromBorder(DWORD& style, DWORD& exStyle) const;
    void closeModal();
    void dialogKey(TMessage& m);

    TModalResult modalResult_ = mrNone;
    bool keyPreview_ = false;
    TWinControl* activeControl_ = nullptr;
    TWinControl* focusedControl_ = nullptr;
    TFormBorderStyle borderStyle_ = bsSizeable;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    TWindowState windowState_ = wsNormal;
    TPosition position_ = poDesigned;
    TFormState formState_;
    bool loadingOpen_ = false;
    bool destroyFired_ = false;

public:
    BRIM_PROPERTY(ModalResult, TCustomForm::GetModalResult, TCustomForm::SetModalResult);
    BRIM_PROPERTY(KeyPreview, TCustomForm::GetKeyPreview, TCustomForm::SetKeyPreview);
    BRIM_PROPERTY(ActiveControl, TCustomForm::GetActiveControl, TCustomForm::SetActiveControl);
    BRIM_PROPERTY(BorderStyle, TCustomForm::GetBorderStyle, TCustomForm::SetBorderStyle);
    BRIM_PROPERTY(BorderIcons, TCustomForm::GetBorderIcons, TCustomForm::SetBorderIcons);
    BRIM_PROPERTY(FormStyle, TCustomForm::GetFormStyle, TCustomForm::SetFormStyle);
    BRIM_PROPERTY(WindowState, TCustomForm::GetWindowState, TCustomForm::SetWindowState);
    BRIM_PROPERTY(Position, TCustomForm::GetPosition, TCustomForm::SetPosition);
    BRIM_READONLY(FormState, TCustomForm::GetFormState);
    BRIM_READONLY(Canvas, TCustomForm::GetCanvas);
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// Creates a form owned by Owner and completes its construction (Loaded, OnCreate).
template <class T, class... Args> T* MakeForm(TComponent* Owner, Args&&... args) {
    T* form = new T(Owner, std::forward<Args>(args)...);
    try {
        form->AfterConstruction();
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}

// ---------------------------------------------------------------------------

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Registers the common control classes and initialises COM for the folder browser.
    void Initialize();
    // Creates a form owned by the application; the first one becomes MainForm.
    template <class T> void CreateForm(T*& Reference) {
        Reference = nullptr;
        T* form = new T(this);
        try {
            form->AfterConstruction();
        } catch (...) {
            form->Free();
            throw;
        }
        Reference = form;
        if (!mainForm_) mainForm_ = form;
    }
    void Run();
    void Terminate();
    void HandleMessage();
    void ProcessMessages();
    void Minimize();
    void Restore();
    // Test support: clears Terminated and drops a queued WM_QUIT.
    void ResetTerminatedForTesting();

    void HandleException(TObject* Sender, Exception* E = nullptr);
    void ShowException(Exception* E);
    bool HelpContext(int Context);
    bool HelpCommand(UINT Command, ULONG_PTR Data);
    // The help call (WinHelpA by default); tests replace it.
    static void SetHelpHandlerForTesting(std::function<BOOL(HWND, const char*, UINT, ULONG_PTR)> handler);
    // Hides the hint window and forgets the pending one.
    void CancelHint();
    void HideHint();
    // The hint window now showing (null when none), and its text.
    HWND HintWindow() const { return hintVisible_ ? hintWindow_ : nullptr; }
    AnsiString HintText() const { return hintText_; }
    // Called by the controls base when the control under the mouse changes.
    void MouseControlChanged(TControl* Control);
    unsigned HintPause = 500;
    unsigned HintHidePause = 2500;
    // The control whose hint would show for a control under the mouse: the
    // nearest one up the parent chain with a hint and ShowHint.
    TControl* HintControlFor(TControl* Control) const;
    using TWindowHook = TEvent<void(TMessage& Message, bool& Handled)>;
    void HookMainWindow(TWindowHook Hook);
    void UnhookMainWindow(TWindowHook Hook);

    HWND GetHandle() const { return handle_; }
    AnsiString GetTitle() const { return title_; }
    void SetTitle(const AnsiString& value);
    AnsiString GetExeName() const;
    TCustomForm* GetMainForm() const { return mainForm_; }
    bool GetTerminated() const { return terminated_; }
    AnsiString GetHelpFile() const { return helpFile_; }
    void SetHelpFile(const AnsiString& value) { helpFile_ = value; }
    bool GetShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    // Nesting depth of modal loops now running.
    int ModalLevel() const { return modalLevel_; }

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TCustomForm;
    bool processMessage(MSG& msg);
    bool isPreTranslated(MSG& msg);
    void idle();
    void windowProc(TMessage& m);
    static LRESULT CALLBACK applicationWndProc(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK hintWndProc(HWND, UINT, WPARAM, LPARAM);
    void hintTimerProc(TMessage& m);
    void showHintNow();

    HWND hintTimer_ = nullptr;
    HWND hintWindow_ = nullptr;
    bool hintVisible_ = false;
    TControl* hintControl_ = nullptr;
    AnsiString hintText_;

    HWND handle_ = nullptr;
    AnsiString title_;
    AnsiString helpFile_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool showHint_ = true;
    int modalLevel_ = 0;
    std::vector<TWindowHook> hooks_;
    std::vector<HWND> hiddenByMinimize_;

public:
    BRIM_READONLY(Handle, TApplication::GetHandle);
    BRIM_PROPERTY(Title, TApplication::GetTitle, TApplication::SetTitle);
    BRIM_READONLY(ExeName, TApplication::GetExeName);
    BRIM_READONLY(MainForm, TApplication::GetMainForm);
    BRIM_READONLY(Terminated, TApplication::GetTerminated);
    BRIM_PROPERTY(HelpFile, TApplication::GetHelpFile, TApplication::SetHelpFile);
    BRIM_PROPERTY(ShowHint, TApplication::GetShowHint, TApplication::SetShowHint);
};

// ---------------------------------------------------------------------------

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);

    TCustomForm* GetActiveForm() const;
    TWinControl* GetActiveControl() const;
    int GetFormCount() const;
    TCustomForm* GetForm(int Index) const;
    int GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
    int GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }
    TRect GetWorkAreaRect() const;
    int GetWorkAreaLeft() const { return GetWorkAreaRect().Left; }
    int GetWorkAreaTop() const { return GetWorkAreaRect().Top; }
    int GetWorkAreaWidth() const { return GetWorkAreaRect().Width(); }
    int GetWorkAreaHeight() const { return GetWorkAreaRect().Height(); }
    int GetPixelsPerInch() const { return pixelsPerInch_; }
    TCursor GetCursor() const { return cursor_; }
    void SetCursor(TCursor value);
    HCURSOR GetCursors(int Index) const;
    void SetCursors(int Index, HCURSOR Handle);

    // Forms register themselves here when created.
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);

private:
    std::vector<TCustomForm*> forms_;
    std::map<int, HCURSOR> cursors_;
    TCursor cursor_ = crDefault;
    int pixelsPerInch_ = 96;

public:
    BRIM_READONLY(ActiveForm, TScreen::GetActiveForm);
    BRIM_READONLY(ActiveControl, TScreen::GetActiveControl);
    BRIM_READONLY(FormCount, TScreen::GetFormCount);
    BRIM_INDEXED_READONLY(Forms, TScreen::GetForm);
    BRIM_READONLY(Width, TScreen::GetWidth);
    BRIM_READONLY(Height, TScreen::GetHeight);
    BRIM_READONLY(WorkAreaRect, TScreen::GetWorkAreaRect);
    BRIM_READONLY(WorkAreaLeft, TScreen::GetWorkAreaLeft);
    BRIM_READONLY(WorkAreaTop, TScreen::GetWorkAreaTop);
    BRIM_READONLY(WorkAreaWidth, TScreen::GetWorkAreaWidth);
    BRIM_READONLY(WorkAreaHeight, TScreen::GetWorkAreaHeight);
    BRIM_READONLY(PixelsPerInch, TScreen::GetPixelsPerInch);
    BRIM_PROPERTY(Cursor, TScreen::GetCursor, TScreen::SetCursor);
    BRIM_INDEXED(Cursors, TScreen::GetCursors, TScreen::SetCursors);
};

// ---------------------------------------------------------------------------
// Globals

extern TApplication* Application;
extern TScreen* Screen;
extern HINSTANCE HInstance;
extern DWORD MainThreadID;
extern int Win32Platform;
extern int Win32MajorVersion;
extern int Win32MinorVersion;
extern int Win32BuildNumber;
extern AnsiString Win32CSDVersion;
extern bool NewStyleControls;
extern bool IsLibrary;

// Creates Application, Screen, Mouse and the version globals (once; later calls do nothing).
void InitFramework();
