/*
 * The window gallery: one picture per window of the programs, each in a
 * scripted state, so that a developer can look at what a user would see
 * (scripts/gallery turns them into PNG files in the build folder).
 *
 * An entry builds its window in code and hands it to the Shot: either a shown
 * form or window (captured at once), or an opener that runs a modal window,
 * which is captured from inside its own modal loop and then closed.
 *
 * Tricky points: the capture copies the window's rectangle from the screen,
 * so the window must be on top and fully painted; the gallery's display is a
 * private Xvfb screen where nothing else is shown.
 */
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class TForm;

namespace gallery {

class Shot {
public:
    explicit Shot(std::string path) : path_(std::move(path)) {}
    // Shows the form (if hidden), lets it paint, and captures it.
    void form(TForm* form);
    // Captures a shown top-level window.
    void window(HWND window);
    // Runs opener (which shows a modal window titled caption and returns when it
    // closes); the window is captured once it is up and then closed with close.
    void modal(const std::string& caption, const std::function<void()>& opener,
               const std::function<void(HWND)>& close);
    bool taken() const { return taken_; }

private:
    std::string path_;
    bool taken_ = false;
};

using Builder = std::function<void(Shot&)>;

// Registers an entry; the name becomes the picture's file name.
bool add(const char* name, Builder builder);

}  // namespace gallery

#define BRIM_GALLERY_CONCAT2(a, b) a##b
#define BRIM_GALLERY_CONCAT(a, b) BRIM_GALLERY_CONCAT2(a, b)
// BRIM_GALLERY_ENTRY("name") { ...build..., shot.form(f); }
#define BRIM_GALLERY_ENTRY(name)                                                                   \
    static void BRIM_GALLERY_CONCAT(galleryEntry, __LINE__)(gallery::Shot & shot);                 \
    static const bool BRIM_GALLERY_CONCAT(galleryAdded, __LINE__) =                                \
        gallery::add(name, BRIM_GALLERY_CONCAT(galleryEntry, __LINE__));                           \
    static void BRIM_GALLERY_CONCAT(galleryEntry, __LINE__)(gallery::Shot & shot)
