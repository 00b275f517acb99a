/*
 * Scoped Win32 handles: the one set of owning wrappers for every layer (the
 * vault store and the file jobs use the kernel, library and registry ones without
 * linking any window code; drawing code uses the GDI ones).
 *
 * Each wrapper closes what it owns when it goes out of scope, also when an
 * exception or an early return ends the work. They move but never copy.
 *
 * Tricky points:
 * - File handles are invalid as INVALID_HANDLE_VALUE (CreateFile's failure)
 *   and also as null, so a default-made or released wrapper closes nothing.
 * - `close()` answers whether the system closed the handle: a file written
 *   through a handle whose close fails may not be complete on disk.
 * - GDI objects and DCs made through these wrappers are counted in the
 *   framework's GDI book-keeping (`FrameworkGdiObjects()`), so the leak checks
 *   of the tests cover every drawing routine. A region handed to the system
 *   with SetWindowRgn belongs to the window from then on: `release()` it.
 * - The wrappers are templates, so code that uses only the kernel ones needs
 *   nothing from the framework's library at link time.
 */
#pragma once

#include <windows.h>

#include <utility>

// The framework's count of the GDI objects and DCs it holds (framework/Graphics.cpp).
void TrackGdiObjects(int delta);

namespace win32 {

template <typename Traits>
class Scoped {
public:
    using Handle = typename Traits::Handle;

    Scoped() = default;
    explicit Scoped(Handle handle) : handle_(handle) { Traits::adopted(handle_); }
    ~Scoped() { close(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    // A move hands the handle over as it is: the count goes with it.
    Scoped(Scoped&& other) noexcept : handle_(std::exchange(other.handle_, Traits::invalid())) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = std::exchange(other.handle_, Traits::invalid());
        }
        return *this;
    }

    bool valid() const { return Traits::valid(handle_); }
    explicit operator bool() const { return valid(); }
    Handle get() const { return handle_; }

    // Closes the handle; false when the system refused to close it.
    bool close() {
        if (!valid()) return true;
        return Traits::close(release());
    }
    // Gives up ownership without closing (the handle now belongs to the caller).
    Handle release() {
        Handle handle = handle_;
        handle_ = Traits::invalid();
        if (Traits::valid(handle)) Traits::forgotten(handle);
        return handle;
    }
    void reset(Handle handle) {
        close();
        handle_ = handle;
        Traits::adopted(handle_);
    }
    // For API calls that return the handle through a pointer; closes what was held.
    Handle* out() {
        close();
        return &handle_;
    }

private:
    Handle handle_ = Traits::invalid();
};

// Kernel objects ---------------------------------------------------------

struct UncountedTraits {
    template <typename H> static void adopted(H) {}
    template <typename H> static void forgotten(H) {}
};

struct FileTraits : UncountedTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static bool close(Handle h) { return CloseHandle(h) != 0; }
};

// Events, threads, mutexes, processes: null when missing.
struct KernelTraits : UncountedTraits {
    using Handle = HANDLE;
    static Handle invalid() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool close(Handle h) { return CloseHandle(h) != 0; }
};

struct FindTraits : UncountedTraits {
    using Handle = HANDLE;
    static Handle invalid() { return INVALID_HANDLE_VALUE; }
    static bool valid(Handle h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static bool close(Handle h) { return FindClose(h) != 0; }
};

struct RegistryKeyTraits : UncountedTraits {
    using Handle = HKEY;
    static Handle invalid() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static bool close(Handle h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};

// A library loaded with LoadLibrary, freed with FreeLibrary.
struct LibraryTraits : UncountedTraits {
    using Handle = HMODULE;
    static Handle invalid() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static bool close(Handle h) { return FreeLibrary(h) != 0; }
};

using FileHandle = Scoped<FileTraits>;
using KernelHandle = Scoped<KernelTraits>;
using FindHandle = Scoped<FindTraits>;
using RegistryKeyHandle = Scoped<RegistryKeyTraits>;
using LibraryHandle = Scoped<LibraryTraits>;

// GDI objects and DCs, counted ----------------------------------------------

struct CountedTraits {
    template <typename H> static void adopted(H h) { if (h) TrackGdiObjects(1); }
    template <typename H> static void forgotten(H h) { if (h) TrackGdiObjects(-1); }
};

template <typename H>
struct GdiObjectTraits : CountedTraits {
    using Handle = H;
    static Handle invalid() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static bool close(Handle h) { return DeleteObject(h) != 0; }
};

struct MemoryDCTraits : CountedTraits {
    using Handle = HDC;
    static Handle invalid() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static bool close(Handle h) { return DeleteDC(h) != 0; }
};

using BitmapHandle = Scoped<GdiObjectTraits<HBITMAP>>;
using BrushHandle = Scoped<GdiObjectTraits<HBRUSH>>;
using PenHandle = Scoped<GdiObjectTraits<HPEN>>;
using FontHandle = Scoped<GdiObjectTraits<HFONT>>;
using PaletteHandle = Scoped<GdiObjectTraits<HPALETTE>>;
using RegionHandle = Scoped<GdiObjectTraits<HRGN>>;
// A DC made with CreateCompatibleDC or CreateDC, deleted with DeleteDC.
using MemoryDC = Scoped<MemoryDCTraits>;

// A window's DC from GetDC/GetWindowDC/GetDCEx, given back with ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {
        if (dc_) TrackGdiObjects(1);
    }
    // The client-area DC of a window (null: the screen).
    explicit WindowDC(HWND window) : WindowDC(window, GetDC(window)) {}
    ~WindowDC() { close(); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    bool valid() const { return dc_ != nullptr; }
    HDC get() const { return dc_; }
    void close() {
        if (!dc_) return;
        ReleaseDC(window_, dc_);
        TrackGdiObjects(-1);
        dc_ = nullptr;
    }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back at scope exit.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Saves a DC's state (clip, origin, selected objects, modes) and restores it at scope exit.
class SavedDCState {
public:
    explicit SavedDCState(HDC dc) : dc_(dc), saved_(dc ? SaveDC(dc) : 0) {}
    ~SavedDCState() {
        if (saved_) RestoreDC(dc_, saved_);
    }
    SavedDCState(const SavedDCState&) = delete;
    SavedDCState& operator=(const SavedDCState&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace win32
