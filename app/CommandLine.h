/*
 * The program's command line as one pure function: which path a start was
 * given and what it is for. Only the first argument counts. It is expanded to
 * its long form and classified by its ending, case-sensitively, as the shell
 * passes the names as they are stored:
 *   ".vltenc" decrypt it (a note when more text followed: one file at a time),
 *   ".bvt" restore that backup, ".vlt"/".kvt" open that vault,
 *   ".bkv" and anything else (also a path that does not expand) only a note.
 *
 * Tricky points:
 * - The program's own path is skipped up to its closing quote, or up to the
 *   first blank; a line that ends there has no argument (never read past it).
 * - Blanks between the program path and the argument are skipped, so a double
 *   blank is not an empty argument.
 */
#pragma once

#include <functional>
#include <optional>
#include <string>

struct CommandLineResult {
    std::string PendingEncFile;
    std::string PendingBackupFile;
    std::string PendingVaultFile;
    std::string message;  // the note to show, empty for none
};

// The long form of a path, nothing when it cannot be expanded (the file does not exist).
using LongPathRoutine = std::function<std::optional<std::string>(const std::string&)>;
std::optional<std::string> systemLongPath(const std::string& path);

CommandLineResult parseCommandLine(const std::string& commandLine,
                                   const LongPathRoutine& longPath = systemLongPath);

namespace cmdline {
inline const char* const OneFileAtATime =
    "You may only decrypt one file at a time this way.  To decrypt multiple files, do so from within Brimsafe.";
inline const char* const RestoreKeyHint =
    "In order to restore your key, you must click the \"Forgot Your Password?\" button when asked for your "
    "password.";
inline const char* const EncryptHint =
    "In order to encrypt files, you must first open Brimsafe, and then drag the files onto it.";
}  // namespace cmdline
