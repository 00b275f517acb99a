/*
 * What a user does with files in the journeys: prepares files and folders,
 * drops them on the main window, picks a row of the encrypted-files tree and
 * reads its properties, waits for file jobs to end, leaves with plain files
 * listed, and has a test file type whose program only records what it was
 * asked to open. The vault steps they build on are in UserSteps.h.
 *
 * Tricky points:
 * - A drop from another process: the shell hands the target window a
 *   DROPFILES block that lives in the target's own memory. The journey puts
 *   such a block into Brimsafe's process (VirtualAllocEx, WriteProcessMemory)
 *   after moving the pointer to the drop point, and posts WM_DROPFILES with
 *   its address. Wine's GlobalLock takes an address that is none of its
 *   movable-memory handles as fixed memory, as the shell's own drops are
 *   read in the receiving process. Wine's OLE drag (DoDragDrop) does not
 *   deliver to windows that only accept WM_DROPFILES (it ends with "dropped"
 *   and no effect), and a drag from the X side would need an X client, so
 *   this is the closest to a user's drag Wine allows.
 *   The block is left to the target (its DragFinish cannot free it; it is a
 *   few bytes for the rest of that process's life).
 * - A tree row is clicked where the user sees its text: rows are equally
 *   high from the top, and a row's text starts one indent per level (plus
 *   the expand button's column) and a picture's width from the left; the
 *   tree answers its row height, indent and item order to any process, and
 *   which file is shown is read back from the properties memo, a real window.
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

// Ctrl+Q while plain files are listed: the question whether to leave them plain answered Yes,
// then the closing tip; waits for the process to end.
void exitLeavingPlainFiles(Program& brimsafe, HWND mainWindow);

// Bytes that differ in every position and between seeds (no compressible runs).
std::string patternBytes(std::size_t size, unsigned seed);
void writeFileBytes(const std::string& path, const std::string& bytes);

// Drops the files and folders on the window, at a point inside its client area.
void dropOnWindow(HWND window, const std::vector<std::string>& paths);

// The window of a running file job (its progress bar and Cancel).
constexpr const char* FileJobWindow = "Frm_FileEncryption";
// Waits until no file job runs: its progress window gone and the main window taking input again.
void waitForFileJobsToEnd(HWND mainWindow);

// The encrypted-files tree of the main window and its rows.
HWND filesTree(HWND mainWindow);
// Clicks the visible row (0 is the root "Encrypted File List") and waits until it is selected.
void selectTreeRow(HWND mainWindow, int row);
// The number of nodes in the tree (root included).
int treeNodeCount(HWND mainWindow);
// The properties memo's text.
std::string filePropertiesText(HWND mainWindow);
// "1,234 Bytes" as the properties memo writes sizes.
std::string sizeText(std::uint64_t bytes);

// Waits for the "Do not show me again" tip and closes it with its Ok button.
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
