// Window placement, the explode animations, small form helpers, the text
// forms of rectangles, points and fonts, and custom-colour lists in INI
// files.
#include "components/runtime/Qclutils.h"

#include "components/runtime/qclclass.h"
#include "components/runtime/qclstrings.h"

#include "framework/IniFiles.h"
#include "framework/Registry.h"
#include "framework/SysUtils.h"
#include "framework/Win32Handles.h"

#include <algorithm>
#include <memory>
#include <set>

namespace {

int screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

TRect windowRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return TRect(r);
}

void moveWindow(HWND window, const TPoint& p) {
    SetWindowPos(window, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

TRect QCLDlgGetTargetRect(TQCLDlgPosRel Target) {
    TCustomForm* form = nullptr;
    switch (Target) {
    case brScreenWorkArea: {
        RECT work = {};
        if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return TRect(work);
        break;
    }
    case brMainForm: form = Application ? Application->GetMainForm() : nullptr; break;
    case brActiveWindow: form = Screen ? Screen->GetActiveForm() : nullptr; break;
    default: break;
    }
    if (form) return form->BoundsRect();
    return TRect(0, 0, screenWidth(), screenHeight());
}

TPoint QCLCalcWindowPosition(const TRect& Target, TQCLDlgPosition Position, int Width, int Height, int ScreenWidth,
                             int ScreenHeight) {
    const int left = Target.Left, right = Target.Right - Width;
    const int top = Target.Top, bottom = Target.Bottom - Height;
    const int centreX = Target.Left + (Target.Width() - Width) / 2;
    const int centreY = Target.Top + (Target.Height() - Height) / 2;
    TPoint p(left, top);
    switch (Position) {
    case bpTopCenter: p = {centreX, top}; break;
    case bpTopRight: p = {right, top}; break;
    case bpCenterLeft: p = {left, centreY}; break;
    case bpCenter: p = {centreX, centreY}; break;
    case bpCenterRight: p = {right, centreY}; break;
    case bpBottomLeft: p = {left, bottom}; break;
    case bpBottomCenter: p = {centreX, bottom}; break;
    case bpBottomRight: p = {right, bottom}; break;
    default: break;
    }
    if (p.y + Height > ScreenHeight) p.y = bottom;
    if (p.x + Width > ScreenWidth) p.x = right;
    p.x = std::max(p.x, 0);
    p.y = std::max(p.y, 0);
    return p;
}

void QCLPositionWindow(HWND Window, const TRect& Target, TQCLDlgPosition Position, bool) {
    if (!Window) return;
    const TRect r = windowRect(Window);
    moveWindow(Window, QCLCalcWindowPosition(Target, Position, r.Width(), r.Height(), screenWidth(), screenHeight()));
}

TPoint QCLCalcCenterWindow(int Width, int Height, int ScreenWidth, int ScreenHeight, bool Upper) {
    const int divisor = Upper ? 3 : 2;
    TPoint p((ScreenWidth - Width) / 2, (ScreenHeight - Height) / divisor);
    // The lesser bound wins when the window is larger than the screen.
    p.x = std::min(std::max(p.x, 0), ScreenWidth - Width);
    p.y = std::min(std::max(p.y, 0), ScreenHeight - Height);
    return p;
}

void QCLCenterWindow(HWND Window, bool Upper) {
    if (!Window) return;
    const TRect r = windowRect(Window);
    moveWindow(Window, QCLCalcCenterWindow(r.Width(), r.Height(), screenWidth(), screenHeight(), Upper));
}

void QCLCenterChildWindow(HWND Parent, HWND Child, bool) {
    if (!Child) return;
    const TRect parent = windowRect(Parent), child = windowRect(Child);
    TPoint p(parent.Left + (parent.Width() - child.Width()) / 2, parent.Top + (parent.Height() - child.Height()) / 2);
    if (p.x + child.Width() > screenWidth()) p.x = screenWidth() - child.Width();
    if (p.y + child.Height() > screenHeight()) p.y = screenHeight() - child.Height();
    if (p.y < 0) p.y = 0;
    moveWindow(Child, p);
}

int QCLCenterChild(TCustomForm* Parent, TCustomForm* Child, bool ShowModally) {
    if (!Parent || !Child) return 0;
    Child->SetPosition(poDefault);
    const TRect parent = Parent->BoundsRect(), child = Child->BoundsRect();
    TPoint p(parent.Left + (parent.Width() - child.Width()) / 2, parent.Top + (parent.Height() - child.Height()) / 2);
    if (p.x + child.Width() > screenWidth()) p.x = screenWidth() - child.Width();
    if (p.y + child.Height() > screenHeight()) p.y = screenHeight() - child.Height();
    Child->SetBounds(std::max(p.x, 0), std::max(p.y, 0), child.Width(), child.Height());
    return ShowModally ? Child->ShowModal() : 0;
}

void QCLCenterForm(TCustomForm* Form) {
    if (!Form) return;
    const TRect r = Form->BoundsRect();
    Form->SetBounds((screenWidth() - r.Width()) / 2, (screenHeight() - r.Height()) / 2, r.Width(), r.Height());
}

int QCLShowModal(const std::function<TCustomForm*(TComponent*)>& CreateForm, TComponent* Owner) {
    TCustomForm* form = CreateForm ? CreateForm(Owner) : nullptr;
    if (!form) return 0;
    struct Freer {
        TCustomForm* form;
        ~Freer() { form->Free(); }
    } freer{form};
    return form->ShowModal();
}

void QCLCheckFormSysMenu(TCustomForm* Form, TQCLSysMenuEntries Entries) {
    if (!Form) return;
    QCLCheckSystemMenu(Entries, GetSystemMenu(Form->GetHandle(), FALSE), false);
}

void QCLCheckApplicationSysMenu(TQCLSysMenuEntries Entries) {
    if (Application) QCLCheckSystemMenu(Entries, GetSystemMenu(Application->GetHandle(), FALSE), true);
}

void QCLActivatePrevInstance() {
    if (!QCLApplication || !QCLApplication->AnotherInstance() || !Application) return;
    const AnsiString title = Application->GetTitle();
    SetWindowTextA(Application->GetHandle(), "");
    HWND other = FindWindowA("TApplication", title.c_str());
    if (!other) return;
    if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
    else SetForegroundWindow(other);
}

void QCLWait(unsigned Milliseconds) {
    if (Milliseconds == 0 || !Application) return;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < Milliseconds && !Application->GetTerminated()) {
        Application->ProcessMessages();
        Sleep(1);
    }
}

bool QCLIsChild(TControl* Control, TControl* Parent) {
    for (TControl* c = Control; c; c = c->GetParent())
        if (c == Parent) return true;
    return false;
}

namespace {

// A pause the optimiser cannot remove: the counter is volatile.
void busyPause(int speed) {
    for (volatile long i = 0; i < static_cast<long>(speed) * 10000; i = i + 1) {
    }
}

void focusRect(HDC dc, int l, int t, int r, int b) {
    RECT rc = {l, t, r, b};
    DrawFocusRect(dc, &rc);
}

void cursorStart(int& x, int& y) {
    if (x >= 0) return;
    POINT cursor = {};
    GetCursorPos(&cursor);
    x = cursor.x;
    y = cursor.y;
}

}  // namespace

void QCLExplodeForm(TCustomForm* Form) {
    QCLExplodeFormExt(Form, -1, -1, 40, QCLApplication ? QCLApplication->ExplodeSpeed : 3);
}

void QCLExplodeFormExt(TCustomForm* Form, int X, int Y, int Steps, int Speed) {
    if (!Form) return;
    cursorStart(X, Y);
    if (Steps <= 3) Steps = 40;
    if (Speed < 1) Speed = 1;
    const TRect wr = windowRect(Form->GetHandle());
    const double s = Steps, dx = (wr.Left - X) / s, dy = (wr.Top - Y) / s, dw = wr.Width() / s, dh = wr.Height() / s;
    win32::WindowDC screen(nullptr);
    if (!screen.valid()) return;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 1; i <= Steps; ++i) {
            busyPause(Speed);
            const int left = static_cast<int>(X + i * dx), top = static_cast<int>(Y + i * dy);
            focusRect(screen.get(), left, top, static_cast<int>(left + i * dw), static_cast<int>(top + i * dh));
        }
}

