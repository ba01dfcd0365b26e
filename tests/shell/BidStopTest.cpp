#include "shell/BidStop.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BidStop, FlagMustEqualOneAndMarkerIsCaseSensitiveInTheAddressOrItsLenientPath)
{
    struct Row {
        const char* name;
        int flag;
        std::string address;
        bool stops;
    };
    const Row rows[] = {
        {"on, marker with query", 1, "https://x.jp/jp/show/bid_preview?aID=1&bid=2", true},
        {"on, marker at end", 1, "https://x.jp/jp/show/bid_preview", true},
        {"on, marker inside query", 1, "https://x.jp/a?next=jp/show/bid_preview", true},
        {"off", 0, "https://x.jp/jp/show/bid_preview", false},
        {"two is not on", 2, "https://x.jp/jp/show/bid_preview", false},
        {"minus one is not on", -1, "https://x.jp/jp/show/bid_preview", false},
        {"capitals", 1, "https://x.jp/JP/SHOW/BID_PREVIEW", false},
        {"partly capital", 1, "https://x.jp/jp/show/Bid_preview", false},
        {"cut marker", 1, "https://x.jp/jp/show/bid_previe", false},
        {"empty", 1, "", false},
        // What a lenient server serves as the same page.
        {"escaped slashes, either case", 1, "https://x.jp/jp%2Fshow%2fbid_preview?a=1", true},
        {"escaped twice", 1, "https://x.jp/jp%252Fshow/bid_preview", true},
        {"repeated slashes", 1, "https://x.jp/jp//show///bid_preview", true},
        {"segment parameter", 1, "https://x.jp/jp/show;s=1/bid_preview", true},
        {"parameter cut before decoding", 1, "https://x.jp/jp;a%2Fb/show/bid_preview", true},
        {"escaped backslash", 1, "https://x.jp/jp%5Cshow/bid_preview", true},
        {"escaped parameter", 1, "https://x.jp/jp%3Bs=1/show/bid_preview", true},
        {"backslash ends a parameter", 1, "https://x.jp/jp;a%5Cshow/bid_preview", true},
        {"escaped dot segment", 1, "https://x.jp/jp/show/x%2F..%2Fbid_preview", true},
        {"escaped capitals", 1, "https://x.jp/JP%2FSHOW%2FBID_PREVIEW", false},
        {"broken escape", 1, "https://x.jp/jp%2show/bid_preview", false},
        {"escaped marker in the query", 1, "https://x.jp/a?next=jp%2Fshow%2Fbid_preview", false},
        {"escaped dot segment inside the marker", 1, "https://x.jp/jp/show%2F.%2Fbid_preview", true},
        {"escape at the very end", 1, "https://x.jp/jp/show/bid_previe%77", true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(BidStopApplies(row.flag, row.address), row.stops) << row.name;
}

}  // namespace
