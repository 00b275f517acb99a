// The stream properties the controls define themselves: "Internal" naming a
// global container list (both roots), and the label's older "UseAsJump"
// flag, read but never written.
#include "components/controls/QCLSimpleLabel.h"
#include "components/runtime/qclcont.h"
#include "tests/components/controls/ControlsBaseFixture.h"

using namespace ctltest;

namespace {

// Writes what an older layout held for a link label.
class TOlderLabelLayout : public TPersistent {
public:
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineProperty(
            "UseAsJump", TReaderProc(), TWriterProc([](TWriter* writer) { writer->WriteBoolean(true); }), true);
    }
};

int opened = 0;
HINSTANCE fakeShell(HWND, const AnsiString&) {
    ++opened;
    return reinterpret_cast<HINSTANCE>(42);
}

int64_t streamed(TPersistent* instance) {
    TMemoryStream stream;
    WriteDefinedProperties(&stream, instance);
    return stream.GetSize();
}

}  // namespace

using StreamPropertiesTest = ControlsBaseTest;

TEST_F(StreamPropertiesTest, InternalNamesAGlobalListAndReadsItBack) {
    TQCLCustomImageList* global = QCLGlobalContainer->GetBitmapList();
    auto* own = new TQCLBitmapList(form);
    auto* graphic = new TQCLSimpleLabel(form);
    auto* windowed = new TQCLCustomControl(form);
    const int64_t nothing = streamed(graphic);
    for (TPersistent* control : {static_cast<TPersistent*>(graphic), static_cast<TPersistent*>(windowed)}) {
        auto setList = [&](TQCLCustomImageList* list) {
            if (auto* g = dynamic_cast<TQCLBaseControl*>(control)) g->SetImageList(list);
            else static_cast<TQCLCustomControl*>(control)->SetImageList(list);
        };
        setList(own);
        EXPECT_EQ(streamed(control), nothing) << "a list of the form is no global list";
        setList(global);
        TMemoryStream stream;
        WriteDefinedProperties(&stream, control);
        EXPECT_GT(stream.GetSize(), nothing);

        TLoadingGuard guard;
        auto* copyGraphic = new TQCLSimpleLabel(form);
        auto* copyWindowed = new TQCLCustomControl(form);
        stream.SetPosition(0);
        if (dynamic_cast<TQCLBaseControl*>(control)) {
            ReadDefinedProperties(&stream, copyGraphic);
            guard.Finish();
            EXPECT_EQ(copyGraphic->GetImageList(), global);
        } else {
            ReadDefinedProperties(&stream, copyWindowed);
            guard.Finish();
            EXPECT_EQ(copyWindowed->GetImageList(), global);
        }
    }
}

TEST_F(StreamPropertiesTest, OlderJumpFlagMakesAnInternetLinkWithoutItsSetterEffects) {
    TOlderLabelLayout older;
    TMemoryStream stream;
    WriteDefinedProperties(&stream, &older);

    TLoadingGuard guard;
    auto* label = new TQCLSimpleLabel(form);
    label->SetParent(form);
    label->GetFont()->SetColor(clGreen);
    stream.SetPosition(0);
    ReadDefinedProperties(&stream, label);
    guard.Finish();
    EXPECT_TRUE(label->LegacyJump());
    EXPECT_EQ(label->GetJumpMode(), jmInternet);
    EXPECT_EQ(label->GetFont()->GetColor(), clGreen) << "no setter ran";
    EXPECT_EQ(label->GetCursor(), crDefault);

    // Such a label takes the inactive colour from its setter and on release,
    // and its underline from JumpUnderline.
    label->SetInActiveColor(clNavy);
    EXPECT_EQ(label->GetFont()->GetColor(), clNavy);
    label->SetJumpUnderline(true);
    EXPECT_TRUE(label->GetFont()->GetStyle().Contains(fsUnderline));
    TQCLShellOpenFunc previous = QCLSetLabelShellOpenForTesting(&fakeShell);
    opened = 0;
    label->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(label->GetFont()->GetColor(), clPurple);
    label->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    QCLSetLabelShellOpenForTesting(previous);
    EXPECT_EQ(label->GetFont()->GetColor(), clNavy);
    EXPECT_EQ(opened, 1);

    // The flag is never written back.
    EXPECT_EQ(streamed(label), streamed(new TQCLSimpleLabel(form)));
}