void QCLExplodeForm2(TCustomForm* Form) {
    QCLExplodeFormExt2(Form, -1, -1, 40, 20, 10, QCLApplication ? QCLApplication->ExplodeSpeed : 3, true);
}

void QCLExplodeFormExt2(TCustomForm* Form, int X, int Y, int Steps, int BoxWidth, int BoxHeight, int Speed,
                        bool Flying) {
    if (!Form) return;
    cursorStart(X, Y);
    if (Steps <= 3) Steps = 40;
    if (Speed < 1) Speed = 1;
    const TRect wr = windowRect(Form->GetHandle());
    const double s = Steps;
    const int mx = X + (wr.Left - X) / 2;
    win32::WindowDC screen(nullptr);
    if (!screen.valid()) return;
    for (int pass = 0; pass < 2; ++pass) {
        if (Flying)
            for (int i = 1; i <= Steps; ++i) {
                busyPause(Speed);
                const int left = static_cast<int>(X + i * (mx - X) / s), top = static_cast<int>(Y + i * (wr.Bottom - Y) / s);
                focusRect(screen.get(), left, top, left + BoxWidth, top + BoxHeight);
            }
        for (int i = 1; i <= Steps; ++i) {
            busyPause(Speed);
            const int left = static_cast<int>(mx + i * (wr.Left - mx) / s);
            const int top = static_cast<int>(wr.Bottom + i * (wr.Top - wr.Bottom) / s);
            const int right = static_cast<int>(left + BoxWidth + i * (wr.Width() - BoxWidth) / s);
            const int bottom = static_cast<int>(top + BoxHeight + i * (wr.Height() - BoxHeight) / s);
            focusRect(screen.get(), left, top, right, bottom);
        }
    }
}

