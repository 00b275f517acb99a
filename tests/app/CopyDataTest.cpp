// Reading the commands of other processes without trusting them, and when a command may run.
#include "app/CopyData.h"

#include "tests/support/GuardedBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Case {
    const char* name;
    ULONG_PTR command;
    std::string bytes;  // exactly the bytes handed over (cbData = size)
    bool obeyed;
    const char* path;
};

TEST(CopyDataTest, ReadsOnlyWellFormedCommands) {
    using namespace std::string_literals;
    const Case cases[] = {
        {"exit without data", 100, "", true, ""},
        {"exit with data", 100, "x\0"s, true, ""},
        {"open vault, full path", 101, "C:\\V\\home.vlt\0"s, true, "C:\\V\\home.vlt"},
        {"open vault by its key file on a share", 101, "\\\\srv\\v\\home.kvt\0"s, true, "\\\\srv\\v\\home.kvt"},
        {"open vault, no folder", 101, "abc\0"s, false, ""},
        {"open vault, relative", 101, "v\\home.vlt\0"s, false, ""},
        {"open vault, not a vault", 101, "C:\\V\\home.txt\0"s, false, ""},
        {"open vault, no name", 101, "C:\\V\\.vlt\0"s, false, ""},
        {"restore", 102, "C:\\b\\home.bvt\0"s, true, "C:\\b\\home.bvt"},
        {"open file", 103, "C:\\f\\a.txt.vltenc\0"s, true, "C:\\f\\a.txt.vltenc"},
        {"add file, text after the zero", 104, "C:\\f\\a.txt\0junk"s, true, "C:\\f\\a.txt"},
        {"no terminator", 103, "C:\\f\\a.txt.vltenc"s, false, ""},
        {"no data", 104, "", false, ""},
        {"empty path", 103, "\0"s, false, ""},
        {"unknown command", 99, "C:\\f\\a.txt\0"s, false, ""},
        {"unknown command 105", 105, "C:\\f\\a.txt\0"s, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The bytes end right before an inaccessible page: a read past cbData faults.
        GuardedBuffer block(c.bytes.empty() ? 1 : c.bytes.size());
        if (!c.bytes.empty()) std::memcpy(block.data(), c.bytes.data(), c.bytes.size());
        COPYDATASTRUCT data{};
        data.dwData = c.command;
        data.cbData = static_cast<DWORD>(c.bytes.size());
        data.lpData = c.bytes.empty() ? nullptr : block.data();
        const std::optional<CopyDataRequest> r = readCopyData(&data);
        ASSERT_EQ(r.has_value(), c.obeyed);
        if (r) {
            EXPECT_EQ(r->command, static_cast<int>(c.command));
            EXPECT_EQ(r->path, c.path);
        }
    }
}

TEST(CopyDataTest, NoVaultOpenEndsOnExitAndIgnoresTheRestAndBusyWindowsMakeCommandsWait) {
    for (int command : {100, 101, 102, 103, 104}) {
        SCOPED_TRACE(command);
        const CommandAction closed = command == 100 ? CommandAction::EndWithoutSaving : CommandAction::Ignore;
        EXPECT_EQ(commandAction(command, false, false), closed);
        EXPECT_EQ(commandAction(command, false, true), closed);
        EXPECT_EQ(commandAction(command, true, false), CommandAction::Run);
        EXPECT_EQ(commandAction(command, true, true), CommandAction::Wait);
    }
}

}  // namespace
