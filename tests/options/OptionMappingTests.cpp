// option.ini's values to the three check boxes and back.
#include "options/OptionMapping.h"

#include "settings/TextFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionMapping, FileValuesSetTheBoxes)
{
    struct TRow {
        const char* Label;
        std::string File;
        TOptionChecks Before;
        TOptionChecks After;
    };
    const TRow rows[] = {
        {"1,0,1", "1,0,1\r\n", {false, true, false}, {true, false, true}},
        {"empty file", "", {true, true, true}, {false, false, false}},
        {"2 leaves box 1 unchecked", "2,1,1\r\n", {false, false, false}, {false, true, true}},
        {"2 leaves box 1 checked", "2,1,1\r\n", {true, false, false}, {true, true, true}},
        {"-1 leaves box 3", "0,0,-1\r\n", {true, true, true}, {false, false, true}},
        {"later lines are not read", "0,0,0\r\n1,1,1\r\n", {true, true, true}, {false, false, false}},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        testfiles::TTempDir dir;
        dir.Write("option.ini", row.File);
        TAppOptions options;
        ReadOptions(dir.path(), options);
        EXPECT_EQ(ChecksFromOptions(options, row.Before), row.After);
    }
}

TEST(OptionMapping, BoxesGiveZeroOrOneAndOneLine)
{
    testfiles::TTempDir dir;
    WriteOptions(dir.path(), OptionsFromChecks({true, false, true}));
    EXPECT_EQ(dir.Read("option.ini"), "1,0,1\r\n");
    WriteOptions(dir.path(), OptionsFromChecks({true, true, true}));
    EXPECT_EQ(dir.Read("option.ini"), "1,1,1\r\n");
    WriteOptions(dir.path(), OptionsFromChecks({false, false, false}));
    EXPECT_EQ(dir.Read("option.ini"), "0,0,0\r\n");
}

}  // namespace