// ---------------------------------------------------------------------------
// Text forms

AnsiString QCLRectToString(const TRect& Rect) {
    const std::int32_t items[4] = {Rect.Left, Rect.Top, Rect.Right, Rect.Bottom};
    return QCLCodeInt(items, 3, ',');
}

TRect QCLStringToRect(const AnsiString& Text) {
    if (QCLGetCodedCount(Text, ',') != 4) return TRect(0, 0, 0, 0);
    int v[4];
    for (int i = 0; i < 4; ++i) v[i] = StrToIntDef(Trim(QCLGetCodedString(Text, ',', i)), 0);
    return TRect(v[0], v[1], v[2], v[3]);
}

AnsiString QCLPointToString(const TPoint& Point) { return Format("[%d,%d]", {Point.x, Point.y}); }

TPoint QCLStringToPoint(const AnsiString& Text) {
    const auto comma = Text.find(',');
    if (comma == AnsiString::npos || comma == 0 || comma + 1 >= Text.size()) return TPoint(0, 0);
    auto number = [](AnsiString part) {
        for (char& c : part)
            if (c == '[' || c == ']') c = ' ';
        return StrToIntDef(Trim(part), 0);
    };
    return TPoint(number(Text.substr(0, comma)), number(Text.substr(comma + 1)));
}

AnsiString QCLFontToString(TFont* Font) {
    if (!Font) return AnsiString();
    const TFontStyles style = Font->GetStyle();
    auto flag = [&](TFontStyle s) { return std::string(style.Contains(s) ? "1" : "0"); };
    const std::string items[7] = {Font->GetName(),   IntToStr(Font->GetSize()), ColorToString(Font->GetColor()),
                                  flag(fsBold),      flag(fsItalic),            flag(fsUnderline),
                                  flag(fsStrikeOut)};
    return QCLCodeString(items, 6, ',');
}

