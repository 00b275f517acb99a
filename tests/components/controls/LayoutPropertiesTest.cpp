// The layout (stream) properties the library controls define themselves: the
// multimedia button's face list, face indices and transparent colour written
// and read back, the older layouts' seven-state records and colour read into
// the right states and never written, and records of a wrong size ignored;
// the list box's item height (only for an owner-drawn style) and its older
// header sections; the shape button's older clip flag read and dropped.
#include "components/controls/QCLListBox.h"
#include "components/controls/QCLMMButton.h"
#include "components/controls/QCLShapeButton.h"
#include "components/runtime/qclcont.h"
#include "tests/components/controls/ControlsBaseFixture.h"

#include <string>
#include <vector>

using namespace ctltest;

namespace {

std::string bytesOf(TPersistent* instance) {
    TMemoryStream stream;
    WriteDefinedProperties(&stream, instance);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.GetSize()));
}

void readInto(const std::string& bytes, TPersistent* instance) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    stream.SetPosition(0);
    ReadDefinedProperties(&stream, instance);
}

std::vector<int32_t> ints(std::initializer_list<int32_t> values) { return std::vector<int32_t>(values); }

// What an older layout held: binary properties by name, and optionally the
// clip flag and a list of header-section strings.
class TOlderLayout : public TPersistent {
public:
    std::vector<std::pair<AnsiString, std::vector<int32_t>>> properties;
    bool captionClip = false;
    std::vector<std::string> sections;
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineProperty("CaptionClip", TReaderProc(),
                              TWriterProc([](TWriter* writer) { writer->WriteBoolean(true); }), captionClip);
        Filer->DefineProperty("Sections", TReaderProc(), TWriterProc([this](TWriter* writer) {
                                  writer->WriteListBegin();
                                  for (const std::string& entry : sections) writer->WriteString(entry);
                                  writer->WriteListEnd();
                              }),
                              !sections.empty());
        for (auto& p : properties) {
            const std::vector<int32_t>& values = p.second;
            Filer->DefineBinaryProperty(
                p.first, TStreamProc(),
                TStreamProc([&values](TStream* s) { s->WriteBuffer(values.data(), static_cast<int>(4 * values.size())); }),
                true);
        }
    }
};

using LayoutPropertiesTest = ControlsBaseTest;

TEST_F(LayoutPropertiesTest, MultimediaFacesAndColourRoundTripAndTheListOnlyWhenGlobal) {
    auto* button = new TQCLMMButton(form);
    for (int s = 0; s < 8; ++s)
        button->SetButtonFaceIndex(static_cast<TQCLButtonState>(s), QCLFaceIndex(s + 1, 10 * s - 1));
    auto* own = new TQCLBitmapList(form);
    button->SetButtonFaceImageList(own);
    const std::string withOwnList = bytesOf(button);
    button->SetButtonFaceImageList(QCLGlobalContainer->GetBitmapList());
    const std::string withGlobalList = bytesOf(button);
    EXPECT_GT(withGlobalList.size(), withOwnList.size()) << "only a global list is named";
    for (const char* legacy : {"\x11" "ButtonFaceIndices", "\x14" "ButtonFaceIndicesNew", "\x12" "ButtonFaceTransCol"})
        EXPECT_EQ(withGlobalList.find(legacy), std::string::npos) << legacy + 1 << " is never written";

    auto* copy = new TQCLMMButton(form);
    readInto(withGlobalList, copy);
    EXPECT_EQ(copy->GetButtonFaceImageList(), QCLGlobalContainer->GetBitmapList());
    EXPECT_EQ(copy->GetTransparentColor(), button->GetTransparentColor());
    for (int s = 0; s < 8; ++s) {
        TQCLFaceIndex f = copy->GetButtonFaceIndex(static_cast<TQCLButtonState>(s));
        EXPECT_EQ(f.ListIndex, s + 1) << s;
        EXPECT_EQ(f.ImageIndex, 10 * s - 1) << s;
    }
    copy->SetButtonFaceImageList(nullptr);
    button->SetButtonFaceImageList(nullptr);
}

