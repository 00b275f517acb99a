/*
 * The gallery program: runs every registered entry (or those named on the
 * command line) and writes one BMP per entry into the output folder given
 * first; scripts/gallery converts them to PNG. Exits non-zero when an entry
 * took no picture, so a broken window does not pass unseen.
 */
#include "tests/gallery/Gallery.h"

#include <cstdio>
#include <map>
#include <memory>

#include "components/runtime/qclclass.h"
#include "framework/Framework.h"
#include "framework/Win32Handles.h"

namespace gallery {

namespace {

std::map<std::string, Builder>& entries() {
    static std::map<std::string, Builder> all;
    return all;
}

// Lets every pending paint happen before the screen is read.
void settle(HWND window) {
    for (int round = 0; round < 5; ++round) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
        Application->ProcessMessages();
    }
    GdiFlush();
}

void saveScreenRect(const RECT& rect, const std::string& path) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->PixelFormat = pf24bit;
    bitmap->SetSize(rect.right - rect.left, rect.bottom - rect.top);
    win32::WindowDC screen(nullptr);
    BitBlt(bitmap->Canvas->Handle, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen.get(), rect.left,
           rect.top, SRCCOPY);
    bitmap->SaveToFile(path.c_str());
}

// The modal capture in progress: a thread timer looks for the window by caption.
struct ModalCapture {
    Shot* shot = nullptr;
    std::string caption;
    std::function<void(HWND)> close;
    int ticksLeft = 0;
};
ModalCapture* currentModal = nullptr;

void CALLBACK modalTick(HWND, UINT, UINT_PTR timer, DWORD) {
    ModalCapture* capture = currentModal;
    if (!capture) return;
    HWND window = FindWindowA(nullptr, capture->caption.c_str());
    if (window && IsWindowVisible(window)) {
        KillTimer(nullptr, timer);
        currentModal = nullptr;
        capture->shot->window(window);
        capture->close(window);
        return;
    }
    if (--capture->ticksLeft <= 0) {
        std::fprintf(stderr, "gallery: no window titled \"%s\" appeared\n", capture->caption.c_str());
        std::fflush(stderr);
        ExitProcess(3);  // the opener would wait for ever
    }
}

}  // namespace

bool add(const char* name, Builder builder) {
    entries()[name] = std::move(builder);
    return true;
}

void Shot::form(TForm* form) {
    if (!form->Visible) form->Show();
    SetWindowPos(form->Handle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    window(form->Handle);
}

void Shot::window(HWND window) {
    settle(window);
    RECT rect{};
    GetWindowRect(window, &rect);
    saveScreenRect(rect, path_);
    taken_ = true;
}

void Shot::modal(const std::string& caption, const std::function<void()>& opener,
                 const std::function<void(HWND)>& close) {
    ModalCapture capture{this, caption, close, 200};
    currentModal = &capture;
    SetTimer(nullptr, 0, 50, modalTick);
    opener();
    currentModal = nullptr;
}

}  // namespace gallery

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: Gallery.exe <output folder> [entry...]\n");
        return 2;
    }
    InitFramework();
    QCLInitApplication();
    Application->Initialize();
    Application->Title = "Brimsafe";
    std::string folder = argv[1];
    int missing = 0;
    for (auto& [name, build] : gallery::entries()) {
        bool wanted = argc == 2;
        for (int i = 2; i < argc; ++i) wanted = wanted || name == argv[i];
        if (!wanted) continue;
        gallery::Shot shot(folder + "\\" + name + ".bmp");
        try {
            build(shot);
        } catch (Exception& e) {
            std::fprintf(stderr, "gallery: %s: %s\n", name.c_str(), e.Message.c_str());
        }
        std::printf("gallery: %s %s\n", name.c_str(), shot.taken() ? "taken" : "MISSING");
        if (!shot.taken()) ++missing;
    }
    std::fflush(stdout);
    QCLDoneApplication();
    return missing ? 1 : 0;
}
