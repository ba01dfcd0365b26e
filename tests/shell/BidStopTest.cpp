#include "shell/BidStop.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Repeated(std::string_view text, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

// stops: the check on a completed page, case-sensitive. refused: the
// request gate, which also reads capitals, every depth of escapes and the
// bid's other roads.
TEST(BidStop, PageCheckIsCaseSensitiveRequestGateReadsEveryRoadLeniently)
{
    struct Row {
        const char* name;
        int flag;
        std::string address;
        bool stops;
        bool refused;
    };
    const Row rows[] = {
        {"on, marker with query", 1, "https://x.jp/jp/show/bid_preview?aID=1&bid=2", true, true},
        {"on, marker at end", 1, "https://x.jp/jp/show/bid_preview", true, true},
        {"on, marker inside query", 1, "https://x.jp/a?next=jp/show/bid_preview", true, true},
        {"off", 0, "https://x.jp/jp/show/bid_preview", false, false},
        {"two is not on", 2, "https://x.jp/jp/show/bid_preview", false, false},
        {"minus one is not on", -1, "https://x.jp/jp/show/bid_preview", false, false},
        {"capitals", 1, "https://x.jp/JP/SHOW/BID_PREVIEW", false, true},
        {"partly capital", 1, "https://x.jp/jp/show/Bid_preview", false, true},
        {"cut marker", 1, "https://x.jp/jp/show/bid_previe", false, false},
        {"empty", 1, "", false, false},
        // What a lenient server serves as the same page.
        {"escaped slashes, either case", 1, "https://x.jp/jp%2Fshow%2fbid_preview?a=1", true, true},
        {"escaped twice", 1, "https://x.jp/jp%252Fshow/bid_preview", true, true},
        {"repeated slashes", 1, "https://x.jp/jp//show///bid_preview", true, true},
        {"segment parameter", 1, "https://x.jp/jp/show;s=1/bid_preview", true, true},
        {"parameter cut before decoding", 1, "https://x.jp/jp;a%2Fb/show/bid_preview", true, true},
        {"escaped backslash", 1, "https://x.jp/jp%5Cshow/bid_preview", true, true},
        {"escaped parameter", 1, "https://x.jp/jp%3Bs=1/show/bid_preview", true, true},
        {"backslash ends a parameter", 1, "https://x.jp/jp;a%5Cshow/bid_preview", true, true},
        {"escaped dot segment", 1, "https://x.jp/jp/show/x%2F..%2Fbid_preview", true, true},
        {"escaped capitals", 1, "https://x.jp/JP%2FSHOW%2FBID_PREVIEW", false, true},
        {"broken escape", 1, "https://x.jp/jp%2show/bid_preview", false, false},
        {"escaped marker in the query", 1, "https://x.jp/a?next=jp%2Fshow%2Fbid_preview", false, false},
        {"escaped three times", 1, "https://x.jp/jp/show/%25252562id_preview", false, true},
        {"escaped escapes, capitals", 1, "https://x.jp/JP%25252FSHOW/%2542ID_PREVIEW;x=1", false, true},
        {"decoding into an escape, once and twice", 1, "https://x.jp/jp/show/%2562id_preview", true, true},
        {"escaped a million times", 1, "https://x.jp/jp/show/%" + Repeated("25", 1000000) + "62id_preview", false,
         true},
        {"escaped a million times, not the marker", 1, "https://x.jp/jp/show/%" + Repeated("25", 1000000) + "62", false,
         false},
        // Today's bid roads: the API's calls on an item, and the posted bid.
        {"bid API preview", 1, "https://a.jp/api/bid/v1/items/x123/bid/preview?price=100&quantity=1", false, true},
        {"bid API placing", 1, "https://a.jp/api/bid/v1/items/x123/bid", false, true},
        {"bid API, escaped and in capitals", 1, "https://a.jp/API/Bid/v1%252Fitems/x123%2Fbid%2Fpreview", false, true},
        {"bid API, dot segment", 1, "https://a.jp/api/bid/v1/items/x/../y/./bid", false, true},
        {"bid API, mode off", 0, "https://a.jp/api/bid/v1/items/x123/bid/preview", false, false},
        {"bid history", 1, "https://a.jp/api/bid/v1/bids/x123", false, false},
        {"bid time", 1, "https://a.jp/api/bid/v1/time/x123", false, false},
        {"item's bid history", 1, "https://a.jp/api/bid/v1/items/x123/bidhistory", false, false},
        {"no item segment", 1, "https://a.jp/api/bid/v1/items//bid", false, false},
        {"placebid", 1, "https://a.jp/jp/config/placebid", false, true},
        {"placebid escaped in capitals", 1, "https://a.jp/JP%2FConfig%252FPLACEBID", false, true},
        {"placebid escaped in the query", 1, "https://a.jp/a?next=jp%2Fconfig%2Fplacebid", false, false},
        {"escaped dot segment inside the marker", 1, "https://x.jp/jp/show%2F.%2Fbid_preview", true, true},
        {"escape at the very end", 1, "https://x.jp/jp/show/bid_previe%77", true, true},
    };
    for (const Row& row : rows) {
        TBidStop stop;
        stop.Flag = row.flag;
        EXPECT_EQ(BidStopApplies(row.flag, row.address), row.stops) << row.name;
        EXPECT_EQ(!stop.Allows(row.address), row.refused) << row.name;
    }
}

TEST(BidStop, StatusLineStaysOnceOverTheEmptyTextAfterARefusal)
{
    struct Row {
        const char* name;
        std::string events;  // R a request refused, T a status text, E the empty status text
        std::string kept;    // for each T or E in turn: 1 when the stop's line stays
    };
    const Row rows[] = {
        {"no refusal", "TE", "00"},
        {"refusal, then the load ends", "RE", "1"},
        {"only once", "REE", "10"},
        {"a text meanwhile leaves it pending", "RTE", "01"},
        {"two refusals, one line", "RRE", "1"},
    };
    for (const Row& row : rows) {
        TBidStop stop;
        std::string kept;
        for (char event : row.events) {
            if (event == 'R')
                stop.Refused();
            else
                kept += stop.KeepsStatusOver(event == 'E') ? '1' : '0';
        }
        EXPECT_EQ(kept, row.kept) << row.name;
    }
}

}  // namespace
