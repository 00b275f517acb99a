// Window placement as pure functions and on a real window, the message
// wait, the text forms of rectangles, points and fonts with bad input, list
// splitting, divisors, custom colours in INI files and the registry, and the
// storage component's point, rectangle and font values.
#include "components/runtime/QCLIniCtrl.h"
#include "components/runtime/Qclutils.h"

#include "tests/components/runtime/DrawingTestSupport.h"
#include "tests/support/RegistryFixture.h"
#include "tests/support/TempFolder.h"

#include "framework/IniFiles.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

namespace {

const char kTestKey[] = "software\\Quarrendel\\RuntimeTest";

TEST(WindowPlacement, PositionsInTheTargetKeptOnTheScreen) {
    const TRect work(0, 0, 800, 570);
    struct Case { TRect target; TQCLDlgPosition position; TPoint at; } cases[] = {
        {work, bpBottomRight, {600, 470}}, {work, bpTopLeft, {0, 0}},     {work, bpCustom, {0, 0}},
        {work, bpTopCenter, {300, 0}},     {work, bpTopRight, {600, 0}},  {work, bpCenterLeft, {0, 235}},
        {work, bpCenter, {300, 235}},      {work, bpCenterRight, {600, 235}}, {work, bpBottomLeft, {0, 470}},
        {work, bpBottomCenter, {300, 470}},
        {{100, 100, 301, 201}, bpCenter, {100, 100}},             // halves truncate
        {{700, 550, 900, 650}, bpTopLeft, {700, 550}},            // reaches below and beyond: far edges of the target
        {{-50, -40, 100, 60}, bpTopLeft, {0, 0}},                 // never negative
        {{900, 700, 1000, 760}, bpCustom, {800, 660}},            // beyond the screen: target's right and bottom
    };
    for (const auto& c : cases)
        EXPECT_EQ(QCLCalcWindowPosition(c.target, c.position, 200, 100, 1024, 768), c.at)
            << int(c.position) << " in " << c.target.Left;
}

TEST(WindowPlacement, CentringOnTheScreen) {
    struct Case { int w, h; bool upper; TPoint at; } cases[] = {
        {200, 150, true, {300, 150}}, {200, 150, false, {300, 225}}, {1000, 700, false, {-200, -100}},
    };
    for (const auto& c : cases) EXPECT_EQ(QCLCalcCenterWindow(c.w, c.h, 800, 600, c.upper), c.at) << c.w;
}

TEST(WindowPlacement, ARealWindowMovesWithoutChangingItsSize) {
    TForm* form = new TForm(nullptr);
    form->SetBounds(10, 10, 200, 100);
    form->HandleNeeded();
    const TRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const TRect target(0, 0, std::min(800, screen.Right), std::min(570, screen.Bottom));
    RECT before = {};
    GetWindowRect(form->GetHandle(), &before);
    const int w = before.right - before.left, h = before.bottom - before.top;
    QCLPositionWindow(form->GetHandle(), target, bpBottomRight);
    RECT after = {};
    GetWindowRect(form->GetHandle(), &after);
    const TPoint expected = QCLCalcWindowPosition(target, bpBottomRight, w, h, screen.Right, screen.Bottom);
    EXPECT_EQ(TPoint(after.left, after.top), expected);
    EXPECT_EQ(after.right - after.left, w);
    EXPECT_EQ(QCLDlgGetTargetRect(brScreen), screen);
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(QCLDlgGetTargetRect(brScreenWorkArea), TRect(work));
    // The explode animation only draws focus rectangles and gives back the screen DC.
    drawtest::GdiGuard guard;
    QCLExplodeFormExt(form, 5, 5, 4, 1);
    QCLExplodeFormExt2(form, 5, 5, 4, 20, 10, 1, true);
    EXPECT_EQ(guard.leaked(), 0);
    EXPECT_TRUE(QCLIsChild(form, form));
    EXPECT_FALSE(QCLIsChild(nullptr, form));
    form->Free();
}

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 7) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(WindowPlacement, WaitProcessesMessagesAndStopsWhenTheApplicationEnds) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = countingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DrawingWaitTest";
    RegisterClassA(&wc);
    HWND window = CreateWindowA("DrawingWaitTest", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    int received = 0;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
    const DWORD start = GetTickCount();
    QCLWait(0);
    EXPECT_LT(GetTickCount() - start, 50u);
    PostMessageA(window, WM_USER + 7, 0, 0);
    QCLWait(30);
    EXPECT_EQ(received, 1);
    Application->Terminate();
    QCLWait(600000);  // returns at once: the application is ending
    Application->ResetTerminatedForTesting();
    DestroyWindow(window);
}

