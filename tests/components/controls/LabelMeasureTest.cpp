// A label's measured size agrees with the size auto size gives it: built
// inside a loading bracket (as forms build theirs), MeasuredSize gives at
// once what the label takes at Loaded, for texts with the "&&" escape, texts
// that wrap and texts that do not, so code laying out below a label it has
// just built places its controls under the last line.
#include "components/controls/QCLSimpleLabel.h"
#include "components/runtime/qclclass.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <string>

using namespace ctltest;

namespace {

class LabelMeasureTest : public ControlsBaseTest {};

TEST_F(LabelMeasureTest, MeasuredSizeInsideABracketIsTheSizeAutoSizeGivesAtLoaded) {
    const AnsiString escaped = "Back up && Restore your vault and the key used to protect it.";
    const AnsiString plain = "Change the password used to protect your vault.";
    struct Case {
        AnsiString text;
        int width;  // 0: wide enough for one line
        bool wraps;
    } cases[] = {
        {escaped, 0, false}, {escaped, -40, true}, {plain, 0, false}, {plain, -40, true}, {"A && B", 0, false},
    };
    int oneLine = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at " + std::to_string(c.width));
        TQCLSimpleLabel* label;
        TSize early{};
        {
            TLoadingGuard guard;
            label = new TQCLSimpleLabel(form);
            label->Parent = form;
            label->Transparent = true;
            label->Font->Height = -13;
            label->MultiLine = true;
            label->AutoSize = true;
            label->SetBounds(10, 10, 2000, 10);
            label->Caption = c.text;
            // The one-line width of this text, then the width the case asks for.
            TSize wide = label->MeasuredSize();
            if (c.width == 0) oneLine = wide.cy;
            label->Width = c.width == 0 ? wide.cx : wide.cx + c.width;
            EXPECT_EQ(label->Height(), 10) << "nothing is sized while loading";
            early = label->MeasuredSize();
            guard.Finish();
        }
        EXPECT_EQ(label->Width(), early.cx);
        EXPECT_EQ(label->Height(), early.cy);
        if (c.wraps) EXPECT_GT(early.cy, oneLine + oneLine / 2) << "two lines";
        else EXPECT_EQ(early.cy, oneLine) << "one line";
        label->Free();
    }
}

}  // namespace
