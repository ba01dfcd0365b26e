#include "favorites/AddFavorite.h"

#include "settings/TextFile.h"
#include "textconv/ByteRules.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::string_view kSearchMarker = "jp/search/auc?p=";
constexpr std::string_view kUserMarker = "jp/user";
constexpr std::string_view kItemMarker = "jp/auction";
constexpr std::string_view kAuctionListMarker = "jp/show/auctions?userID=";
// Today's search and seller pages, recognised only where none of the
// markers above is found.
constexpr std::string_view kTodaySearchMarker = "search/search?p=";
constexpr std::string_view kSellerMarker = "/seller/";

std::optional<size_t> Find(std::string_view s, std::string_view marker)
{
    const size_t at = s.find(marker);
    if (at == std::string_view::npos)
        return std::nullopt;
    return at;
}

// S from `from` to its end; empty when `from` lies beyond it.
std::string Tail(std::string_view s, size_t from)
{
    return from < s.size() ? std::string(s.substr(from)) : std::string();
}

// The value of a query parameter starting at `from`: up to the next
// parameter ("&") or the fragment ("#"), or to the end of S.
std::string_view ParameterValue(std::string_view s, size_t from)
{
    if (from >= s.size())
        return {};
    const std::string_view rest = s.substr(from);
    return rest.substr(0, rest.find_first_of("&#"));
}

// The search term as typed: percent-decoded, where the site writes a typed
// "+" as "%2B" and a blank as "+". UrlDecode turns both into a blank, so
// the term is decoded between its "%2B"s and joined with "+".
std::string DecodeSearchTerm(std::string_view term, const TPzConv& conv)
{
    std::string decoded;
    for (;;) {
        size_t plus = term.find("%2B");
        plus = std::min(plus, term.find("%2b"));
        decoded += conv.UrlDecode(term.substr(0, plus));
        if (plus == std::string_view::npos)
            return decoded;
        decoded += '+';
        term.remove_prefix(plus + 3);
    }
}

// The search term's EUC-JP as Shift_JIS. The auction search sends JIS X
// 0208, ASCII and half-width kana through TPzConv, whose EucToSjis reads
// them back (widening the kana); the characters outside JIS X 0208 it sends
// in EUC-JP with the Microsoft extensions, as three bytes led by 0x8F or in
// the user-defined rows 0xF5-0xFE, and those are read back through that
// encoding. A sequence without a Shift_JIS form is left to EucToSjis.
std::string SearchTermToSjis(std::string_view euc)
{
    std::string out;
    size_t runStart = 0;
    for (size_t i = 0; i < euc.size();) {
        const auto b = static_cast<unsigned char>(euc[i]);
        const size_t width = b < 0x80 ? 1 : b == 0x8E ? 2 : b == 0x8F ? 3 : b >= 0xA1 ? 2 : 1;
        if ((b == 0x8F || b >= 0xF5) && width <= euc.size() - i) {
            if (const auto sjis = cp932::FromEucJpMs(euc.substr(i, width))) {
                out += TPzConv::EucToSjis(euc.substr(runStart, i - runStart));
                out += *sjis;
                runStart = i + width;
            }
        }
        i += width;
    }
    out += TPzConv::EucToSjis(euc.substr(std::min(runStart, euc.size())));
    return out;
}

// UTF-8 as Shift_JIS. A character Shift_JIS has no code for, and a byte
// that is no UTF-8, is written as its escapes (%XX), so the name still says
// what was searched.
std::string Utf8ToSjisKeepingEscapes(std::string_view utf8)
{
    if (auto whole = cp932::FromUtf8(utf8))
        return std::move(*whole);
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        // One character: a lead byte and the continuation bytes after it.
        const auto b = static_cast<unsigned char>(utf8[i]);
        size_t width = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        for (size_t k = 1; k < width; ++k) {
            if (i + k >= utf8.size() || (static_cast<unsigned char>(utf8[i + k]) & 0xC0) != 0x80)
                width = 1;
        }
        const std::string_view character = utf8.substr(i, width);
        if (const auto sjis = cp932::FromUtf8(character)) {
            out += *sjis;
        } else {
            for (char c : character)
                byterules::AppendPercentEscape(out, static_cast<std::uint8_t>(c), byterules::THexLetters::Upper);
        }
        i += width;
    }
    return out;
}

// Today's search term as a name: its escapes decoded as UTF-8 with "+" as a
// blank, in Shift_JIS. Characters typed into the address box unescaped are
// Shift_JIS already and stay as they are.
std::string TodaySearchTermToSjis(std::string_view term)
{
    std::string out, utf8;
    for (size_t i = 0; i < term.size(); ++i) {
        const auto b = static_cast<unsigned char>(term[i]);
        const int high = b == '%' && i + 2 < term.size() ? byterules::HexDigitValue(term[i + 1]) : -1;
        const int low = high >= 0 ? byterules::HexDigitValue(term[i + 2]) : -1;
        if (low >= 0) {
            utf8 += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (b >= 0x80) {
            out += Utf8ToSjisKeepingEscapes(utf8);
            utf8.clear();
            out += term[i];
            if (byterules::IsSjisLeadByte(b) && i + 1 < term.size())
                out += term[++i];
        } else {
            utf8 += b == '+' ? ' ' : term[i];
        }
    }
    return out + Utf8ToSjisKeepingEscapes(utf8);
}

// Today's search and seller pages, for an address no marker of the site's
// older pages was found in.
TFavoritePrefill RecogniseTodaysPage(std::string_view S)
{
    TFavoritePrefill result;
    if (const auto search = Find(S, kTodaySearchMarker)) {
        result.Url = std::string(S);
        result.Name = TodaySearchTermToSjis(ParameterValue(S, *search + kTodaySearchMarker.size()));
    } else if (const auto seller = Find(S, kSellerMarker)) {
        const std::string_view id = S.substr(*seller + kSellerMarker.size());
        result.Kind = fkUser;
        result.Url = std::string(S);
        result.Name = std::string(id.substr(0, id.find_first_of("?/#")));
    }
    return result;
}

}  // namespace

