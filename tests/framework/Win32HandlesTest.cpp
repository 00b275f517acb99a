// The shared scoped handles: each closes what it owns exactly once, moves hand
// ownership over, release() gives it away, and the GDI ones keep the
// framework's GDI book-keeping exact (so leak checks see every drawing routine).
#include <gtest/gtest.h>

#include <string>

#include "framework/Framework.h"
#include "framework/Win32Handles.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(Win32Handles, GdiObjectsAndDCsAreCountedWhileHeld) {
    const int before = FrameworkGdiObjects();
    {
        win32::MemoryDC dc(CreateCompatibleDC(nullptr));
        win32::BitmapHandle bitmap(CreateCompatibleBitmap(dc.get(), 4, 4));
        win32::BrushHandle brush(CreateSolidBrush(RGB(1, 2, 3)));
        win32::WindowDC screen(nullptr);
        ASSERT_TRUE(dc.valid() && bitmap.valid() && brush.valid() && screen.valid());
        EXPECT_EQ(FrameworkGdiObjects(), before + 4);
        {
            win32::SelectedObject selected(dc.get(), bitmap.get());
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        }
        EXPECT_NE(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get()) << "the previous bitmap is back";

        win32::BrushHandle moved(std::move(brush));
        EXPECT_FALSE(brush.valid());
        EXPECT_EQ(FrameworkGdiObjects(), before + 4) << "a move neither adds nor drops a count";
        moved.reset(CreateSolidBrush(RGB(4, 5, 6)));
        EXPECT_EQ(FrameworkGdiObjects(), before + 4) << "reset closes the old object and counts the new";
    }
    EXPECT_EQ(FrameworkGdiObjects(), before);
}

TEST(Win32Handles, ReleasedRegionBelongsToTheWindow) {
    TForm* form = new TForm(nullptr);
    form->SetBounds(0, 0, 60, 40);
    form->HandleNeeded();
    const int before = FrameworkGdiObjects();
    {
        win32::RegionHandle region(CreateRectRgn(0, 0, 30, 20));
        EXPECT_EQ(FrameworkGdiObjects(), before + 1);
        ASSERT_NE(SetWindowRgn(form->Handle, region.release(), FALSE), 0);
        EXPECT_FALSE(region.valid());
    }
    EXPECT_EQ(FrameworkGdiObjects(), before) << "the window's region is no longer ours";
    win32::RegionHandle copy(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(GetWindowRgn(form->Handle, copy.get()), SIMPLEREGION);
    RECT box{};
    GetRgnBox(copy.get(), &box);
    EXPECT_EQ(box.right, 30);
    form->Free();
}

TEST(Win32Handles, KernelHandlesCloseOnceAndReportTheClose) {
    brimtest::TempFolder folder;
    const std::string path = folder.file("a.txt");
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file.valid());
    EXPECT_TRUE(file.close());
    EXPECT_FALSE(file.valid());
    EXPECT_TRUE(file.close()) << "closing twice closes nothing";

    win32::FileHandle missing(CreateFileA((path + ".none").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing.valid()) << "CreateFile's failure value is no handle";

    WIN32_FIND_DATAA data{};
    win32::FindHandle search(FindFirstFileA((folder.path() + "\\*.txt").c_str(), &data));
    EXPECT_TRUE(search.valid());
    EXPECT_STREQ(data.cFileName, "a.txt");

    win32::RegistryKeyHandle key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, key.out()), ERROR_SUCCESS);
    EXPECT_TRUE(key.valid());
    win32::KernelHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = event.release();
    EXPECT_FALSE(event.valid());
    EXPECT_NE(CloseHandle(raw), 0) << "a released handle was left open for its new owner";

    win32::LibraryHandle library(LoadLibraryA("kernel32.dll"));
    ASSERT_TRUE(library.valid());
    EXPECT_NE(GetProcAddress(library.get(), "GetTickCount"), nullptr);
    EXPECT_TRUE(library.close()) << "FreeLibrary took the loaded library back";
    EXPECT_FALSE(win32::LibraryHandle(LoadLibraryA("no_such_library_here.dll")).valid());
}

}  // namespace
