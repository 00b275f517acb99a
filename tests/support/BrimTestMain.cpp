/*
 * main() of every test program. Besides running GoogleTest it arms a deadline:
 * when the whole program runs longer than BRIM_TEST_DEADLINE seconds (a modal
 * loop nobody answers, a worker that never ends) it names the running test and
 * ends the process with a failure, instead of hanging until ctest kills it.
 * Crashes are reported on stdout and end the process; no crash dialog opens.
 * A message box that no test scripted fails the test that asked for it and is
 * answered as if closed, instead of waiting for a user nobody plays.
 */
#include "base/Notice.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace {

std::mutex currentTestLock;
std::string currentTest = "(between tests)";

class CurrentTestTracker : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& info) override {
        std::lock_guard<std::mutex> lock(currentTestLock);
        currentTest = std::string(info.test_suite_name()) + "." + info.name();
    }
    void OnTestEnd(const ::testing::TestInfo&) override {
        std::lock_guard<std::mutex> lock(currentTestLock);
        currentTest = "(between tests)";
    }
};

std::string runningTest() {
    std::lock_guard<std::mutex> lock(currentTestLock);
    return currentTest;
}

DWORD WINAPI watchdog(LPVOID param) {
    DWORD seconds = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(param));
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, seconds * 1000);
    std::printf("\nDEADLINE: the test program ran over %lu s, in %s\n", static_cast<unsigned long>(seconds),
                runningTest().c_str());
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 3);
    return 0;
}

LONG WINAPI reportCrash(EXCEPTION_POINTERS* info) {
    std::printf("\nCRASH: exception 0x%08lx at %p in %s\n",
                static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                info->ExceptionRecord->ExceptionAddress, runningTest().c_str());
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 4);
    return EXCEPTION_EXECUTE_HANDLER;
}

int unscriptedBox(const MessageBoxRequest& request) {
    ADD_FAILURE() << "unscripted message box: \"" << request.text << "\"";
    return ClosedBoxAnswer(request.buttons);
}

DWORD deadlineSeconds() {
    const char* text = std::getenv("BRIM_TEST_DEADLINE");
    long value = text ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? static_cast<DWORD>(value) : 300;
}

}  // namespace

int main(int argc, char** argv) {
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(reportCrash);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CurrentTestTracker);
    SetMessageBoxHandler(unscriptedBox);
    HANDLE thread = CreateThread(nullptr, 0, watchdog,
                                 reinterpret_cast<LPVOID>(static_cast<UINT_PTR>(deadlineSeconds())), 0, nullptr);
    if (thread) CloseHandle(thread);
    int result = RUN_ALL_TESTS();
    std::fflush(stdout);
    // End at once: a test may leave windows or threads behind on purpose.
    ExitProcess(static_cast<UINT>(result));
}
