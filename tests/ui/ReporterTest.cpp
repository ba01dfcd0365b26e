#include "ui/Reporter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ErrorDisplayText, PointAfterMessagesEndingAboveThePoint)
{
    struct Row {
        std::string message;
        std::string shown;
    };
    const Row rows[] = {
        {"", ""},
        {"abc", "abc."},
        {"a-", "a-"},
        {"a.", "a."},
        {"a,", "a,"},
        {"a/", "a/."},
        {"1", "1."},
        {"I/O エラー (5)", "I/O エラー (5)"},
        {"ファイルが見つかりません", "ファイルが見つかりません."},
        {"'' は整数ではありません", "'' は整数ではありません."},
        {"値: é", "値: é."},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ErrorDisplayText(row.message), row.shown) << row.message;
}

}  // namespace
