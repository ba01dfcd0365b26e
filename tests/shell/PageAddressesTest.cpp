// The fixed pages of the commands and the login address with its mask.
#include "shell/PageAddresses.h"
#include "SampleEndpoints.h"

#include <gtest/gtest.h>

namespace {

TEST(PageAddress, EveryCommandOpensItsFixedPage)
{
    struct Row {
        const char* name;
        TPageCommand command;
        std::string expected;
        TEndpoints endpoints = Sample();
    };
    TEndpoints statusBelowPath = Sample();
    statusBelowPath.AuctionStatus += "/user";
    const Row rows[] = {
        {"home", TPageCommand::Home, "qrc:/x/home.html"},
        {"top", TPageCommand::AuctionTop, "https://top.example.jp/"},
        {"mystatus", TPageCommand::MyStatus, "https://status.example.jp/jp/show/mystatus"},
        {"watch open", TPageCommand::WatchOpen,
         "https://status.example.jp/jp/show/mystatus?select=watchlist&watchclosed=0"},
        {"watch ended", TPageCommand::WatchEnded,
         "https://status.example.jp/jp/show/mystatus?select=watchlist&s1=end&watchclosed=1"},
        {"selling", TPageCommand::Selling, "https://status.example.jp/jp/show/mystatus?select=selling"},
        {"bidding", TPageCommand::Bidding, "https://status.example.jp/jp/show/mystatus?select=bidding"},
        {"status pages below a path", TPageCommand::WatchOpen,
         "https://status.example.jp/user/jp/show/mystatus?select=watchlist&watchclosed=0", statusBelowPath},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PageAddress(row.endpoints, row.command), row.expected) << row.name;
}

TEST(LoginAddress, IdAndPasswordArePercentEncoded)
{
    struct Row {
        const char* name;
        std::string id, password, expected;
    };
    const std::string head = "https://login.example.jp/config/login?.src=auc&.done=https://top.example.jp/jp";
    const Row rows[] = {
        {"plain", "taro", "secret", head + "&login=taro&passwd=secret"},
        {"empty entry", "", "", head + "&login=&passwd="},
        {"unreserved kept", "a-b.c_d~9", "Z-z.0_~", head + "&login=a-b.c_d~9&passwd=Z-z.0_~"},
        {"separators and blank", "ta&ro", "p+w&x=1#frag %41",
         head + "&login=ta%26ro&passwd=p%2Bw%26x%3D1%23frag%20%2541"},
        {"shift_jis bytes", "\x93\xFA", "!*'()/?", head + "&login=%93%FA&passwd=%21%2A%27%28%29%2F%3F"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(LoginAddress(Sample(), row.id, row.password), row.expected) << row.name;
}

// Wherever a login address would be shown, its password is masked; other
// addresses, and other parameters, stay as they are.
TEST(LoginAddress, PasswordIsMaskedWhereverTheAddressIsShown)
{
    struct Row {
        const char* name;
        std::string text;
        bool login;
        std::string shown;
    };
    const std::string head = "https://login.example.jp/config/login?.src=auc&.done=https://top.example.jp/jp";
    const std::string login = LoginAddress(Sample(), "ta&ro", "p+w&x=1");
    const Row rows[] = {
        {"built address", login, true, head + "&login=ta%26ro&passwd=********"},
        {"empty password", head + "&login=&passwd=", true, head + "&login=&passwd=********"},
        {"every password", head + "&passwd=a&passwd=b", true, head + "&passwd=********&passwd=********"},
        {"typed in capitals, fragment", "HTTPS://LOGIN.example.jp/config/login?passwd=x&a=1#passwd=y", true,
         "HTTPS://LOGIN.example.jp/config/login?passwd=********&a=1#passwd=y"},
        {"no password parameter", head, true, head},
        {"inside another address", "view-source:" + login + "#x&passwd=y", true,
         "view-source:" + head + "&login=ta%26ro&passwd=********#x&passwd=y"},
        {"in another address's query", "https://a.jp/?passwd=k&next=" + login, true,
         "https://a.jp/?passwd=k&next=" + head + "&login=ta%26ro&passwd=********"},
        {"in another login address's query", head + "&next=https://login.example.jp/config/login?passwd=y&a=1", true,
         head + "&next=https://login.example.jp/config/login?passwd=********&a=1"},
        {"other path", "https://login.example.jp/other?passwd=x", false, "https://login.example.jp/other?passwd=x"},
        {"other host", "https://top.example.jp/config/login?passwd=x", false,
         "https://top.example.jp/config/login?passwd=x"},
        {"status text", "ページが表示されました", false, "ページが表示されました"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(IsLoginAddress(Sample(), row.text), row.login) << row.name;
        EXPECT_EQ(MaskLoginAddress(Sample(), row.text), row.shown) << row.name;
    }
    // 移動 on the masked address opens the page's own address, not the mask.
    EXPECT_EQ(AddressToOpen(Sample(), MaskLoginAddress(Sample(), login), login), login);
    EXPECT_EQ(AddressToOpen(Sample(), head + "&passwd=typed", login), head + "&passwd=typed");
}

}  // namespace
