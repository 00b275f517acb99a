// Starts the framework's globals and then the library's application object,
// as both programs do, so that the global resource container exists for the
// whole container test program.
#include "components/runtime/qclclass.h"

#include "framework/Forms.h"

#include <gtest/gtest.h>

namespace {

class ContainerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitFramework();
        QCLInitApplication();
    }
    void TearDown() override { QCLDoneApplication(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new ContainerEnvironment);

}  // namespace
