// Starts the framework's globals (application object, screen) once for the
// whole test program, as the programs do before the library's own globals,
// and records reported exceptions instead of showing them.
#include "tests/components/runtime/FrameworkEnvironment.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>

std::vector<std::string>& reportedExceptions() {
    static std::vector<std::string> messages;
    return messages;
}

namespace {

class FrameworkEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitFramework();
        Application->OnException = [](TObject*, Exception* e) { reportedExceptions().push_back(e->Message); };
    }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new FrameworkEnvironment);

}  // namespace