TEST_F(LayoutPropertiesTest, OlderLayoutsFillTheirSevenStatesAndAWrongSizeChangesNothing) {
    struct Case {
        const char* what;
        AnsiString name;
        std::vector<int32_t> values;
        std::vector<TQCLFaceIndex> expected;  // states 0..6; empty: untouched
    } cases[] = {
        {"pairs, list index first", "ButtonFaceIndices",
         ints({1, 10, 2, 20, 3, 30, 4, 40, 5, 50, 6, 60, 7, 70}),
         {{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}, {6, 60}, {7, 70}}},
        {"seven list indices, then seven image indices", "ButtonFaceIndicesNew",
         ints({1, 2, 3, 4, 5, 6, 7, 10, 20, 30, 40, 50, 60, 70}),
         {{1, 10}, {2, 20}, {3, 30}, {4, 40}, {5, 50}, {6, 60}, {7, 70}}},
        {"a short record", "ButtonFaceIndices", ints({1, 10, 2, 20}), {}},
        {"a current record of the wrong size", "ButtonFaceIndicesNew2", ints({1, 2, 3}), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TOlderLayout older;
        older.properties.push_back({c.name, c.values});
        older.properties.push_back({"ButtonFaceTransCol", ints({0x00FF00FF})});
        auto* button = new TQCLMMButton(form);
        button->SetButtonFaceIndex(bsDisabledDown, QCLFaceIndex(-7, -7));
        button->SetButtonFaceIndex(bsUp, QCLFaceIndex(-5, -5));
        readInto(bytesOf(&older), button);
        EXPECT_EQ(button->GetTransparentColor(), TColor(0x00FF00FF));
        if (c.expected.empty()) {
            EXPECT_EQ(button->GetButtonFaceIndex(bsUp).ListIndex, -5);
        } else {
            for (int s = 0; s < 7; ++s) {
                EXPECT_EQ(button->GetButtonFaceIndex(static_cast<TQCLButtonState>(s)).ListIndex, c.expected[s].ListIndex);
                EXPECT_EQ(button->GetButtonFaceIndex(static_cast<TQCLButtonState>(s)).ImageIndex, c.expected[s].ImageIndex);
            }
        }
        EXPECT_EQ(button->GetButtonFaceIndex(bsDisabledDown).ListIndex, -7) << "the eighth state is not in older layouts";
        button->Free();
    }
}

TEST_F(LayoutPropertiesTest, ListBoxItemHeightOnlyForOwnerDrawnAndOlderSectionsRead) {
    struct Case {
        TListBoxStyle style;
        bool written;
    } cases[] = {{lbStandard, false}, {lbOwnerDrawFixed, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TLoadingGuard guard;
        auto* list = new TQCLListBox(form);
        list->SetParent(form);
        list->SetListBoxStyle(lbOwnerDrawFixed);
        list->SetInteger(4, 31);
        list->SetListBoxStyle(c.style);
        const std::string bytes = bytesOf(list);
        EXPECT_EQ(bytes.find("\x0A" "ItemHeight") != std::string::npos, c.written);
        auto* copy = new TQCLListBox(form);
        copy->SetParent(form);
        copy->SetListBoxStyle(c.style);
        readInto(bytes, copy);
        guard.Finish();
        if (c.written) {
            EXPECT_EQ(copy->GetInteger(4), 31);
        }
    }

    // An older layout's header: a NUL, the width and a NUL before the caption, or the caption alone.
    TOlderLayout older;
    older.sections = {std::string("\0" "120\0" "Name", 9), "Notes"};
    TLoadingGuard guard;
    auto* list = new TQCLListBox(form);
    list->SetParent(form);
    const int before = list->GetHeaderSections()->GetCount();
    readInto(bytesOf(&older), list);
    guard.Finish();
    ASSERT_EQ(list->GetHeaderSections()->GetCount(), before + 2);
    EXPECT_EQ(list->GetHeaderSections()->GetItem(before)->GetText(), "Name");
    EXPECT_EQ(list->GetHeaderSections()->GetItem(before)->GetWidth(), 121);
    EXPECT_EQ(list->GetHeaderSections()->GetItem(before + 1)->GetText(), "Notes");
    EXPECT_EQ(list->GetHeaderSections()->GetItem(before + 1)->GetWidth(), 76);
    EXPECT_EQ(bytesOf(list).find("Sections"), std::string::npos) << "never written";
}

TEST_F(LayoutPropertiesTest, ShapeButtonReadsTheOlderClipFlagAndWritesNone) {
    TOlderLayout older;
    older.captionClip = true;
    auto* shape = new TQCLShapeButton(form);
    EXPECT_NO_THROW(readInto(bytesOf(&older), shape));
    EXPECT_EQ(bytesOf(shape).find("CaptionClip"), std::string::npos);
}

}  // namespace
