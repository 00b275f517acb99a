// The Windows-error sentences, word for word as the user reads them.
#include "fileenc/WindowsErrorMessages.h"

#include "base/SystemErrorText.h"

namespace {

// Replaces each "%s" in turn by the next argument.
std::string fill(const char* pattern, std::initializer_list<std::string> arguments) {
    std::string text = pattern;
    std::size_t from = 0;
    for (const std::string& argument : arguments) {
        std::size_t at = text.find("%s", from);
        if (at == std::string::npos) break;
        text.replace(at, 2, argument);
        from = at + argument.size();
    }
    return text;
}

}  // namespace

std::string WindowsErrorMessages(DWORD code, const std::string& name) {
    switch (code) {
    case 2:
        return fill("Brimsafe cannot find %s.  Perhaps it has been deleted or moved.", {name});
    case 8:
    case 14:
        return "Your computer does not have enough memory to perform this operation.";
    case 15:
        return fill("Brimsafe cannot access the disk that %s is located on.  Perhaps the drive has been removed?",
                    {name});
    case 19:
        return "The disk you are trying to use appears to be write protected.  Please make the disk writable and "
               "try again.";
    case 32:
    case 33:
        return fill("Brimsafe cannot access %s because it is being used by another program.", {name});
    case 39:
    case 112:
        return "There is not enough disk space to perform this operation.";
    case 53: case 54: case 55: case 57: case 58: case 59: case 60: case 64: case 65:
        return fill("It appears that %s is on a network drive which is currently inaccessible.  Make sure your "
                    "network is working correctly and try again.",
                    {name});
    default:
        return fill("There was a problem accessing the file %s.  Windows responded with the following error:\r\n%s",
                    {name, systemErrorText(code, 150)});
    }
}
