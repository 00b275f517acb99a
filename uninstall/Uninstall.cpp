/*
 * Uninstall.exe process entry. The uninstaller shows no window of its own;
 * for now it ends at once without removing anything.
 */
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
