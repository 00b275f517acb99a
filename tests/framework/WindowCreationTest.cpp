// Window creation in depth: whichever control's window is asked for first (a
// form's, a panel's or a grandchild's, as a control measuring itself during
// construction does), every control ends up with exactly one window, under
// its parent's window, and every child window found belongs to the control
// that holds it.
#include <gtest/gtest.h>

#include "tests/framework/FrameworkFixture.h"

#include <vector>

namespace {

using fwtest::FrameworkTest;

class TNestForm : public TForm {
public:
    explicit TNestForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(40, 40, 240, 160);
        panel = new TPanel(this);
        panel->Parent = this;
        panel->SetBounds(8, 8, 200, 120);
        inner = new TCustomControl(this);
        inner->Parent = panel;
        inner->SetBounds(10, 10, 80, 24);
        beside = new TCustomControl(this);
        beside->Parent = this;
        beside->SetBounds(8, 130, 80, 20);
    }
    TPanel* panel;
    TCustomControl* inner;
    TCustomControl* beside;
};

BOOL CALLBACK collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

class WindowCreationTest : public FrameworkTest {};

TEST_F(WindowCreationTest, AskingAnyControlFirstGivesEachOneWindowUnderItsParent) {
    struct Case {
        const char* first;
        TWinControl* (*pick)(TNestForm*);
    } cases[] = {
        {"form", [](TNestForm* f) -> TWinControl* { return f; }},
        {"panel", [](TNestForm* f) -> TWinControl* { return f->panel; }},
        {"control on the panel", [](TNestForm* f) -> TWinControl* { return f->inner; }},
        {"control on the form", [](TNestForm* f) -> TWinControl* { return f->beside; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        // Asked inside the form's own bracket, before anything else has a window.
        auto* form = new TNestForm(nullptr);
        c.pick(form)->HandleNeeded();
        form->AfterConstruction();

        std::vector<HWND> children;
        EnumChildWindows(form->GetHandle(), collect, reinterpret_cast<LPARAM>(&children));
        EXPECT_EQ(children.size(), 3u) << "one window for each of panel, inner and beside";
        for (HWND child : children) {
            TWinControl* owner = TWinControl::FindControl(child);
            ASSERT_NE(owner, nullptr);
            EXPECT_EQ(owner->GetHandle(), child) << "a window still routed to a control that has another";
        }
        EXPECT_EQ(GetParent(form->inner->GetHandle()), form->panel->GetHandle());
        EXPECT_EQ(GetParent(form->panel->GetHandle()), form->GetHandle());
        EXPECT_EQ(GetParent(form->beside->GetHandle()), form->GetHandle());
        form->Free();
    }
}

}  // namespace
