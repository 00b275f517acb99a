// Stands in for the user's web browser in the update journey: registered as the program that opens http
// addresses, it appends the address it is given (its second argument) as one line to the file named by its
// first argument, and ends. It shows no window.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 3) return 2;
    std::FILE* record = std::fopen(__argv[1], "ab");
    if (!record) return 1;
    std::fprintf(record, "%s\n", __argv[2]);
    return std::fclose(record) == 0 ? 0 : 1;
}
