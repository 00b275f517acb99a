// The version-resource reader on an executable that has one (this test
// program; see VersionResourceTest.rc): each kind reads the entry of the
// first translation's block, and a kind the block lacks reads empty.
#include "components/runtime/qclsysin.h"

#include <gtest/gtest.h>

TEST(VersionResource, EachKindReadsTheFirstTranslationsEntry) {
    struct Case {
        TQCLVersionInfoType kind;
        TQCLInfoType info;
        const char* expected;
    };
    const Case cases[] = {
        {viCompany, itProgCompany, "Quarrendel Test"},
        {viName, itProgName, "Version Probe"},
        {viVersion, itProgVersion, "3.0.5"},
        {viCopyright, itProgCopyright, "(c) Quarrendel"},
        {viTrademark, itProgTrademark, "Probe(tm)"},
        {viDescription, itProgDescription, "Reads its own version resource"},
        {viComments, itProgComments, ""},  // only the other language's block has one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(QCLSIVersionInfo(c.kind), c.expected);
        EXPECT_EQ(GetSystemInfoString(c.info, 1, ""), c.expected);
    }
}
