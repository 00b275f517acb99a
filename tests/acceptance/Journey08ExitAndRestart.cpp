// Exit and restart: the user moves and sizes the main window, moves the splitter, sorts a category and
// leaves another one current, and saves with the Save button; after the title bar's close button and a
// new start everything is where it was left, and the settings key holds the same placement. The second
// run ends with the Exit button. Between the two, a start on the vault file cut in half names the
// file as damaged and goes back to the vault selection.
#include "tests/acceptance/Harness.h"
#include "tests/acceptance/UserSteps.h"
#include "tests/acceptance/VaultReaders.h"
#include "tests/acceptance/VaultSteps.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>

namespace {

using namespace acc;

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

std::string describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "could not write " << path;
}

POINT centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

std::vector<std::string> firstColumn(HWND list) {
    std::vector<std::string> column;
    for (const auto& row : listRows(list)) column.push_back(row.empty() ? "" : row[0]);
    return column;
}

// A drag whose effect shows. A busy machine may drop the press or some of the pointer's moves, so
// each try is planned afresh from where things stand now (the rest of the way), a few times.
struct DragPlan {
    POINT from, to;
};
void dragUntil(const std::function<DragPlan()>& plan, const std::function<bool()>& done, const std::string& what) {
    for (int attempt = 0; attempt < 3 && !done(); ++attempt) {
        if (attempt > 0)
            std::printf("[ AGAIN    ] %s (%s): dragged the rest of the way\n", what.c_str(),
                        inputState(GetForegroundWindow()).c_str());
        const DragPlan p = plan();
        drag(p.from, p.to);
        const ULONGLONG settled = GetTickCount64() + 5000;
        while (!done() && GetTickCount64() < settled) Sleep(20);
    }
    waitUntil(done, what);
}

