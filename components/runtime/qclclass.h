// The component library's process-wide services (unit qclclass): the timer
// multiplexer TQCLTimerPool with its items, the application object
// TQCLApplication that owns the global pool, and the one-instance-per-form
// rule of the form-level components.
//
// The timer pool drives any number of logical timers from one window timer of
// MinInterval milliseconds on a hidden window; an item fires on every tick
// whose number is a multiple of interval / MinInterval. Events may add and
// remove timers (their own included) while the pool ticks; a tick that
// arrives while an event runs a nested message loop is dropped.
#pragma once

#include "components/runtime/QCLCustomComponent.h"
#include "components/runtime/qclprocs.h"

#include "framework/Graphics.h"
#include "framework/Messages.h"

#include <windows.h>

#include <cstdint>
#include <functional>

class TQCLTimerPool;

using TQCLTimerInterval = uint16_t;
using TQCLTimerPoolEvent = TEvent<void(TObject* Sender, uint16_t Ident, int32_t Counter)>;

// One logical timer; owned by its pool's list.
class TQCLTimerItem : public TObject {
public:
    // Raises EInvalidOperation when the pool or the list is missing.
    TQCLTimerItem(TQCLTimerPool* Pool, TList* List);
    ~TQCLTimerItem() override;

    AnsiString ClassName() const override { return "TQCLTimerItem"; }

    // -1 unlimited; values below -1 become -1; 0 disables the item.
    void SetCallCount(int32_t value);
    // An item whose call count is 0 cannot be enabled; any change restarts
    // the count of calls.
    void SetEnabled(bool value);
    // Ignored unless a multiple of the pool's MinInterval; 0 means MinInterval.
    void SetInterval(uint16_t value);
    // Fires once (only when enabled).
    void Timer();

    int32_t GetCallCount() const { return callCount_; }
    int32_t GetCounter() const { return counter_; }
    bool GetEnabled() const { return enabled_; }
    uint16_t GetIdent() const { return ident_; }
    uint16_t GetInterval() const { return interval_; }
    int32_t GetMultiple() const { return multiple_; }

    BRIM_PROPERTY(CallCount, TQCLTimerItem::GetCallCount, TQCLTimerItem::SetCallCount);
    BRIM_PROPERTY(Enabled, TQCLTimerItem::GetEnabled, TQCLTimerItem::SetEnabled);
    BRIM_PROPERTY(Interval, TQCLTimerItem::GetInterval, TQCLTimerItem::SetInterval);
    BRIM_READONLY(Counter, TQCLTimerItem::GetCounter);
    BRIM_READONLY(Ident, TQCLTimerItem::GetIdent);

    TNotifyEvent OnTimer;

private:
    friend class TQCLTimerPool;

    int32_t callCount_ = -1;
    int32_t counter_ = 0;
    bool enabled_ = true;
    uint16_t ident_ = 0;
    uint16_t interval_ = 1000;
    int32_t multiple_ = 1;
    TList* list_;
    TQCLTimerPool* pool_;
};

class TQCLTimerPool : public TQCLCustomComponent {
public:
    explicit TQCLTimerPool(TComponent* AOwner);
    TQCLTimerPool(TComponent* AOwner, TQCLTimerInterval MinInterval);
    ~TQCLTimerPool() override;

    // Returns the new item's list index. Raises for a duplicate identifier
    // and for an interval that is not a multiple of MinInterval.
    int AddTimer(uint16_t Ident, uint16_t Interval, TNotifyEvent Event);
    int AddTimerExt(uint16_t Ident, uint16_t Interval, int32_t CallCount, bool Enabled, TNotifyEvent Event);
    void RemoveTimer(uint16_t Ident);
    void ClearTimers();
    TQCLTimerItem* GetTimer(uint16_t Ident) const;
    int IndexOf(uint16_t Ident) const;
    int GetCount() const { return items_.Count; }
    int GetActiveTimers() const;
    bool HasTimerProc() const { return static_cast<bool>(OnTimer); }

    // Starts (when an item is enabled) or stops the window timer; raises
    // EOutOfResources when the system refuses it.
    void UpdateMainTimer(bool Active);
    void HandleTimers();

