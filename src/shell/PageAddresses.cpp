#include "shell/PageAddresses.h"

#include "textconv/ByteRules.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace {

constexpr std::string_view kLoginPath = "/config/login";
constexpr std::string_view kPasswordKey = "passwd=";

// Every byte but the unreserved ones of an address (A-Z a-z 0-9 - . _ ~)
// as %XX with upper-case hex.
std::string PercentEncoded(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                                b == '-' || b == '.' || b == '_' || b == '~';
        if (unreserved)
            out += c;
        else
            byterules::AppendPercentEscape(out, b, byterules::THexLetters::Upper);
    }
    return out;
}

std::string Join(std::initializer_list<std::string_view> parts)
{
    std::string out;
    std::size_t n = 0;
    for (auto p : parts)
        n += p.size();
    out.reserve(n);
    for (auto p : parts)
        out.append(p);
    return out;
}

}  // namespace

std::string PageAddress(const TEndpoints& e, TPageCommand command)
{
    switch (command) {
    case TPageCommand::Home:
        return e.Home;
    case TPageCommand::AuctionTop:
        return e.AuctionTop + "/";
    case TPageCommand::MyStatus:
        return e.AuctionStatus + "/jp/show/mystatus";
    case TPageCommand::WatchOpen:
        return e.AuctionStatus + "/jp/show/mystatus?select=watchlist&watchclosed=0";
    case TPageCommand::WatchEnded:
        return e.AuctionStatus + "/jp/show/mystatus?select=watchlist&s1=end&watchclosed=1";
    case TPageCommand::Selling:
        return e.AuctionStatus + "/jp/show/mystatus?select=selling";
    case TPageCommand::Bidding:
        return e.AuctionStatus + "/jp/show/mystatus?select=bidding";
    }
    return {};
}

std::string LoginAddress(const TEndpoints& e, std::string_view yahooId, std::string_view password)
{
    return Join({e.Login, kLoginPath, "?.src=auc&.done=", e.AuctionTop, "/jp", "&login=", PercentEncoded(yahooId),
                 "&passwd=", PercentEncoded(password)});
}

std::string LoginAddressHead(const TEndpoints& e) { return Join({e.Login, kLoginPath, "?"}); }

namespace {

// Where head next occurs in text from `from` on, compared without regard to
// case; npos when nowhere.
std::size_t FindCaseless(std::string_view text, std::string_view head, std::size_t from)
{
    const auto at = std::search(
        text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), head.begin(), head.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
    return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
}

}  // namespace

bool IsLoginAddress(const TEndpoints& e, std::string_view text)
{
    return FindCaseless(text, LoginAddressHead(e), 0) != std::string_view::npos;
}

bool IsBuiltInAddress(std::string_view text)
{
    // The outside browser gets the text trimmed (QUrl::fromUserInput).
    const std::size_t start = text.find_first_not_of(" \t\r\n\f\v");
    if (start == std::string_view::npos)
        return false;
    constexpr std::string_view scheme = "qrc:";
    const std::string_view head = text.substr(start, scheme.size());
    return head.size() == scheme.size() && std::equal(head.begin(), head.end(), scheme.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

std::string MaskLoginAddress(const TEndpoints& e, std::string_view text)
{
    const std::string head = LoginAddressHead(e);
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;  // text before this is in out
    for (std::size_t at = FindCaseless(text, head, 0); at != std::string_view::npos;
         at = FindCaseless(text, head, done)) {
        // The login address's query runs to the first "#". Every "passwd"
        // parameter in it is masked, those of a login address nested in it
        // too: a parameter starts after "?" or "&" and ends at the next "&".
        const std::size_t queryStart = at + head.size();
        const std::size_t queryEnd = std::min(text.find('#', queryStart), text.size());
        out.append(text.substr(done, queryStart - done));
        for (std::size_t p = queryStart; p < queryEnd;) {
            const bool parameterStart = p == queryStart || text[p - 1] == '&' || text[p - 1] == '?';
            if (parameterStart && text.substr(p, queryEnd - p).starts_with(kPasswordKey)) {
                out.append(kPasswordKey).append(kPasswordMask);
                p = std::min(text.find('&', p), queryEnd);
            } else {
                out += text[p++];
            }
        }
        done = queryEnd;
    }
    out.append(text.substr(done));
    return out;
}

std::string AddressToOpen(const TEndpoints& e, std::string_view typed, std::string_view location)
{
    if (IsLoginAddress(e, location) && typed == MaskLoginAddress(e, location))
        return std::string(location);
    return std::string(typed);
}