TEST(Journey, ExitAndRestart) {
    const NewVault vault{journeyFolder(), "Placement", "Left as it was 9"};

    ACC_STEP("create a vault through the wizard");
    Program brimsafe = Program::start("Brimsafe.exe");
    HWND mainWindow = createVaultWithWizard(brimsafe.pid(), vault);
    const RECT first = windowRect(mainWindow);

    ACC_STEP("move the window by its title bar");
    const std::string titleBar = "Brimsafe - " + vault.name;
    const POINT target{first.left - 120, first.top + 50};
    dragUntil(
        [&] {
            const RECT now = windowRect(mainWindow);
            const POINT from = centre(controlRect(mainWindow, titleBar));
            return DragPlan{from, POINT{from.x + target.x - now.left, from.y + target.y - now.top}};
        },
        [&] { return windowRect(mainWindow).left == target.x && windowRect(mainWindow).top == target.y; },
        "the window moved to where it was dropped");

    ACC_STEP("make the window larger by its bottom-right corner");
    const RECT moved = windowRect(mainWindow);
    const SIZE larger{moved.right - moved.left + 80, moved.bottom - moved.top + 60};
    dragUntil(
        [&] {
            const RECT now = windowRect(mainWindow);
            const POINT from{now.right - 5, now.bottom - 5};
            return DragPlan{from, POINT{from.x + larger.cx - (now.right - now.left), from.y + larger.cy - (now.bottom - now.top)}};
        },
        [&] {
            const RECT r = windowRect(mainWindow);
            return r.right - r.left == larger.cx && r.bottom - r.top == larger.cy;
        },
        "the window 80 wider and 60 higher");

    ACC_STEP("move the splitter to the left");
    const RECT splitter = controlRect(mainWindow, "TSplitter#1");
    const LONG splitterTarget = splitter.left - 70;
    dragUntil(
        [&] {
            const RECT now = controlRect(mainWindow, "TSplitter#1");
            const POINT from = centre(now);
            return DragPlan{from, POINT{from.x + splitterTarget - now.left, from.y}};
        },
        [&] { return controlRect(mainWindow, "TSplitter#1").left == splitterTarget; },
        "the splitter 70 pixels further left");

    ACC_STEP("sort To Do by Task and leave Contacts current");
    const ColumnList toDo = columnList(mainWindow, "TQCLListBox#1");
    EXPECT_EQ(firstColumn(toDo.lines), (std::vector<std::string>{"Review Tutorial", "Back up you key"}));
    clickHeaderAt(toDo.header, 40);
    waitUntil([&] { return firstColumn(toDo.lines) == std::vector<std::string>{"Back up you key", "Review Tutorial"}; },
              "To Do sorted by Task");
    chooseCategory(mainWindow, "Contacts");
    waitUntil([&] { return windowText(control(mainWindow, "TComboBox#1")) == "Contacts"; }, "Contacts current");
    const RECT placed = windowRect(mainWindow);
    const RECT splitterPlaced = controlRect(mainWindow, "TSplitter#1");

    ACC_STEP("save with the Save button");
    auto savedFirstTask = [&] {
        const VaultRecords saved = parseVaultText(openVaultFiles(vault.folder, vault.name, vault.password).text);
        const auto* toDoSaved = saved.find("To Do");
        return toDoSaved && !toDoSaved->rows.empty() ? toDoSaved->rows.front().front() : std::string();
    };
    click(mainWindow, "KTransSaveButton");
    waitUntil([&] { return savedFirstTask() == "Back up you key"; }, "the sorted order in the vault file");

    ACC_STEP("exit with the title bar's close button");
    exitByButton(brimsafe, mainWindow, "KTransButton3");
    DWORD top = 0, left = 0, width = 0, height = 0, splitterValue = 0, state = 0, currCat = 0;
    EXPECT_TRUE(readSetting("Top", top) && readSetting("Left", left) && readSetting("Width", width) &&
                readSetting("Height", height) && readSetting("Splitter", splitterValue) &&
                readSetting("WindowState", state) && readSetting("currCat", currCat));
    EXPECT_EQ(static_cast<LONG>(left), placed.left);
    EXPECT_EQ(static_cast<LONG>(top), placed.top);
    EXPECT_EQ(static_cast<LONG>(width), placed.right - placed.left);
    EXPECT_EQ(static_cast<LONG>(height), placed.bottom - placed.top);
    EXPECT_EQ(state & 0xFF, static_cast<DWORD>('v'));
    EXPECT_EQ(currCat, 4u) << "Contacts is the box's fifth line";

    ACC_STEP("start again on the vault file cut in half: it is named as damaged, never the password");
    const std::string vaultPath = vault.folder + "\\" + vault.name + ".vlt";
    const std::string whole = readFileBytes(vaultPath);
    // Cut at a cipher block, so the password's check passes and only the body's check fails.
    writeFileBytes(vaultPath, whole.substr(0, 136 + (whole.size() - 136) / 16 * 8));
    Program cut = Program::start("Brimsafe.exe");
    openPreselectedVault(cut.pid());
    enterPassword(cut.pid(), vault.password);
    // Waited for by its text, so a box still being filled in is never read half made.
    answerMessage(cut.pid(),
                  "The file \"" + vaultPath +
                      "\" is damaged, so Brimsafe cannot open this vault.  You may need to restore a backed up version "
                      "of your vault.",
                  "Ok");

    ACC_STEP("the vault selection comes back; cancelled, the program ends");
    HWND select = waitForWindow(SelectVaultWindow, cut.pid());
    HWND prompt = findWindow(PasswordWindow, cut.pid());
    EXPECT_TRUE(prompt == nullptr || !IsWindowVisible(prompt)) << "the password is not asked again";
    clickUntil(select, "Cancel", [&] { return !IsWindow(select) || !IsWindowVisible(select); }, "the selection cancelled");
    EXPECT_TRUE(cut.waitForExit(30000)) << "cancelled, the start-up ends";
    EXPECT_EQ(readFileBytes(vaultPath).size(), 136 + (whole.size() - 136) / 16 * 8) << "the cut file is left alone";
    writeFileBytes(vaultPath, whole);  // as a backed up copy put back

    ACC_STEP("start again and open the vault");
    Program again = Program::start("Brimsafe.exe");
    mainWindow = openRememberedVault(again.pid(), vault);

    ACC_STEP("find the window, splitter, category and order as left");
    waitUntil([&] { return IsWindowVisible(mainWindow) != FALSE; }, "the main window shown");
    EXPECT_EQ(describe(windowRect(mainWindow)), describe(placed));
    EXPECT_EQ(describe(controlRect(mainWindow, "TSplitter#1")), describe(splitterPlaced));
    EXPECT_EQ(windowText(control(mainWindow, "TComboBox#1")), "Contacts");
    chooseCategory(mainWindow, "To Do");
    const ColumnList reopened = columnList(mainWindow, "TQCLListBox#1");
    waitUntil([&] { return firstColumn(reopened.lines) == std::vector<std::string>{"Back up you key", "Review Tutorial"}; },
              "To Do in its sorted order");
    const VaultRecords records = parseVaultText(openVaultFiles(vault.folder, vault.name, vault.password).text);
    ASSERT_NE(records.find("To Do"), nullptr);
    EXPECT_EQ(records.find("To Do")->rows.front().front(), "Back up you key") << "the vault keeps the sorted order";

    ACC_STEP("exit again, with the Exit button");
    exitByButton(again, mainWindow, "xpButton3");
}

}  // namespace