    TQCLTimerInterval GetMinInterval() const { return minInterval_; }
    // Takes effect only while the pool is being loaded; ignored at run time.
    void SetMinInterval(TQCLTimerInterval value);
    bool IsActive() const { return active_; }
    int32_t GetTickCounter() const { return tickCounter_; }
    // The hidden window that receives the ticks (made on first use).
    HWND GetHandle() const { return window_; }

    BRIM_PROPERTY(MinInterval, TQCLTimerPool::GetMinInterval, TQCLTimerPool::SetMinInterval);
    BRIM_READONLY(Count, TQCLTimerPool::GetCount);
    BRIM_READONLY(Handle, TQCLTimerPool::GetHandle);

    TQCLTimerPoolEvent OnTimer;

    AnsiString ClassName() const override { return "TQCLTimerPool"; }

private:
    void windowProc(TMessage& Message);
    void tick();

    bool active_ = false;
    bool inTick_ = false;
    HWND window_ = nullptr;
    int32_t tickCounter_ = 0;
    TQCLTimerInterval minInterval_ = 1000;
    TList items_;
    bool removing_ = false;
};

// ---------------------------------------------------------------------------
// Application object

class TQCLIniCtrl;

enum TQCLApplicationOption {
    aoAutoRealizePalette, aoMouseCtrlActive, aoLogAlwaysClear, aoLogException,
    aoLogHeader, aoLogNr, aoLogTime, aoLogDate
};
using TQCLApplicationOptions = TSet<TQCLApplicationOption>;
enum TQCLEditModeItem { emInsert, emShift, emCtrl, emAlt, emCaps, emNum, emScroll };
using TQCLEditMode = TSet<TQCLEditModeItem>;
enum TQCLLogAction { laNone, laClearLog, laBackupLog };
enum TQCLExitCode { ecQuit, ecReboot, ecRestart };

using TQCLExceptionEvent = TEvent<void(TObject* Sender, Exception* E, bool& Cancel)>;
using TQCLMaxLogSizeEvent = TEvent<void(TObject* Sender, const AnsiString& LogName, bool& Cancel)>;
// May add lines to the log header.
using TQCLOnHeaderWrite = TEvent<void(TObject* Sender, TStrings* Lines)>;

// First and last identifier that the application object hands out.
constexpr uint16_t QCLTimerIdentBase = 0xFD00;
constexpr int QCLTimerIdentSlots = 250;

class TQCLApplication : public TComponent {
public:
    explicit TQCLApplication(TComponent* AOwner);
    ~TQCLApplication() override;

    AnsiString ClassName() const override { return "TQCLApplication"; }

    // Logical timers of the global pool with identifiers 0xFD01..0xFDFA;
    // 0 when all 250 are in use. Errors of the pool pass to the caller.
    uint16_t AddTimer(uint16_t Interval, TNotifyEvent Event);
    uint16_t AddTimerExt(uint16_t Interval, int32_t CallCount, bool Enabled, TNotifyEvent Event);
    // Only identifiers above 0xFD00; others are ignored.
    void RemoveTimer(uint16_t Ident);
    TQCLTimerItem* GetTimer(uint16_t Ident) const;
    // The lowest free slot 1..250, 0 when none is free.
    int GetTimerIdent() const;

    TQCLEditMode GetEditMode() const { return editMode_; }
    // Fires OnEditModeChange when the set differs.
    void SetEditMode(TQCLEditMode value);

    // The shared 8 x 8 pattern: white, with every pixel (x, y) of odd x + y
    // in the colour; painted only when the colour changes.
    TBitmap* GetBrushBitmap(TColor Color);
    // A copy of the pattern painted black, made once.
    TBitmap* GetBitmap();

    double GetTimerFrequency() const { return static_cast<double>(counterFrequency_); }
    void STWStart();
    // Milliseconds since STWStart; 0 when the stopwatch does not run.
    uint32_t STWStop();

    // "Software\" + company text, title and version text, each with a backslash.
    AnsiString GetDefaultRegPath() const;

    // Text log (used by no window of the program): see qclclass_log.cpp.
    void SetLogName(const AnsiString& Name);
    AnsiString GetLogName() const { return logName_; }
    void SetLogPrefix(TQCLPathPrefix Prefix);
    TQCLPathPrefix GetLogPrefix() const { return logPrefix_; }
    void LogWrite(const AnsiString& Text);
    // Logs the exception being handled (call only inside a catch block).
    void LogException(TObject* Sender);
    // OnException may cancel; otherwise the exception is logged (with
    // aoLogException) and shown by the framework application.
    void HandleException(TObject* Sender, Exception* E);

