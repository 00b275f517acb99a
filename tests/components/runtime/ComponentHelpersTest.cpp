// Unique default names and the docking error of the library's components.
#include "components/runtime/qclbase.h"
#include "components/runtime/qclctrl.h"

#include <gtest/gtest.h>

namespace {

TEST(ComponentHelpers, UniqueNameSkipsNamesInAnyLetterCase) {
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    first->Name = "qclbrowsedlg1";
    EXPECT_EQ(QCLUniqueName("TQCLBrowseDlg", &owner), "QCLBrowseDlg2");
    EXPECT_EQ(QCLUniqueName("Panel", nullptr), "Panel1");
    EXPECT_EQ(QCLUniqueName("tiny", nullptr), "iny1");
    EXPECT_EQ(QCLUniqueName("Panel", &owner), "Panel1");
}

TEST(ComponentHelpers, DockErrorNamesBothComponents) {
    TComponent owner(nullptr);
    auto* label = new TComponent(&owner);
    label->Name = "Label1";
    auto* button = new TComponent(&owner);
    button->Name = "Button1";
    try {
        QCLRaiseDockError(label, button);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Component Label1:\rA TQCLDockLabel- or Button component was already attached to the "
                             "component: Button1\rOnly one QCLDockXXXX per control is allowed.");
    }
}

}  // namespace

#include "tests/components/runtime/FrameworkEnvironment.h"
#include "components/runtime/qclclass.h"

#include "framework/Forms.h"

namespace {

class TMarker : public TComponent {
public:
    using TComponent::TComponent;
};
class TMarkerChild : public TMarker {
public:
    using TMarker::TMarker;
};

TEST(ComponentHelpers, OneInstancePerForm) {
    TComponent plainOwner(nullptr);
    EXPECT_TRUE(QCLCheckForSameClass<TMarker>(&plainOwner, false));  // not a form
    EXPECT_TRUE(QCLCheckForSameClass<TMarker>(&plainOwner, true));   // no data modules here
    EXPECT_TRUE(QCLCheckForSameClass<TMarker>(nullptr, false));

    auto* form = MakeForm<TForm>(nullptr);
    new TMarker(form);
    EXPECT_FALSE(QCLCheckForSameClass<TMarker>(form, false));
    EXPECT_FALSE(QCLCheckForSameClass(form, nullptr, false));  // no class given
    new TMarkerChild(form);  // descendants count too
    EXPECT_TRUE(QCLCheckForSameClass<TMarker>(form, false));
    EXPECT_FALSE(QCLCheckForSameClass<TMarkerChild>(form, false));
    form->Free();
}

TEST(ComponentHelpers, CreateHandleMakesTheWindowNow) {
    auto* form = MakeForm<TForm>(nullptr);
    EXPECT_FALSE(form->HandleAllocated());
    QCLCreateHandle(form);
    EXPECT_TRUE(form->HandleAllocated());
    QCLCreateHandle(nullptr);
    form->Free();
}

TEST(ApplicationObject, HandCursorIsRegisteredWithTheScreen) {
    TQCLApplication app(nullptr);
    EXPECT_NE(Screen->GetCursors(-255), nullptr);
    EXPECT_NE(Screen->GetCursors(-255), Screen->GetCursors(0));
}

TEST(ApplicationObject, ExceptionHookMayCancelOrLogBeforeShowing) {
    TQCLApplication app(nullptr);
    Exception problem("broken");
    int asked = 0;
    app.OnException = [&](TObject* sender, Exception* e, bool& cancel) {
        ++asked;
        EXPECT_EQ(sender, &app);
        EXPECT_EQ(e, &problem);
        cancel = true;
    };
    reportedExceptions().clear();
    app.HandleException(&app, &problem);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(reportedExceptions().empty());  // cancelled: not shown
    EXPECT_EQ(app.GetDefaultRegPath(), "Software\\runtime_tests\\");
}

}  // namespace
