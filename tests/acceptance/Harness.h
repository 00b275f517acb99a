/*
 * The acceptance journeys' hands and eyes: the installed programs started as
 * processes of their own, their windows found by caption, their controls by
 * the framework's control map, the user's pointer and keyboard played with
 * SendInput, and waits with deadlines on what the user would see.
 *
 * Each journey runs in a machine of its own (scripts/acceptance-exec): a
 * fresh Wine prefix with Brimsafe installed, its own display and server, so
 * the pointer, the keyboard, the clipboard and the registry are the journey's.
 *
 * Tricky points:
 * - A failing wait or lookup fails the current step: it records the failure
 *   with the step's name, saves a screenshot of the screen as
 *   <build>/acceptance/<journey>-<step>.bmp and throws StepFailed, which ends
 *   the journey (the test body) there. Any other failure in a step also
 *   saves one screenshot for that step.
 * - Waits poll with a short pause inside a deadline loop; nothing waits on a
 *   fixed time to let the program catch up.
 * - Input goes to whatever window has the focus or lies under the pointer,
 *   as a user's does: bring the window forward first (the click does).
 * - A press waits for the state that makes it land: the window aimed at in
 *   front and over the point, and the display's pointer reported there by
 *   the programs (InputTrace.h: Wine's windows report it back as moves of
 *   their own, late under load, and an old place reported after the press
 *   was sent would take the press there). Each press and release carries
 *   its point. With BRIM_INPUT_TRACE set, every press is logged.
 * - Texts are UTF-8 here; the programs' ANSI windows see them in the
 *   machine's code page.
 */
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace acc {

// Ends a journey at a failed step (the failure is already recorded).
struct StepFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string installFolder();  // "C:\\Program Files\\Quarrendel\\Brimsafe"
std::string journeyFolder();  // a fresh folder of this journey for vaults and files (C:\...)

// One started process; ended (terminated) if still running when destroyed.
class Program {
public:
    // exe is a file name in installFolder(); the process starts in that folder.
    static Program start(const std::string& exe, const std::string& arguments = "");
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    DWORD pid() const { return pid_; }
    bool running() const;
    bool waitForExit(DWORD ms = 30000);  // true when it ended in time
    DWORD exitCode() const;
    void terminate();  // TerminateProcess, no polite close

private:
    Program() = default;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// A visible top-level window with exactly this caption (of that process when pid is not 0), or nullptr.
HWND findWindow(const std::string& caption, DWORD pid = 0);
// The same, waited for; fails the step at the deadline.
HWND waitForWindow(const std::string& caption, DWORD pid = 0, DWORD ms = 30000);
// Waits until the window is gone or hidden; fails the step at the deadline.
void waitForWindowGone(HWND window, DWORD ms = 30000);

// A windowed control of a form by its framework name (see framework/ControlMap.h), nullptr if none.
HWND control(HWND form, const std::string& name);
// Any named control, windowed or not, in screen coordinates; waits for it a while, then fails the step.
RECT controlRect(HWND form, const std::string& name);
// Whether the named control exists and is showing (no wait).
bool controlShowing(HWND form, const std::string& name);
// What the control map says of a named control right now (no wait): found, showing, enabled, bounds.
struct ControlSeen {
    bool found = false, showing = false, enabled = false;
    RECT bounds{};  // screen coordinates; empty when it has none
};
ControlSeen seeControl(HWND form, const std::string& name);
std::string windowText(HWND window);

// The pointer to the control's centre (once it shows and is enabled), left press and release.
void click(HWND form, const std::string& name);
void clickAt(POINT screen);
void doubleClickAt(POINT screen);
void rightClickAt(POINT screen);
// Left press at `from`, the pointer moved there in steps, release at `to` (title bars, grips, splitters).
void drag(POINT from, POINT to);
// A child window whose text is exactly this (system buttons, stand-in dialogs), clicked at its centre.
void clickText(HWND dialog, const std::string& text);
// Into whatever has the focus: unicode key events; '\t' is the Tab key, '\n' the Enter key.
void typeText(const std::string& utf8);
void pressKey(WORD vk, bool ctrl = false, bool shift = false, bool alt = false);
// The pointer to the point, as a user moves the mouse: done once the programs report it there.
void moveMouseTo(POINT screen);
// Pointer moves over a window, as a user stirring the mouse (entropy pages).
void moveMouseAround(HWND over, int moves);
// Prints the line of a second try ("[ AGAIN    ] ..."): what is tried again and what held the input
// (see InputTrace.h); with the trace on, the line goes there too.
void secondTry(const std::string& what);
// Polls the condition until it holds; fails the step with `what` at the deadline.
void waitUntil(const std::function<bool()>& condition, const std::string& what, DWORD ms = 30000);

std::string clipboardText();  // "" when empty
std::string readFileBytes(const std::string& path);
bool fileExists(const std::string& path);

// Values of the program's settings key (HKCU\Software\Quarrendel\Brimsafe), as it writes them.
bool readSetting(const std::string& name, std::string& value);
bool readSetting(const std::string& name, DWORD& value);

// The step machinery behind ACC_STEP and the failing helpers.
void beginStep(const std::string& text);
const std::string& currentStep();
// Records a failure of the current step, saves the screenshot and throws StepFailed.
[[noreturn]] void failStep(const std::string& what);
// Saves the screen as <build>/acceptance/<journey>-<step>.bmp; the path written, or "".
std::string saveScreenshot();

}  // namespace acc

// Names the current step for failure messages and the screenshot file.
#define ACC_STEP(text) ::acc::beginStep(text)
