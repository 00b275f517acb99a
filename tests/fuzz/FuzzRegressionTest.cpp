// Replays every committed regression input through its fuzz target, so a
// reader that regresses on an input once found is caught by the normal suite
// too: the target must return (a refusal by the reader's own read error is a
// return) within the test's deadline.
#include "tests/fuzz/FuzzFiles.h"
#include "tests/fuzz/FuzzRegressions.h"
#include "tests/fuzz/FuzzTarget.h"

#include <gtest/gtest.h>

#include <exception>
#include <set>

namespace {

const brimfuzz::Target* targetNamed(const std::string& name) {
    for (const brimfuzz::Target& t : brimfuzz::targets())
        if (name == t.name) return &t;
    return nullptr;
}

TEST(FuzzRegressions, EveryTargetIsLinkedIntoTheSuite) {
    std::set<std::string> names;
    for (const brimfuzz::Target& t : brimfuzz::targets()) names.insert(t.name);
    EXPECT_EQ(names, (std::set<std::string>{"vault_text", "vault_body", "key_file", "key_backup", "encrypted_header",
                                            "lzrw_block", "compressed_stream", "buffer_stream", "row_codec",
                                            "point_list"}));
}

TEST(FuzzRegressions, EveryCommittedInputRunsCleanThroughItsTarget) {
    ASSERT_FALSE(brimfuzz::regressionInputs().empty());
    for (const brimfuzz::RegressionInput& input : brimfuzz::regressionInputs()) {
        SCOPED_TRACE(input.target + "/" + input.name);
        const brimfuzz::Target* target = targetNamed(input.target);
        ASSERT_NE(target, nullptr) << "no fuzz target of that name";
        try {
            target->run(input.bytes.data(), input.bytes.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << "escaped the reader: " << e.what();
        }
        fuzzfiles::clear();
    }
}

}  // namespace
