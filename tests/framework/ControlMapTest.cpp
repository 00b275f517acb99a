// The control map asked as another process would: a registered message with a global atom, sent from
// another thread while the form's thread runs its message loop.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/ControlMap.h"
#include "tests/framework/ControlsFixture.h"

namespace {

using fwtest::ControlsTest;

class ControlMapTest : public ControlsTest {
protected:
    // Asks the form from another thread (a cross-thread send, answered by the form's loop).
    LRESULT ask(const std::string& name, WPARAM query) {
        std::atomic<bool> done{false};
        LRESULT answer = 0;
        HWND window = form->Handle;
        std::thread asker([&] {
            const ATOM atom = GlobalAddAtomA(name.c_str());
            DWORD_PTR result = 0;
            if (SendMessageTimeoutA(window, ControlMapMessage(), query, atom, SMTO_NORMAL, 5000, &result))
                answer = static_cast<LRESULT>(result);
            GlobalDeleteAtom(atom);
            done = true;
        });
        EXPECT_TRUE(fwtest::pumpUntil([&] { return done.load(); }));
        asker.join();
        return answer;
    }
    RECT bounds(const std::string& name) {
        const POINT topLeft = ControlMapUnpack(ask(name, cmqTopLeft));
        const POINT bottomRight = ControlMapUnpack(ask(name, cmqBottomRight));
        return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    }
};

void expectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(ControlMapTest, WindowedAndWindowlessControlsAnswerWithTheirScreenBounds) {
    auto* panel = new TPanel(form);
    panel->Parent = form;
    panel->SetBounds(30, 40, 200, 120);
    auto* edit = new TEdit(form);
    edit->Parent = panel;
    edit->SetBounds(10, 8, 120, 21);
    edit->Name = "PasswordEdit";
    auto* label = new TLabel(form);
    label->Parent = panel;
    label->AutoSize = false;
    label->SetBounds(12, 50, 90, 16);
    label->Caption = "Vault name";

    RECT window{};
    GetWindowRect(edit->Handle(), &window);
    EXPECT_EQ(reinterpret_cast<HWND>(ask("PasswordEdit", cmqHandle)), edit->Handle());
    expectRect(bounds("PasswordEdit"), window);

    POINT origin{12, 50};
    ClientToScreen(panel->Handle(), &origin);
    EXPECT_EQ(ask("Vault name", cmqHandle), 0) << "a windowless control has no window of its own";
    expectRect(bounds("Vault name"), RECT{origin.x, origin.y, origin.x + 90, origin.y + 16});

    EXPECT_EQ(ControlMapNameOfWindow(edit->Handle()), "PasswordEdit") << "the window carries its name";
    EXPECT_EQ(ControlMapNameOfWindow(panel->Handle()), "") << "an unnamed control carries none";
    edit->Name = "SecretEdit";
    EXPECT_EQ(ControlMapNameOfWindow(edit->Handle()), "SecretEdit") << "renamed after its window was made";

    EXPECT_EQ(ask("Vault name", cmqState), cmsFound | cmsShowing | cmsEnabled);
    label->Visible = false;
    edit->Enabled = false;
    EXPECT_EQ(ask("Vault name", cmqState), cmsFound | cmsEnabled);
    EXPECT_EQ(ask("SecretEdit", cmqState), cmsFound | cmsShowing);
}

// A name finds the named component first, then a caption, then a hint, then the n-th of a class.
TEST_F(ControlMapTest, NamesCaptionsHintsAndClassOrdinalsFindTheirControlInThatOrder) {
    auto* captioned = new TLabel(form);
    captioned->Parent = form;
    captioned->Caption = "OK";
    auto* named = new TEdit(form);
    named->Parent = form;
    named->Name = "OK";
    auto* hinted = new TPanel(form);
    hinted->Parent = form;
    hinted->Hint = "Lock the vault";
    auto* second = new TEdit(form);
    second->Parent = form;
    // Owned by the panel, not the form: found through its owner, depth first (before `second`).
    auto* inner = new TEdit(hinted);
    inner->Parent = hinted;
    inner->Name = "Inner";

    struct Case {
        const char* name;
        TComponent* expected;
    };
    const Case cases[] = {
        {"OK", named},          {"Lock the vault", hinted}, {"TEdit#1", named}, {"TEdit#2", inner},
        {"TEdit#3", second},     {"TEdit#4", nullptr},       {"TEdit#0", nullptr}, {"TEdit#", nullptr},
        {"#1", nullptr},        {"TEdit#1x", nullptr},      {"Inner", inner},   {"Nobody", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ControlMapFind(form, c.name), c.expected);
    }
    EXPECT_EQ(reinterpret_cast<HWND>(ask("TEdit#3", cmqHandle)), second->Handle());
}

// Of two controls with one caption the one the user sees answers, whichever was made first.
TEST_F(ControlMapTest, AShownControlWinsOverAHiddenOneOfTheSameCaption) {
    auto* hidden = new TPanel(form);
    hidden->Parent = form;
    hidden->Caption = "Ok";
    hidden->Visible = false;
    auto* shown = new TPanel(form);
    shown->Parent = form;
    shown->Caption = "Ok";
    EXPECT_EQ(ControlMapFind(form, "Ok"), shown);
    shown->Visible = false;
    EXPECT_EQ(ControlMapFind(form, "Ok"), hidden) << "with none showing, the first";
}

TEST_F(ControlMapTest, UnknownNamesAndBadQueriesAnswerZero) {
    auto* edit = new TEdit(form);
    edit->Parent = form;
    edit->Name = "Known";
    for (WPARAM query : {cmqHandle, cmqTopLeft, cmqBottomRight, cmqState}) {
        SCOPED_TRACE(query);
        EXPECT_EQ(ask("Unknown", query), 0);
    }
    EXPECT_EQ(ask("Known", 99), 0);
    DWORD_PTR result = 1;
    EXPECT_TRUE(SendMessageTimeoutA(form->Handle(), ControlMapMessage(), cmqHandle, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(result, 0u) << "no atom";
}

TEST(ControlMapPacking, ScreenPointsRoundTripIncludingNegativeOnes) {
    const POINT points[] = {{0, 0}, {1279, 1023}, {-1, -8}, {-32000, 32000}, {32767, -32767}};
    for (const POINT& p : points) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_NE(ControlMapPack(p), 0) << "0 is kept for 'no such control'";
        const POINT back = ControlMapUnpack(ControlMapPack(p));
        EXPECT_EQ(back.x, p.x);
        EXPECT_EQ(back.y, p.y);
    }
}

}  // namespace