TEST(TextForms, RectanglesPointsAndTheirBadInput) {
    EXPECT_EQ(QCLRectToString(TRect(0, 0, 100, 50)), "0,0,100,50");
    EXPECT_EQ(QCLPointToString(TPoint(3, 4)), "[3,4]");
    EXPECT_EQ(QCLPointToString(TPoint(-3, 40)), "[-3,40]");
    struct RectCase { const char* text; TRect r; } rects[] = {
        {"1,2,3", {0, 0, 0, 0}}, {"1,2,3,x", {1, 2, 3, 0}}, {"-1,2,30,40", {-1, 2, 30, 40}},
        {"1,2,3,4,5", {0, 0, 0, 0}}, {"", {0, 0, 0, 0}},
    };
    for (const auto& c : rects) EXPECT_EQ(QCLStringToRect(c.text), c.r) << c.text;
    struct PointCase { const char* text; TPoint p; } points[] = {
        {"[3,4]", {3, 4}}, {"[-3, 40]", {-3, 40}}, {"3,4", {3, 4}}, {",4", {0, 0}}, {"3,", {0, 0}},
        {"[a,7]", {0, 7}}, {"", {0, 0}}, {"[12]", {0, 0}},
    };
    for (const auto& c : points) EXPECT_EQ(QCLStringToPoint(c.text), c.p) << c.text;
    for (TPoint p : {TPoint(0, 0), TPoint(-5, 7), TPoint(65535, -32768)})
        EXPECT_EQ(QCLStringToPoint(QCLPointToString(p)), p);
}

TEST(TextForms, FontsRoundTripAndBadFieldsLeaveTheFontAlone) {
    TFont font;
    font.SetName("MS Sans Serif");
    font.SetSize(8);
    font.SetColor(clBlack);
    font.SetStyle({fsBold});
    EXPECT_EQ(QCLFontToString(&font), "MS Sans Serif,8,clBlack,1,0,0,0");
    TFont back;
    QCLStringToFont("Arial,12,$00123456,0,1,1,256", &back);
    EXPECT_EQ(back.GetName(), "Arial");
    EXPECT_EQ(back.GetSize(), 12);
    EXPECT_EQ(back.GetColor(), 0x123456);
    EXPECT_EQ(back.GetStyle(), (TFontStyles{fsItalic, fsUnderline}));  // 256 has no low bits set
    QCLStringToFont(QCLFontToString(&font), &back);
    EXPECT_EQ(QCLFontToString(&back), QCLFontToString(&font));
    QCLStringToFont("Arial,x,clRed,0,0,0,0", &back);  // a size that is no number reads 10
    EXPECT_EQ(back.GetSize(), 10);

    const AnsiString before = QCLFontToString(&font);
    QCLStringToFont("Arial,12,clRed,0,0,0", &font);  // 6 fields
    EXPECT_EQ(QCLFontToString(&font), before);
    EXPECT_THROW(QCLStringToFont("Arial,12,clRed,0,x,0,0", &font), EConvertError);
    EXPECT_EQ(QCLFontToString(&font), before);
    EXPECT_THROW(QCLStringToFont("Arial,12,notacolour,0,0,0,0", &font), EConvertError);
    EXPECT_EQ(QCLFontToString(&font), before);
}

