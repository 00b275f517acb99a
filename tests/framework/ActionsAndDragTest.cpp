// Actions linked to controls (what a control takes from its action at
// linking and on later changes, the click that runs the action, either side
// going first) and dragging controls onto each other with real input (the
// threshold, enter/move/leave and the drop in the target's coordinates, a
// refusing target, Escape, automatic drags, a source freed mid-drag).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/framework/ControlsFixture.h"
#include "tests/framework/RealMouse.h"

namespace {

using fwtest::ControlsTest;
using fwtest::pumpIdle;
using fwtest::pumpUntil;
using fwtest::realLeftButton;
using fwtest::realMoveTo;
using fwtest::screenPointOf;

// A windowless control that keeps its events.
class TBox : public TGraphicControl {
public:
    TBox(TWinControl* parent, const char* name, TRect bounds, std::vector<std::string>* log)
        : TGraphicControl(parent), log_(log) {
        Name = name;
        Parent = parent;
        SetBoundsRect(bounds);
    }
    void Click() override {
        log_->push_back(GetName() + " click");
        TGraphicControl::Click();
    }

private:
    std::vector<std::string>* log_;
};

// ---------------------------------------------------------------------------
// Actions

TEST(Actions, LinkingTakesTheActionsStateWhereTheControlKeepsItsDefaults) {
    struct Case {
        const char* what;
        bool loading;
        const char* ownCaption;
        bool ownEnabled;
        const char* caption;
        bool enabled;
    } cases[] = {
        {"linked from code", false, "Own", false, "Act", true},
        {"loading, defaults", true, "", true, "Act", true},
        {"loading, own values kept", true, "Own", false, "Own", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TAction action(nullptr);
        action.Caption = "Act";
        action.Hint = "does it";
        TBox* box = nullptr;
        std::vector<std::string> log;
        auto build = [&] {
            box = new TBox(nullptr, "box", Rect(0, 0, 10, 10), &log);
            box->Caption = c.ownCaption;
            box->Enabled = c.ownEnabled;
            box->Action = &action;
        };
        if (c.loading) {
            TLoadingGuard guard;  // as a layout is read
            build();
        } else {
            build();
        }
        EXPECT_EQ(box->GetText(), c.caption);
        EXPECT_EQ(box->GetEnabled(), c.enabled);
        EXPECT_EQ(box->GetHint(), "does it");
        EXPECT_EQ(box->GetAction(), &action);
        delete box;
        EXPECT_EQ(action.LinkCount(), 0) << "a control that goes unlinks itself";
    }
}

TEST(Actions, LaterChangesReachEveryClientAndAClickWithoutOnClickRunsTheAction) {
    std::vector<std::string> log;
    auto* action = new TAction(nullptr);
    action->OnExecute = [&](TObject* sender) { log.push_back(sender == action ? "execute" : "execute?"); };
    TBox a(nullptr, "a", Rect(0, 0, 10, 10), &log), b(nullptr, "b", Rect(0, 0, 10, 10), &log);
    a.Action = action;
    b.Action = action;
    EXPECT_EQ(action->LinkCount(), 2);
    action->Caption = "Later";
    action->Enabled = false;
    action->Visible = false;
    for (TBox* box : {&a, &b}) {
        EXPECT_EQ(box->GetText(), "Later");
        EXPECT_FALSE(box->GetEnabled());
        EXPECT_FALSE(box->GetVisible());
    }
    a.Click();  // a disabled action does not run
    action->Enabled = true;
    a.Click();
    b.OnClick = [&](TObject*) { log.push_back("own click"); };
    b.Click();
    EXPECT_EQ(log, (std::vector<std::string>{"a click", "a click", "execute", "b click", "own click"}));

    delete action;  // the action goes first: the clients forget it
    EXPECT_EQ(a.GetAction(), nullptr);
    log.clear();
    a.Click();
    EXPECT_EQ(log, (std::vector<std::string>{"a click"}));
    a.Action = nullptr;
}

TEST(Actions, AFreedImageListLeavesTheAction) {
    TAction action(nullptr);
    auto* images = new TImageList(nullptr);
    action.SetImages(images);
    EXPECT_EQ(action.GetImages(), images);
    delete images;
    EXPECT_EQ(action.GetImages(), nullptr);
}

// ---------------------------------------------------------------------------
// Dragging

class Dragging : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        SetForegroundWindow(form->Handle);
        ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == form->Handle(); }));
        source = new TBox(form, "source", Rect(10, 10, 60, 40), &log);
        target = new TBox(form, "target", Rect(150, 100, 250, 160), &log);
        source->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) {
            log.push_back("source down");
            source->BeginDrag(false, 5);
        };
        source->OnStartDrag = [this](TObject*) { log.push_back("start"); };
        source->OnEndDrag = [this](TObject*, TObject* to, int x, int y) {
            log.push_back(std::string("end ") + (to == target ? "target" : to ? "?" : "none") + " " +
                          std::to_string(x) + "," + std::to_string(y));
        };
        target->OnDragOver = [this](TObject*, TObject* from, int x, int y, TDragState state, bool& accept) {
            const char* names[] = {"enter", "leave", "move"};
            if (state != dsDragMove || log.empty() || log.back().rfind("over move", 0) != 0)
                log.push_back(std::string("over ") + names[state] + (from == source ? "" : "?") +
                              (state == dsDragEnter ? " " + std::to_string(x) + "," + std::to_string(y) : ""));
            accept = acceptDrops;
        };
        target->OnDragDrop = [this](TObject*, TObject* from, int x, int y) {
            log.push_back(std::string("drop") + (from == source ? " " : "? ") + std::to_string(x) + "," +
                          std::to_string(y));
        };
        pumpIdle();
        log.clear();
    }
    void TearDown() override {
        realLeftButton(false);
        ControlsTest::TearDown();
    }
    // Press on the source, move in steps to the target's (20, 30), then `finish`.
    void dragToTarget() {
        realMoveTo(screenPointOf(source, 5, 5));
        realLeftButton(true);
        realMoveTo(screenPointOf(source, 7, 6));  // below the threshold
        realMoveTo(screenPointOf(source, 30, 20));
        realMoveTo(screenPointOf(target, 10, 10));
        realMoveTo(screenPointOf(target, 20, 30));
    }
    std::vector<std::string> log;
    TBox* source = nullptr;
    TBox* target = nullptr;
    bool acceptDrops = true;
};

