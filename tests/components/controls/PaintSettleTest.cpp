// A shown window with library edits settles: after the first paints, and
// after a full repaint, the queue empties (no window left needing a paint)
// and each edit paints once or twice. Counted with a message hook on this
// thread, over forms built the way the programs build them: edits made inside
// the form's constructor, on the form or on a plain panel, with and without
// custom buttons. (An edit whose window was asked for there, before its
// parent had one, once got a second, orphaned window that repainted without
// end.)
#include "components/controls/QCLCustomEdit.h"
#include "components/runtime/qclclass.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <map>
#include <string>

using namespace ctltest;

namespace {

std::map<HWND, int>* paintCounts = nullptr;
HHOOK paintHook = nullptr;

LRESULT CALLBACK countPaints(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && paintCounts) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_PAINT) ++(*paintCounts)[msg->hwnd];
    }
    return CallNextHookEx(paintHook, code, wParam, lParam);
}

// Counts the WM_PAINT messages taken from this thread's queue while alive.
class PaintCounter {
public:
    PaintCounter() {
        paintCounts = &counts_;
        paintHook = SetWindowsHookExA(WH_GETMESSAGE, countPaints, nullptr, GetCurrentThreadId());
    }
    ~PaintCounter() {
        if (paintHook) UnhookWindowsHookEx(paintHook);
        paintHook = nullptr;
        paintCounts = nullptr;
    }
    int total() const {
        int n = 0;
        for (const auto& entry : counts_) n += entry.second;
        return n;
    }
    int of(TWinControl* control) const {
        auto it = counts_.find(control->GetHandle());
        return it == counts_.end() ? 0 : it->second;
    }
    void reset() { counts_.clear(); }
    std::string describe() const {
        std::string out;
        for (const auto& entry : counts_) {
            char name[64] = {};
            GetClassNameA(entry.first, name, sizeof name);
            out += std::string(name) + " " + std::to_string(entry.second) + "; ";
        }
        return out;
    }

private:
    std::map<HWND, int> counts_;
};

// A form that builds its edits in its constructor, inside its own loading
// bracket, on the form or on a panel.
class EditForm : public TForm {
public:
    EditForm(TComponent* owner, int customButtons, bool onPanel) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(30, 30, 360, 200);
        TWinControl* host = this;
        if (onPanel) {
            panel = new TPanel(this);
            panel->Parent = this;
            panel->SetBounds(8, 8, 340, 180);
            host = panel;
        }
        edit = new TQCLEdit(this);
        edit->Parent = host;
        edit->SetBounds(16, 20, 260, 21);
        edit->SetText("C:\\Vaults\\Home.vlt");
        for (int i = 0; i < customButtons; ++i) edit->GetCustomButtons()->Add()->SetString(0, "...");
        masked = new TQCLEdit(this);
        masked->Parent = host;
        masked->SetBounds(16, 60, 200, 21);
        masked->SetPasswordChar('*');
        masked->SetText("secret");
    }
    TPanel* panel = nullptr;
    TQCLEdit* edit = nullptr;
    TQCLEdit* masked = nullptr;
};

// Takes what the queue holds, as the message loop would, until it is empty
// (no window left to paint); false when it never empties within the budget,
// which a window that repaints without end exhausts instead of hanging.
bool drainQueue(int budget = 3000, DWORD deadlineMs = 5000) {
    DWORD start = GetTickCount();
    MSG msg;
    for (int taken = 0; taken < budget && GetTickCount() - start < deadlineMs; ++taken) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return true;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return false;
}

class PaintSettleTest : public ControlsBaseTest {};

TEST_F(PaintSettleTest, AShownFormWithEditsStopsPainting) {
    struct Case {
        const char* name;
        int customButtons;
        bool onPanel;
    } cases[] = {
        {"edits on the form", 0, false},
        {"edits on a panel", 0, true},
        {"an edit with custom buttons on the form", 2, false},
        {"an edit with custom buttons on a panel", 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PaintCounter counter;
        EditForm* shown = MakeForm<EditForm>(nullptr, c.customButtons, c.onPanel);
        shown->Show();
        SetForegroundWindow(shown->GetHandle());
        EXPECT_TRUE(drainQueue()) << "paints by window class: " << counter.describe();
        EXPECT_GT(counter.of(shown->edit), 0);
        EXPECT_GT(counter.of(shown->masked), 0);
        // A full repaint, as an uncovered window gets, settles too, each window painting once or twice.
        counter.reset();
        RedrawWindow(shown->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
        EXPECT_TRUE(drainQueue()) << "paints by window class: " << counter.describe();
        EXPECT_LE(counter.of(shown->edit), 2);
        EXPECT_LE(counter.total(), 8) << counter.describe();
        shown->Free();
        drainQueue();
    }
}

}  // namespace
