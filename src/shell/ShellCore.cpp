#include "shell/ShellCore.h"

#include "shell/SearchTerm.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// Fixed program text of the search addresses, in Shift_JIS: "日本語" is
// 93 FA 96 7B 8C EA and "あ" is 82 A0 in code page 932.
constexpr std::string_view kAmazonTail =
    "&mode=blended&tag=quillbrookmer-22&encoding-string-jp=\x93\xFA\x96\x7B\x8C\xEA";
constexpr std::string_view kAucfanHead = "/search0?code=\x82\xA0&ym=-1&search=";

constexpr std::string_view kLoginPath = "/config/login";
constexpr std::string_view kPasswordKey = "passwd=";

// Every byte but the unreserved ones of an address (A-Z a-z 0-9 - . _ ~)
// as %XX with upper-case hex.
std::string PercentEncoded(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        const bool unreserved = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                                b == '-' || b == '.' || b == '_' || b == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
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

std::string SearchAddress(const TEndpoints& e, TSearchSite site, std::string_view term,
                          const TPzConv& conv)
{
    switch (site) {
    case TSearchSite::Auction:
        return Join({e.AuctionSearch, "/search/auc?p=", AuctionSearchValue(term, conv)});
    case TSearchSite::Amazon:
        return Join({e.Amazon, "/exec/obidos/external-search?keyword=", EscapeQueryTerm(term), kAmazonTail});
    case TSearchSite::Kakaku:
        return Join({e.Kakaku, "/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=", EscapeQueryTerm(term)});
    case TSearchSite::Aucfan:
        return Join({e.Aucfan, kAucfanHead, EscapeQueryTerm(term)});
    }
    return {};
}

std::string LoginAddress(const TEndpoints& e, std::string_view yahooId, std::string_view password)
{
    return Join({e.Login, kLoginPath, "?.src=auc&.done=", e.AuctionTop, "/jp", "&login=",
                 PercentEncoded(yahooId), "&passwd=", PercentEncoded(password)});
}

namespace {

// Where head next occurs in text from `from` on, compared without regard to
// case; npos when nowhere.
std::size_t FindCaseless(std::string_view text, std::string_view head, std::size_t from)
{
    const auto at = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), head.begin(),
                                head.end(), [](char a, char b) {
                                    return std::tolower(static_cast<unsigned char>(a)) ==
                                           std::tolower(static_cast<unsigned char>(b));
                                });
    return at == text.end() ? std::string_view::npos : static_cast<std::size_t>(at - text.begin());
}

}  // namespace

bool IsLoginAddress(const TEndpoints& e, std::string_view text)
{
    return FindCaseless(text, Join({e.Login, kLoginPath, "?"}), 0) != std::string_view::npos;
}

std::string MaskLoginAddress(const TEndpoints& e, std::string_view text)
{
    const std::string head = Join({e.Login, kLoginPath, "?"});
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

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// One pass of percent-decoding; a "%" without two hex digits stays.
std::string PercentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The path with its "." and ".." segments resolved.
std::string WithoutDotSegments(std::string_view path)
{
    std::vector<std::string_view> kept;
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (segment == "..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (segment != ".") {
            kept.push_back(segment);
        }
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    std::string out;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            out += '/';
        out.append(kept[i]);
    }
    return out;
}

bool HasMarker(std::string_view text)
{
    return text.find(kBidPreviewMarker) != std::string_view::npos;
}

// The path with ";" parameters removed from each segment.
std::string WithoutParameters(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    bool inParameter = false;
    for (char c : path) {
        if (c == '/' || c == '\\')
            inParameter = false;
        else if (c == ';')
            inParameter = true;
        if (!inParameter)
            out += c;
    }
    return out;
}

// The path with a backslash taken for a slash and runs of slashes as one.
std::string Collapsed(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            c = '/';
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    }
    return out;
}

}  // namespace

bool IsBidPreview(std::string_view address)
{
    if (HasMarker(address))
        return true;
    // Servers differ in whether they cut the parameters before or after
    // decoding, and some decode the path again after routing; more passes
    // are no server's habit, and would cost time growing with the square of
    // the address's length.
    const std::string_view raw = address.substr(0, address.find_first_of("?#"));
    const auto decoded = [](std::string_view text) { return PercentDecoded(PercentDecoded(text)); };
    for (const std::string& path :
         {Collapsed(WithoutParameters(decoded(raw))), Collapsed(decoded(WithoutParameters(raw)))}) {
        if (HasMarker(path) || HasMarker(WithoutDotSegments(path)))
            return true;
    }
    return false;
}

bool BidStopApplies(int bidRestraintFlag, std::string_view address)
{
    return bidRestraintFlag == 1 && IsBidPreview(address);
}

std::optional<TTreeNodeRef> TreeNodeAt(const TFavoriteTables& tables, std::size_t p)
{
    for (TFavoriteKind kind : kFavoriteKinds) {
        if (p == 0)
            return TTreeNodeRef{kind, std::nullopt};
        --p;
        const std::size_t count = tables[kind].size();
        if (p < count)
            return TTreeNodeRef{kind, p};
        p -= count;
    }
    return std::nullopt;
}