void QCLStringToFont(const AnsiString& Text, TFont* Font) {
    if (!Font || QCLGetCodedCount(Text, ',') != 7) return;
    // Every field is converted before the font changes.
    const AnsiString name = QCLGetCodedString(Text, ',', 0);
    const int size = StrToIntDef(Trim(QCLGetCodedString(Text, ',', 1)), 10);
    const TColor color = StringToColor(QCLGetCodedString(Text, ',', 2));
    TFontStyles style;
    const TFontStyle styles[4] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};
    for (int i = 0; i < 4; ++i)
        if (StrToInt(Trim(QCLGetCodedString(Text, ',', 3 + i))) & 0xFF) style << styles[i];
    Font->SetName(name);
    Font->SetSize(size);
    Font->SetColor(color);
    Font->SetStyle(style);
}

void QCLParseToStrList(const AnsiString& Text, char Delimiter, TStrings* Strings) {
    if (!Strings) return;
    Strings->Clear();
    size_t start = 0;
    for (size_t i = 0; i < Text.size(); ++i)
        if (Text[i] == Delimiter) {
            Strings->Add(Text.substr(start, i - start));
            start = i + 1;
        }
    if (start < Text.size()) Strings->Add(Text.substr(start));
}

void QCLGetDivider(TStrings* List, int Number) {
    if (!List) return;
    List->Clear();
    std::set<int> divisors;
    for (int i = 1; Number > 0 && i <= Number / 2; ++i) {
        if (Number % i == 0) {
            divisors.insert(i);
            divisors.insert(Number / i);
        }
        if (i >= Number / i) break;
    }
    for (int d : divisors) List->Add(IntToStr(d));
}

// ---------------------------------------------------------------------------
// Custom colours

void QCLLoadCustomColorList(TObject* Ini, const AnsiString& Section, TStrings* Strings) {
    if (!Strings) return;
    if (auto* file = dynamic_cast<TCustomIniFile*>(Ini)) {
        Strings->Clear();
        file->ReadSectionValues(Section, Strings);
    } else if (auto* registry = dynamic_cast<TRegIniFile*>(Ini)) {
        Strings->Clear();
        registry->ReadSectionValues(Section, Strings);
    }
}

void QCLSaveCustomColorList(TObject* Ini, const AnsiString& Section, TStrings* Strings) {
    if (!Strings) return;
    auto* file = dynamic_cast<TCustomIniFile*>(Ini);
    auto* registry = dynamic_cast<TRegIniFile*>(Ini);
    if (!file && !registry) return;
    for (int i = 0; i < Strings->Count(); ++i) {
        const AnsiString line = Strings->Get(i);
        const auto equals = line.find('=');
        if (equals == AnsiString::npos) continue;
        const AnsiString name = line.substr(0, equals);
        const AnsiString value = Strings->GetValue(name);
        if (file) file->WriteString(Section, name, value);
        else registry->WriteString(Section, name, value);
    }
}

void QCLLoadCustomColorFromIniFile(const AnsiString& FileName, const AnsiString& Section, TStrings* Strings) {
    TIniFile ini(FileName);
    QCLLoadCustomColorList(&ini, Section, Strings);
}

void QCLSaveCustomColorToIniFile(const AnsiString& FileName, const AnsiString& Section, TStrings* Strings) {
    TIniFile ini(FileName);
    QCLSaveCustomColorList(&ini, Section, Strings);
}

void QCLLoadDelphiCustomColor(TStrings* Strings) {
    QCLLoadCustomColorFromIniFile("DELPHI32.INI", "Custom Colors", Strings);
}

void QCLSaveDelphiCustomColor(TStrings* Strings) {
    QCLSaveCustomColorToIniFile("DELPHI32.INI", "Custom Colors", Strings);
}