TEST(TextForms, SplittingAndDivisors) {
    struct Split { const char* text; std::vector<std::string> fields; } splits[] = {
        {"a,,b", {"a", "", "b"}}, {"a,", {"a"}}, {"", {}}, {",a", {"", "a"}}, {"abc", {"abc"}},
    };
    for (const auto& c : splits) {
        TStringList list;
        list.Add("old");
        QCLParseToStrList(c.text, ',', &list);
        std::vector<std::string> got;
        for (int i = 0; i < list.Count(); ++i) got.push_back(list.Get(i));
        EXPECT_EQ(got, c.fields) << c.text;
    }
    struct Divisors { int n; const char* text; } divisors[] = {
        {12, "1\r\n2\r\n3\r\n4\r\n6\r\n12\r\n"}, {2, "1\r\n2\r\n"}, {1, ""}, {0, ""}, {-6, ""},
        {49, "1\r\n7\r\n49\r\n"}, {13, "1\r\n13\r\n"},
    };
    for (const auto& c : divisors) {
        TStringList list;
        list.Add("old");
        QCLGetDivider(&list, c.n);
        EXPECT_EQ(list.Text(), c.text) << c.n;
    }
}

class CustomColours : public brimtest::FreshRegistry {};

TEST_F(CustomColours, RoundTripThroughAnIniFileAndARegistryKey) {
    TStringList colours;
    colours.Add("ColorA=FFFFFF");
    colours.Add("no equals sign");
    colours.Add("ColorB=00FF00");
    brimtest::TempFolder folder;
    const std::string file = folder.file("colours.ini");
    QCLSaveCustomColorToIniFile(file, "Custom Colors", &colours);
    TStringList back;
    back.Add("stale");
    QCLLoadCustomColorFromIniFile(file, "Custom Colors", &back);
    EXPECT_EQ(back.Text(), "ColorA=FFFFFF\r\nColorB=00FF00\r\n");

    {
        TRegIniFile registry(kTestKey);
        QCLSaveCustomColorList(&registry, "Colours", &colours);
    }
    TRegIniFile registry(kTestKey);
    TStringList fromRegistry;
    QCLLoadCustomColorList(&registry, "Colours", &fromRegistry);
    EXPECT_EQ(fromRegistry.GetValue("ColorA"), "FFFFFF");
    EXPECT_EQ(fromRegistry.GetValue("ColorB"), "00FF00");
    EXPECT_EQ(fromRegistry.Count(), 2);

    TStringList untouched;
    untouched.Add("keep");
    TStringList other;
    QCLLoadCustomColorList(&other, "Colours", &untouched);  // neither kind of INI object
    EXPECT_EQ(untouched.Text(), "keep\r\n");
}

TEST_F(CustomColours, StorageComponentKeepsPointsRectanglesAndFonts) {
    brimtest::TempFolder folder;
    for (TQCLIniTarget target : {itIniFile, itRegistry}) {
        TQCLIniCtrl ini(nullptr);
        ini.RegPath = kTestKey;
        ini.Target = target;
        ini.IniFile = folder.file("store.ini");
        ini.IniPrefix = ppFixed;
        ini.WritePoint("Window", "Pos", TPoint(-4, 9));
        ini.WriteRect("Window", "Bounds", TRect(1, 2, 300, 400));
        TFont font;
        font.SetName("Arial");
        font.SetSize(14);
        font.SetStyle({fsUnderline});
        ini.WriteFont("Window", "Font", &font);
        EXPECT_EQ(ini.ReadPoint("Window", "Pos", TPoint(1, 1)), TPoint(-4, 9)) << int(target);
        EXPECT_EQ(ini.ReadPoint("Window", "Missing", TPoint(5, 6)), TPoint(5, 6)) << int(target);
        EXPECT_EQ(ini.ReadRect("Window", "Bounds", TRect()), TRect(1, 2, 300, 400)) << int(target);
        EXPECT_EQ(ini.ReadRect("Window", "Missing", TRect(7, 8, 9, 10)), TRect(7, 8, 9, 10)) << int(target);
        TFont back;
        EXPECT_TRUE(ini.ReadFont("Window", "Font", &back)) << int(target);
        EXPECT_EQ(QCLFontToString(&back), QCLFontToString(&font)) << int(target);
        EXPECT_FALSE(ini.ReadFont("Window", "NoFont", &back)) << int(target);
        ini.WriteString("Window", "Broken", "Arial,14,clRed,1,zz,0,0");
        EXPECT_THROW(ini.ReadFont("Window", "Broken", &back), EConvertError) << int(target);
        EXPECT_EQ(QCLFontToString(&back), QCLFontToString(&font)) << int(target);
    }
}

}  // namespace
