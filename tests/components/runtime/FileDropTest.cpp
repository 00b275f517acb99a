// The file-drop target on a real form: a DROPFILES block posted as the shell
// posts it, long and non-ASCII names, the case rules, who frees the handle,
// and the window's drop registration following the component.
#include "components/runtime/QCLFMDrop.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// A drop handle built the way the shell builds one: ANSI names after the
// header, each with its terminator, and one more terminator at the end.
HDROP makeDrop(const std::vector<std::string>& names, POINT at) {
    size_t bytes = sizeof(DROPFILES) + 1;
    for (const auto& n : names)
        bytes += n.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fNC = FALSE;
    header->fWide = FALSE;
    char* out = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
    for (const auto& n : names) {
        memcpy(out, n.c_str(), n.size() + 1);
        out += n.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool handleFreed(HDROP drop) { return GlobalSize(drop) == 0; }

// A borderless form that counts the drops reaching its own procedure.
class TDropForm : public TForm {
public:
    using TForm::TForm;
    void WndProc(TMessage& m) override {
        if (m.Msg == WM_DROPFILES)
            ++drops;
        TForm::WndProc(m);
    }
    int drops = 0;
};

struct Seen {
    int calls = 0, fcount = 0, x = 0, y = 0;
    std::vector<std::string> names;
    TObject* sender = nullptr;
};

class FileDropTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = MakeForm<TDropForm>(nullptr);
        form->BorderStyle = bsNone;
        form->SetBounds(20, 20, 120, 80);
        form->HandleNeeded();
        drop = new TQCLFMDrop(nullptr);
        drop->Control = form;
    }
    void TearDown() override {
        if (drop)
            drop->Free();
        form->Free();
    }
    void listen() {
        drop->OnFMDragDrop = [this](TObject* sender, int fcount, int x, int y, TStringList* list) {
            ++seen.calls;
            seen.sender = sender;
            seen.fcount = fcount;
            seen.x = x;
            seen.y = y;
            for (int i = 0; i < list->Count; ++i)
                seen.names.push_back((*list)[i]);
        };
    }
    // Posted and delivered through the message loop, as a real drop arrives.
    void deliver(HDROP handle) {
        PostMessageA(form->Handle, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    bool accepts() const { return (GetWindowLongA(form->Handle, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

    TDropForm* form = nullptr;
    TQCLFMDrop* drop = nullptr;
    Seen seen;
};

TEST_F(FileDropTest, HandledDropReportsShortNamesCountsAllAndFreesTheHandleOnce) {
    listen();
    const std::string longest = "C:\\" + std::string(293, 'a') + ".txt";   // 300 characters: skipped
    const std::string fits = "C:\\" + std::string(250, 'b') + ".dat";      // 257 characters: arrives
    const std::string accented = "c:\\data\\\xE4.txt";
    ASSERT_EQ(longest.size(), 300u);
    ASSERT_EQ(fits.size(), 257u);
    HDROP handle = makeDrop({longest, fits, accented}, POINT{17, 23});

    deliver(handle);

    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.sender, drop);
    EXPECT_EQ(seen.fcount, 3);
    EXPECT_EQ(seen.names, (std::vector<std::string>{fits, accented}));
    EXPECT_EQ(seen.x, 17);
    EXPECT_EQ(seen.y, 23);
    EXPECT_EQ(form->drops, 0) << "a handled drop is not passed on";
    EXPECT_TRUE(handleFreed(handle));
}

TEST_F(FileDropTest, CaseChangesTouchAsciiLettersOnly) {
    const struct {
        TQCLCharCase charCase;
        const char* expected;
    } cases[] = {
        {ccNormal, "c:\\Data\\\xE4\xC4.txt"},
        {ccUpperCase, "C:\\DATA\\\xE4\xC4.TXT"},
        {ccLowerCase, "c:\\data\\\xE4\xC4.txt"},
    };
    listen();
    for (const auto& c : cases) {
        seen = Seen{};
        drop->CharCase = c.charCase;
        HDROP handle = makeDrop({"c:\\Data\\\xE4\xC4.txt"}, POINT{1, 1});
        deliver(handle);
        ASSERT_EQ(seen.names.size(), 1u) << c.charCase;
        EXPECT_EQ(seen.names[0], c.expected) << c.charCase;
        EXPECT_TRUE(handleFreed(handle));
    }
}

TEST_F(FileDropTest, UnhandledDropReachesTheFormUntouched) {
    HDROP handle = makeDrop({"c:\\one.txt"}, POINT{5, 5});
    deliver(handle);
    EXPECT_EQ(form->drops, 1);
    EXPECT_FALSE(handleFreed(handle)) << "the form's own procedure owns an unhandled drop";
    EXPECT_EQ(DragQueryFileA(handle, 0xFFFFFFFF, nullptr, 0), 1u);
    DragFinish(handle);
}

TEST_F(FileDropTest, RegistrationFollowsEnabledControlAndTheComponentsLife) {
    EXPECT_TRUE(accepts()) << "registered when the control is set";
    drop->Enabled = false;
    EXPECT_FALSE(accepts());
    drop->Enabled = true;
    EXPECT_TRUE(accepts());
    drop->Control = nullptr;
    EXPECT_FALSE(accepts());
    drop->Control = form;
    EXPECT_TRUE(accepts());
    drop->Free();
    drop = nullptr;
    EXPECT_FALSE(accepts()) << "freeing the component withdraws the registration";

    // The window is no drop target any more: a late drop reaches it unread.
    HDROP handle = makeDrop({"c:\\late.txt"}, POINT{1, 1});
    deliver(handle);
    EXPECT_EQ(form->drops, 1);
    DragFinish(handle);
}

}  // namespace
