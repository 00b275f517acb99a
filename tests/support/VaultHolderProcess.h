/*
 * Another running copy of the program, played by tests/support/VaultHolderStub.cpp: a separate
 * process that holds a named mutex, a window captioned with a vault ID, a file or the clipboard,
 * and records the WM_COPYDATA its window receives. The constructor returns once the stub holds
 * everything (or fails the test after a deadline); the destructor closes its window and waits.
 */
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace brimtest {

struct HolderRequest {
    std::string mutexName;   // empty: no mutex
    std::string caption;     // empty: a window nobody looks for
    std::string heldFile;    // empty: no file held
    bool holdClipboard = false;
};

class VaultHolderProcess {
public:
    explicit VaultHolderProcess(const HolderRequest& request);
    ~VaultHolderProcess();
    VaultHolderProcess(const VaultHolderProcess&) = delete;
    VaultHolderProcess& operator=(const VaultHolderProcess&) = delete;

    bool running() const { return process_ != nullptr; }
    struct Copy {
        unsigned long command;
        std::string bytes;
    };
    // The WM_COPYDATA messages received so far, in order.
    std::vector<Copy> received() const;

private:
    HANDLE process_ = nullptr;
    std::string recordPath_;
    std::string caption_;
};

}  // namespace brimtest
