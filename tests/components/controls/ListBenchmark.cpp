/*
 * Benchmark (not a test): a visible five-section list box filled with 50,000
 * rows (or the count given as the first argument) by AddLine, repainted page
 * by page to the end, then cleared. Lines starting "result" are for
 * scripts/bench (name, milliseconds, 0).
 *
 * To show where the time goes, the same rows are also added to a bare system
 * list box of the same styles (no framework, no library) with one
 * LB_ADDSTRING each, and then reset: that is the floor the list box can
 * reach. The fill is measured twice: AddLine row by row as the record list
 * calls it, and inside BeginBulkAdd/EndBulkAdd.
 */
#include "components/controls/QCLListBox.h"

#include "components/runtime/qclclass.h"

#include "framework/Forms.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double lap() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        double ms = 1000.0 * static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
        start_ = now;
        return ms;
    }

private:
    LARGE_INTEGER frequency_, start_;
};

void result(const char* name, double ms) {
    std::printf("result %s %.2f 0\n", name, ms);
    std::fflush(stdout);
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::vector<std::string> rowFields(int i) {
    return {"Entry " + std::to_string(i), "user" + std::to_string(i % 977) + "@example.org",
            "https://site" + std::to_string(i % 311) + ".example.org/login", std::to_string(1000000 + i * 7),
            "note " + std::to_string(i)};
}

class HostForm : public TForm {
public:
    explicit HostForm(TComponent* owner) : TForm(owner) {
        BorderStyle = bsNone;
        SetBounds(0, 0, 640, 480);
    }
};

TQCLListBox* makeList(TForm* form) {
    TLoadingGuard guard;
    auto* list = new TQCLListBox(form);
    list->SetParent(form);
    list->SetBounds(0, 0, 620, 460);
    list->SetInteger(0, 20);
    list->SetBool(3, true);
    list->GridLines = glBoth;
    list->Delimiter = '\x01';
    list->GetHeaderSections()->Clear();
    for (int w : {110, 140, 160, 90, 100}) list->GetHeaderSections()->Add()->SetWidth(w);
    guard.Finish();
    return list;
}

// The floor: a bare owner-drawn system list box with the same styles,
// filled and reset with plain messages. With redraw on, every added row
// updates the visible scroll bar at once; that is measured on a few hundred
// rows only and given per row.
void bareListBox(HWND parent, const std::vector<std::string>& rows) {
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS |
                                    LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL | LBS_OWNERDRAWFIXED,
                                0, 0, 300, 300, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    Stopwatch watch;
    const size_t few = std::min<size_t>(rows.size(), 300);
    for (size_t i = 0; i < few; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rows[i].c_str()));
    result("bare-add-redraw-on-per-row", watch.lap() / static_cast<double>(few));
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    pump();
    watch.lap();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (const auto& row : rows) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    result("bare-fill-redraw-off", watch.lap());
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    result("bare-clear", watch.lap());
    DestroyWindow(list);
    pump();
}

// Where a message's time goes: the property lookup every framework window
// procedure starts with, and a message through a framework window and
// through a bare one.
void profileMessages(TWinControl* framed, HWND parent) {
    const int n = 20000;
    HWND bare = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, parent, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
    HWND window = framed->GetHandle();
    Stopwatch watch;
    for (int i = 0; i < n; ++i) GetPropA(window, "BrimFrameworkControl");
    result("profile-getprop-us", watch.lap() * 1000.0 / n);
    DWORD process = 0;
    for (int i = 0; i < n; ++i) GetWindowThreadProcessId(window, &process);
    result("profile-threadid-us", watch.lap() * 1000.0 / n);
    for (int i = 0; i < n; ++i) SendMessageA(bare, WM_NULL, 0, 0);
    result("profile-bare-message-us", watch.lap() * 1000.0 / n);
    for (int i = 0; i < n; ++i) SendMessageA(window, WM_NULL, 0, 0);
    result("profile-framework-message-us", watch.lap() * 1000.0 / n);
    for (int i = 0; i < n; ++i) SendMessageA(window, LB_GETCOUNT, 0, 0);
    result("profile-framework-getcount-us", watch.lap() * 1000.0 / n);
    DestroyWindow(bare);
}

}  // namespace

int main(int argc, char** argv) {
    int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50000;
    try {
        QCLInitApplication();
        auto* form = MakeForm<HostForm>(nullptr);
        form->Show();
        pump();

        std::vector<std::string> joined;
        joined.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            std::string row;
            for (const auto& f : rowFields(i)) row += (row.empty() ? "" : "\x01") + f;
            joined.push_back(row);
        }
        bareListBox(form->GetHandle(), joined);

        TQCLListBox* list = makeList(form);
        pump();
        profileMessages(list->InnerList(), form->GetHandle());
        Stopwatch watch;

        // Row by row, as the record list adds them.
        for (int i = 0; i < count; ++i) list->AddLine(rowFields(i));
        pump();
        result("list-fill", watch.lap());
        list->Clear();
        pump();
        result("list-clear", watch.lap());

        // With the bulk bracket.
        list->BeginBulkAdd(count);
        for (int i = 0; i < count; ++i) list->AddLine(rowFields(i));
        list->EndBulkAdd();
        pump();
        result("list-fill-bulk", watch.lap());

        // Page by page to the end: each page drawn at once.
        HWND inner = list->InnerList()->GetHandle();
        RECT client;
        GetClientRect(inner, &client);
        int perPage = std::max(1, static_cast<int>((client.bottom - client.top) / list->GetInteger(4)));
        std::vector<double> pages;
        for (int top = 0; top < count; top += perPage) {
            list->SetInteger(2, top);
            pump();
            watch.lap();
            InvalidateRect(inner, nullptr, TRUE);
            UpdateWindow(inner);
            pages.push_back(watch.lap());
        }
        std::sort(pages.begin(), pages.end());
        result("page-repaint-median", pages[pages.size() / 2]);
        result("page-repaint-max", pages.back());
        std::printf("%zu pages of %d rows\n", pages.size(), perPage);

        watch.lap();
        list->Clear();
        pump();
        result("list-clear-after-paging", watch.lap());

        form->Free();
        QCLDoneApplication();
    } catch (const std::exception& e) {
        std::printf("benchmark failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
