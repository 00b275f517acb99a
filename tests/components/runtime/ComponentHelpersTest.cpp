// Unique default names and the docking error of the library's components.
#include "qclbase.h"
#include "qclctrl.h"

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
