/*
 * Keystroke benchmark of the library edit: typing at the end of a
 * 4,000-character line on a shown, focused edit. Each keystroke is the key
 * down, the character and the key up as the window receives them, then the
 * window's pending painting flushed, so the figure covers the change, the
 * caret placement with its scrolling and the redraw of the line.
 * Lines starting "result" are for scripts/bench: name, median ms, 0.
 *
 *   controls_edit_benchmark [keystrokes (300)]
 */
#include "components/controls/QCLCustomEdit.h"
#include "components/runtime/qclclass.h"
#include "framework/Forms.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double nowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Handles what is queued now, a bounded number of messages (a bare program
// without the application loop keeps one of its own windows repainting).
void pump() {
    MSG msg;
    for (int i = 0; i < 200 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int keystrokes = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
    InitFramework();
    QCLInitApplication();
    Application->Initialize();
    Application->OnException = [](TObject*, Exception* e) { std::printf("exception: %s\n", e->Message.c_str()); };
    auto* form = MakeForm<TForm>(nullptr);
    form->BorderStyle = bsSingle;
    form->SetBounds(40, 40, 400, 120);
    auto* edit = new TQCLEdit(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 360, 24);
    std::string text;
    const std::size_t length = argc > 2 ? static_cast<std::size_t>(std::max(1, std::atoi(argv[2]))) : 4000;
    for (int i = 0; text.size() < length; ++i) text += "word" + std::to_string(i) + ' ';
    text.resize(length);
    edit->SetText(text);
    form->Show();
    SetForegroundWindow(form->GetHandle());
    edit->SetFocus();
    edit->SetCursorPos(edit->GetLength() + 1);
    pump();

    HWND window = edit->GetHandle();
    std::vector<double> times;
    for (int i = 0; i < keystrokes; ++i) {
        char c = static_cast<char>('a' + i % 26);
        WORD vk = static_cast<WORD>('A' + i % 26);
        double start = nowMs();
        SendMessageA(window, WM_KEYDOWN, vk, 1);
        SendMessageA(window, WM_CHAR, static_cast<WPARAM>(c), 1);
        SendMessageA(window, WM_KEYUP, vk, 0xC0000001);
        UpdateWindow(window);
        GdiFlush();
        times.push_back(nowMs() - start);
        pump();
    }
    bool typed = edit->GetLength() == static_cast<int>(length) + keystrokes;
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2];
    std::printf("edit of %d characters, %d keystrokes at its end%s\n", static_cast<int>(length), keystrokes,
                typed ? "" : " (NOT ALL TYPED)");
    std::printf("keystroke min %.3f ms, median %.3f ms, max %.3f ms\n", times.front(), median, times.back());
    std::printf("result edit-keystroke %.3f 0\n", median);
    form->Free();
    QCLDoneApplication();
    return typed ? 0 : 1;
}