TFavoritePrefill RecogniseFavoritePage(std::string_view S, const TPzConv& conv)
{
    const auto search = Find(S, kSearchMarker);
    const auto user = Find(S, kUserMarker);
    const auto item = Find(S, kItemMarker);
    const auto auctionList = Find(S, kAuctionListMarker);

    TFavoritePrefill result;
    if (search) {
        // The search term is EUC-JP, percent-encoded; it ends where the
        // next parameter or the fragment begins.
        result.Kind = fkSearchWord;
        result.Url = std::string(S);
        result.Name = SearchTermToSjis(DecodeSearchTerm(ParameterValue(S, *search + kSearchMarker.size()), conv));
    }
    if (user) {
        // The marker and the one character after it ("/") are skipped. The
        // name is the user ID, ending before a query; a "?" with nothing
        // after it is dropped from the URL as well.
        result.Kind = fkUser;
        result.Url = std::string(S);
        result.Name = Tail(S, *user + kUserMarker.size() + 1);
        if (const size_t q = result.Name.find('?'); q != std::string::npos)
            result.Name.erase(q);
        if (!result.Url.empty() && result.Url.back() == '?')
            result.Url.pop_back();
    }
    if (item) {
        result.Kind = fkExhibit;
        result.Url = std::string(S);
        result.Name = Tail(S, *item + kItemMarker.size() + 1);
    }
    if (auctionList) {
        // The user ID is the parameter's value, to the end of S when no
        // other parameter follows.
        result.Kind = fkUser;
        result.Url = std::string(S);
        result.Name = std::string(ParameterValue(S, *auctionList + kAuctionListMarker.size()));
    }
    if (!search && !user && !item && !auctionList)
        result = RecogniseTodaysPage(S);
    return result;
}

TFavoriteInputCheck CheckFavoriteTexts(std::u16string_view name, std::u16string_view url)
{
    TFavoriteInputCheck check;
    auto sjisName = cp932::FromUtf16(name);
    auto sjisUrl = cp932::FromUtf16(url);
    if (!sjisName || !sjisUrl) {
        check.Problem = TFavoriteInputProblem::Unrepresentable;
        return check;
    }
    if (std::any_of(name.begin(), name.end(), byterules::IsC0Control) ||
        std::any_of(url.begin(), url.end(), byterules::IsC0Control)) {
        check.Problem = TFavoriteInputProblem::ControlCharacter;
        return check;
    }
    if (name.find(u',') != std::u16string_view::npos) {
        check.Problem = TFavoriteInputProblem::CommaInName;
        return check;
    }
    check.Entry = {std::move(*sjisName), std::move(*sjisUrl)};
    return check;
}

TFavoriteInputCheck CheckNewFavorite(int kindIndex, std::u16string_view name, std::u16string_view url)
{
    if (kindIndex < 0 || kindIndex >= static_cast<int>(kFavoriteKinds.size()) || name.empty() || url.empty()) {
        TFavoriteInputCheck check;
        check.Problem = TFavoriteInputProblem::MissingField;
        return check;
    }
    return CheckFavoriteTexts(name, url);
}

const char* FavoriteInputMessage(TFavoriteInputProblem problem)
{
    switch (problem) {
    case TFavoriteInputProblem::None:
        return "";
    case TFavoriteInputProblem::MissingField:
        return "入力されていない項目があります";
    case TFavoriteInputProblem::CommaInName:
        return "名前に「,」は使えません";
    case TFavoriteInputProblem::ControlCharacter:
        return "名前とURLに改行などの制御文字は使えません";
    case TFavoriteInputProblem::Unrepresentable:
        return cp932::kUnrepresentableMessage;
    }
    return "";
}

std::string FavoriteAddedMessage(std::string_view nameUtf8)
{
    return "お気に入りに「 " + std::string(nameUtf8) + " 」を追加しました";
}

bool AppendFavorite(const std::filesystem::path& dir, TFavoriteKind kind, const TFavoriteEntry& entry,
                    const std::function<bool()>& addDuplicate)
{
    TFavoriteList list = ReadFavorites(dir, kind);
    const bool present =
        std::any_of(list.begin(), list.end(), [&entry](const TFavoriteEntry& e) { return e.Url == entry.Url; });
    if (present && !addDuplicate())
        return false;
    list.push_back(entry);
    WriteFavorites(dir, kind, list);
    return true;
}