    // Logs off (ecRestart), or shuts down or restarts the machine by force;
    // on the NT family the shut-down privilege is enabled first.
    bool QuitWindows(TQCLExitCode Code);

    TQCLTimerPool* GetTimerPool() const { return timerPool_; }
    TQCLIniCtrl* GetStorage() const { return storage_; }
    bool AnotherInstance() const { return anotherInstance_; }
    HANDLE InstanceMutex() const { return instanceMutex_; }

    BRIM_PROPERTY(EditMode, TQCLApplication::GetEditMode, TQCLApplication::SetEditMode);
    BRIM_READONLY(TimerPool, TQCLApplication::GetTimerPool);
    BRIM_READONLY(Storage, TQCLApplication::GetStorage);

    AnsiString CompanyText;
    AnsiString VersionText;
    TQCLApplicationOptions Options = TQCLApplicationOptions::FromBits(0x36);
    uint8_t ExplodeSpeed = 3;
    TNotifyEvent OnEditModeChange;
    AnsiString LogTemplate = "#tdl";
    int32_t MaxLogSize = -1;
    TQCLLogAction LogAction = laNone;
    TQCLMaxLogSizeEvent OnMaxLogSize;
    TQCLOnHeaderWrite OnHeaderWrite;
    TQCLExceptionEvent OnException;

private:
    AnsiString logHeader() const;
    AnsiString logLine(const AnsiString& text);
    void logException(TObject* Sender, const AnsiString& message, const void* address);

    AnsiString logName_;
    TQCLPathPrefix logPrefix_ = ppProgram;
    bool logWritten_ = false;
    int32_t logLineNumber_ = 0;
    void createInstanceMutex();
    template <class AddToPool>
    uint16_t addTimerInSlot(AddToPool add);

    uint8_t identSlots_[QCLTimerIdentSlots + 1] = {};  // slot 0 unused
    TQCLTimerPool* timerPool_ = nullptr;
    TQCLIniCtrl* storage_ = nullptr;
    TBitmap* brushBitmap_ = nullptr;
    TBitmap* plainBitmap_ = nullptr;
    TColor brushColor_ = clNone;
    TQCLEditMode editMode_{emInsert};
    uint32_t stopwatchStart_ = 0;
    uint32_t stopwatchStop_ = 0;
    bool stopwatchRunning_ = false;
    int64_t counterFrequency_ = 0;
    HANDLE instanceMutex_ = nullptr;
    bool anotherInstance_ = false;
};

// The system call behind QuitWindows; tests replace it so that nothing ends
// the session. Returns the previous one.
using TQCLExitWindowsFunc = BOOL(WINAPI*)(UINT Flags, DWORD Reason);
TQCLExitWindowsFunc QCLSetExitWindowsFuncForTesting(TQCLExitWindowsFunc Func);

// The process-wide application object; made by QCLInitApplication after the
// framework's globals and freed by QCLDoneApplication (both count, so only
// the first and the last call act). The global resource container
// (qclcont) is made and freed with it.
extern TQCLApplication* QCLApplication;
void QCLInitApplication();
void QCLDoneApplication();

// ---------------------------------------------------------------------------
// One instance per form

// The message of the one-instance error: kind 0 a second instance on a form
// (or an owner that is not a form), kind 1 a second one in the project.
class QCLEOneInstError : public Exception {
public:
    QCLEOneInstError(const AnsiString& Name, int Kind);
};

// True when the owner is not acceptable (not a form) or already holds another
// instance of the class (the new component counts itself). The framework has
// no data modules, so AllowDataModule accepts nothing more. The form-level
// components check this in design mode only, which this framework lacks.
bool QCLCheckForSameClass(TComponent* Owner, const std::function<bool(TComponent*)>& IsInstance,
                          bool AllowDataModule);
template <class T>
bool QCLCheckForSameClass(TComponent* Owner, bool AllowDataModule) {
    return QCLCheckForSameClass(Owner, [](TComponent* c) { return dynamic_cast<T*>(c) != nullptr; },
                                AllowDataModule);
}
