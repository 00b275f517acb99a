// The application object of the qclclass unit and the one-instance rule.
//
// The application object is created explicitly, after the framework's own
// globals, by QCLInitApplication; its instance mutex is named after the
// executable's file name so that a second start can see the first.
#include "components/runtime/qclclass.h"

#include "components/runtime/QCLIniCtrl.h"
#include "components/runtime/qclcont.h"
#include "components/runtime/qclerrors.h"
#include "components/runtime/qclstrings.h"
#include "components/runtime/qclsysin.h"

#include "framework/Forms.h"

#include <windows.h>

TQCLApplication* QCLApplication = nullptr;

namespace {

int initCount = 0;
TQCLExitWindowsFunc exitWindows = ExitWindowsEx;

bool enableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    const bool ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid) &&
                    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                    GetLastError() == ERROR_SUCCESS;
    CloseHandle(token);
    return ok;
}

AnsiString exePath() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

AnsiString applicationTitle() { return Application ? Application->GetTitle() : AnsiString(); }

// The library's pointing hand, cursor number -255 of the screen.
constexpr int kHandCursor = -255;
constexpr int kHandCursorResource = 16548;

AnsiString exeFileName() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const AnsiString full = path;
    return full.substr(full.find_last_of("\\/:") + 1);
}

}  // namespace

TQCLExitWindowsFunc QCLSetExitWindowsFuncForTesting(TQCLExitWindowsFunc Func) {
    const TQCLExitWindowsFunc previous = exitWindows;
    exitWindows = Func ? Func : ExitWindowsEx;
    return previous;
}

void QCLInitApplication() {
    if (initCount++ != 0)
        return;
    QCLApplication = new TQCLApplication(nullptr);
    // The resource containers' global lists live as long as the application object.
    QCLCreateGlobalContainer();
}

void QCLDoneApplication() {
    if (initCount == 0 || --initCount > 0)
        return;
    QCLFreeGlobalContainer();
    TQCLApplication* app = QCLApplication;
    QCLApplication = nullptr;
    FreeAndNil(app);
}

TQCLApplication::TQCLApplication(TComponent* AOwner) : TComponent(AOwner) {
    storage_ = new TQCLIniCtrl(this);
    SetLogName("");
    createInstanceMutex();
    timerPool_ = new TQCLTimerPool(nullptr, 50);
    LARGE_INTEGER frequency{};
    if (QueryPerformanceFrequency(&frequency))
        counterFrequency_ = frequency.QuadPart;
    if (Screen)
        Screen->SetCursors(kHandCursor, LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kHandCursorResource)));
}

TQCLApplication::~TQCLApplication() {
    delete brushBitmap_;
    delete plainBitmap_;
    FreeAndNil(timerPool_);
    if (instanceMutex_)
        CloseHandle(instanceMutex_);
}

void TQCLApplication::createInstanceMutex() {
    if (IsLibrary)
        return;  // a library has no instance of its own to mark
    instanceMutex_ = CreateMutexA(nullptr, FALSE, exeFileName().c_str());
    anotherInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
}

AnsiString TQCLApplication::GetDefaultRegPath() const {
    AnsiString path = "Software\\";
    if (!QCLEmpty(CompanyText))
        path += CompanyText + "\\";
    const AnsiString title = applicationTitle();
    path += (QCLEmpty(title) ? exePath() : title) + "\\";
    if (!QCLEmpty(VersionText))
        path += VersionText + "\\";
    return path;
}

bool TQCLApplication::QuitWindows(TQCLExitCode Code) {
    UINT flags = EWX_LOGOFF;
    if (Code == ecQuit)
        flags = EWX_SHUTDOWN | EWX_FORCE;
    else if (Code == ecReboot)
        flags = EWX_REBOOT | EWX_FORCE;
    if (QCLSIWindowsNT && !enableShutdownPrivilege())
        return false;
    if (!exitWindows(flags, 0))
        return false;
    QCLTerminateApplication();
    return true;
}

int TQCLApplication::GetTimerIdent() const {
    for (int slot = 1; slot <= QCLTimerIdentSlots; ++slot)
        if (identSlots_[slot] == 0)
            return slot;
    return 0;
}

