/*
 * Shared helpers of the framework tests: the framework started once per
 * process, exceptions reaching the application recorded instead of shown,
 * pumping the real message loop until a condition holds (with a deadline),
 * and actions run later from inside whatever loop is running.
 */
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Framework.h"

namespace fwtest {

// Runs the framework's message step until `done` or the deadline; true when done.
bool pumpUntil(const std::function<bool()>& done, DWORD deadlineMs = 5000);
// Pumps until the queue is idle (bounded).
void pumpIdle();
// Runs `action` from the message loop, after the current messages (a posted message).
void runLater(std::function<void()> action);
// Runs `action` from the message loop after `ms` milliseconds (a window timer tick).
void runAfter(DWORD ms, std::function<void()> action);

// Visible top-level windows of this thread with the class name.
std::vector<HWND> threadWindowsOfClass(const char* className);

class FrameworkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<std::string> exceptions;
};

// Pixel of a 24-bit bitmap as a colour (0x00BBGGRR), read through ScanLine.
TColor pixelOf(TBitmap* bitmap, int x, int y);
// True when every channel is within `tolerance`.
bool closeTo(TColor a, TColor b, int tolerance);

}  // namespace fwtest
