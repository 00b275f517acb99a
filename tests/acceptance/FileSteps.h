/*
 * What a user does with files in the journeys: prepares files and folders,
 * drops them on the main window, picks a node of the encrypted-files tree,
 * answers the boxes a file job shows, and has a test file type whose program
 * only records what it was asked to open.
 *
 * Tricky points:
 * - A drop from another process: the shell hands the target window a
 *   DROPFILES block that lives in the target's own memory. The journey puts
 *   such a block into Brimsafe's process (VirtualAllocEx, WriteProcessMemory)
 *   after moving the pointer to the drop point, and posts WM_DROPFILES with
 *   its address. Wine's GlobalLock takes an address that is none of its
 *   movable-memory handles as fixed memory, as the shell's own drops are
 *   read in the receiving process. Wine's OLE drag
 *   (DoDragDrop) does not deliver to windows that only accept WM_DROPFILES
 *   (it ends with "dropped" and no effect), and a drag from the X side would
 *   need an X client, so this is the closest to a user's drag Wine allows.
 *   The block is left to the target (its DragFinish cannot free it; it is a
 *   few bytes for the rest of that process's life).
 * - The tree is picked with the keyboard, as a user can: a click into the
 *   tree's empty space below its rows, Home for the root, Down for each row.
 *   Which file is shown is then read from the properties memo, a real window.
 * - Wine reads file types only from the machine's classes, so the test type
 *   is registered under HKCU\Software\Classes, where a user's own types live,
 *   and under HKEY_CLASSES_ROOT as well.
 */
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace acc {

class Program;

// A vault the journey made, where the program put it.
struct JourneyVault {
    std::string folder;  // no trailing backslash
    std::string name;    // base name, no extension
    std::string password;
    std::string keyFile() const { return folder + "\\" + name + ".kvt"; }
};

// First start: "New Vault", the suggested location, the key page fed with pointer moves, the
// password twice, no key backup, "Finish". The main window once it shows the vault.
HWND createVaultOnFirstStart(const Program& brimsafe, const std::string& password, JourneyVault& vault);
// A later start: the password asked for the remembered vault; the main window.
HWND openRememberedVault(const Program& brimsafe, const JourneyVault& vault);
// Ctrl+Q with the closing questions a journey expects: whether listed files are still plain
// (answered Yes), then the closing tip.
void exitBrimsafe(Program& brimsafe, HWND mainWindow, bool plainFilesListed);

// Bytes that differ in every position and between seeds (no compressible runs).
std::string patternBytes(std::size_t size, unsigned seed);
void writeFileBytes(const std::string& path, const std::string& bytes);

// The 32 lower-case hex digits of the vault ID stored in the key file: the main window's caption.
std::string vaultIdCaption(const std::string& keyFilePath);
// The 16 bytes of that vault ID.
std::string vaultIdBytes(const std::string& keyFilePath);

// Drops the files and folders on the window, at a point inside its client area.
void dropOnWindow(HWND window, const std::vector<std::string>& paths);

// The encrypted-files tree of the main window and its rows.
HWND filesTree(HWND mainWindow);
// Selects the visible row (0 is the root "Encrypted File List") with the keyboard.
void selectTreeRow(HWND mainWindow, int row);
// The number of nodes in the tree (root included).
int treeNodeCount(HWND mainWindow);
// The properties memo's text.
std::string filePropertiesText(HWND mainWindow);
// "1,234 Bytes" as the properties memo writes sizes.
std::string sizeText(std::uint64_t bytes);

// Waits for the program's next message box, checks its text and clicks the button.
void answerMessage(DWORD pid, const std::string& text, const std::string& button);
// Waits for the "Do not show me again" tip and closes it with its OK button.
void dismissTip(DWORD pid);

// A file type whose open command runs the journey's recorder program, which writes the path it
// was asked to open into recordFile.
class RecordingFileType {
public:
    RecordingFileType(const std::string& extension, const std::string& recordFile);
    ~RecordingFileType();
    RecordingFileType(const RecordingFileType&) = delete;
    RecordingFileType& operator=(const RecordingFileType&) = delete;
    // The path the program was last asked to open; waits for it (fails the step at the deadline).
    std::string waitForOpenedPath(DWORD ms = 30000) const;

private:
    std::string extension_;
    std::string progId_;
    std::string record_;
};

}  // namespace acc
