// A stand-in for the program of a test file type: writes the path it was asked to open (its second
// argument) into the file named by its first argument, so a test can see what the shell ran.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    std::fputs(argv[2], out);
    std::fclose(out);
    return 0;
}