TEST_F(Dragging, BelowTheThresholdAPressAndReleaseIsStillAClick) {
    realMoveTo(screenPointOf(source, 5, 5));
    realLeftButton(true);
    realMoveTo(screenPointOf(source, 8, 7));
    realLeftButton(false);
    EXPECT_EQ(log, (std::vector<std::string>{"source down", "source click"}));
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Dragging, AnAcceptingTargetGetsTheDropInItsOwnCoordinates) {
    dragToTarget();
    EXPECT_TRUE(source->Dragging());
    realLeftButton(false);
    EXPECT_EQ(log, (std::vector<std::string>{"source down", "start", "over enter 10,10", "over move", "over leave",
                                             "drop 20,30", "end target 20,30"}));
    EXPECT_FALSE(source->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Dragging, RefusedDropsEscapeAndAFreedSourceEndWithoutADrop) {
    struct Case {
        const char* what;
        bool accept;
        WORD key;  // pressed before the release, 0 for none
        std::vector<std::string> tail;
    } cases[] = {
        {"refused", false, 0, {"over leave", "end none 0,0"}},
        {"escape", true, VK_ESCAPE, {"over leave", "end none 0,0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        acceptDrops = c.accept;
        dragToTarget();
        if (c.key) {
            INPUT keys[2] = {};
            keys[0].type = keys[1].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = keys[1].ki.wVk = c.key;
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            SendInput(2, keys, sizeof(INPUT));
            pumpIdle();
        }
        realLeftButton(false);
        std::vector<std::string> tail(log.end() - static_cast<long>(c.tail.size()), log.end());
        EXPECT_EQ(tail, c.tail);
        for (const std::string& line : log) EXPECT_EQ(line.rfind("drop", 0), std::string::npos);
        EXPECT_EQ(GetCapture(), nullptr);
    }

    dragToTarget();
    delete source;  // mid-drag
    source = nullptr;
    realLeftButton(false);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Dragging, AnAutomaticDragTakesThePressItself) {
    source->DragMode = dmAutomatic;
    realMoveTo(screenPointOf(source, 5, 5));
    realLeftButton(true);
    EXPECT_TRUE(source->Dragging()) << "started at the press, no threshold";
    realMoveTo(screenPointOf(target, 40, 2));
    realLeftButton(false);
    EXPECT_EQ(log, (std::vector<std::string>{"start", "over enter 40,2", "over leave", "drop 40,2",
                                             "end target 40,2"}))
        << "no press events and no click";
}

}  // namespace