// The pool keeps an item whose window timer the system refused; the caller
// never learns its identifier, so it is taken out again. Otherwise the free
// slot would name an identifier still in the pool, and every later AddTimer
// would be refused as a duplicate.
template <class AddToPool>
uint16_t TQCLApplication::addTimerInSlot(AddToPool add) {
    const int slot = GetTimerIdent();
    if (slot == 0)
        return 0;
    const auto ident = static_cast<uint16_t>(QCLTimerIdentBase + slot);
    const bool taken = timerPool_->GetTimer(ident) != nullptr;  // added to the pool directly: not ours
    try {
        add(ident);
    } catch (...) {
        if (!taken)
            timerPool_->RemoveTimer(ident);
        throw;
    }
    identSlots_[slot] = 1;
    return ident;
}

uint16_t TQCLApplication::AddTimer(uint16_t Interval, TNotifyEvent Event) {
    return addTimerInSlot([&](uint16_t ident) { timerPool_->AddTimer(ident, Interval, Event); });
}

uint16_t TQCLApplication::AddTimerExt(uint16_t Interval, int32_t CallCount, bool Enabled, TNotifyEvent Event) {
    return addTimerInSlot(
        [&](uint16_t ident) { timerPool_->AddTimerExt(ident, Interval, CallCount, Enabled, Event); });
}

void TQCLApplication::RemoveTimer(uint16_t Ident) {
    if (Ident <= QCLTimerIdentBase)
        return;
    timerPool_->RemoveTimer(Ident);
    if (Ident <= QCLTimerIdentBase + QCLTimerIdentSlots)
        identSlots_[Ident - QCLTimerIdentBase] = 0;
}

TQCLTimerItem* TQCLApplication::GetTimer(uint16_t Ident) const { return timerPool_->GetTimer(Ident); }

TBitmap* TQCLApplication::GetBrushBitmap(TColor Color) {
    // Made before the colours are compared, so that a first call with the
    // initial colour (no colour) still gets a bitmap.
    if (!brushBitmap_) {
        brushBitmap_ = new TBitmap;
        brushBitmap_->SetSize(8, 8);
        TCanvas* canvas = brushBitmap_->Canvas;
        canvas->Brush->Color = clWhite;
        canvas->FillRect(TRect(0, 0, 8, 8));
    } else if (Color == brushColor_) {
        return brushBitmap_;
    }
    if (Color != clNone) {
        TCanvas* canvas = brushBitmap_->Canvas;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if ((x + y) % 2 == 1)
                    canvas->SetPixel(x, y, Color);
    }
    brushColor_ = Color;
    return brushBitmap_;
}

TBitmap* TQCLApplication::GetBitmap() {
    if (!plainBitmap_) {
        plainBitmap_ = new TBitmap;
        plainBitmap_->Assign(GetBrushBitmap(clBlack));
    }
    return plainBitmap_;
}

void TQCLApplication::SetEditMode(TQCLEditMode value) {
    if (!SetIfChanged(editMode_, value))
        return;
    if (OnEditModeChange)
        OnEditModeChange(this);
}

void TQCLApplication::STWStart() {
    if (stopwatchRunning_)
        STWStop();
    stopwatchStart_ = GetTickCount();
    stopwatchStop_ = 0;
    stopwatchRunning_ = true;
}

uint32_t TQCLApplication::STWStop() {
    if (!stopwatchRunning_)
        return 0;
    stopwatchStop_ = GetTickCount();
    stopwatchRunning_ = false;
    return stopwatchStop_ - stopwatchStart_;
}

// ---------------------------------------------------------------------------

QCLEOneInstError::QCLEOneInstError(const AnsiString& Name, int Kind) : Exception(AnsiString()) {
    if (Kind == 0)
        Message = Name + ":\r" + QCLLoadStr(65494, "Invalid owner (<>TForm) or second instance on a form");
    else if (Kind == 1)
        Message = Name + ":\rAlready one " + Name + " control in this project!";
}

bool QCLCheckForSameClass(TComponent* Owner, const std::function<bool(TComponent*)>& IsInstance,
                          bool /*AllowDataModule*/) {
    if (!dynamic_cast<TCustomForm*>(Owner))
        return true;
    if (!IsInstance)
        return false;
    int count = 0;
    for (int i = 0; i < Owner->GetComponentCount(); ++i)
        if (IsInstance(Owner->GetComponent(i)) && ++count > 1)
            return true;
    return false;
}
