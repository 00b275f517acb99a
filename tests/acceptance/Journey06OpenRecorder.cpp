// The program of the journeys' test file type: records the path it was asked to open (its second
// argument) in the file named by its first. The record appears whole or not at all (written
// beside it, then renamed), so a journey polling for it never reads half a path.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string record = argv[1];
    const std::string partial = record + ".partial";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return 1;
    std::fputs(argv[2], out);
    if (std::fclose(out) != 0) return 1;
    return MoveFileExA(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
