#include "favorites/AddFavorite.h"

#include "settings/TextFile.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <algorithm>
#include <optional>

namespace {

constexpr std::string_view kSearchMarker = "jp/search/auc?p=";
constexpr std::string_view kUserMarker = "jp/user";
constexpr std::string_view kItemMarker = "jp/auction";
constexpr std::string_view kAuctionListMarker = "jp/show/auctions?userID=";

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

}  // namespace

TFavoritePrefill RecogniseFavoritePage(std::string_view S, const TPzConv& conv)
{
    const auto search = Find(S, kSearchMarker);
    const auto user = Find(S, kUserMarker);
    const auto item = Find(S, kItemMarker);
    const auto auctionList = Find(S, kAuctionListMarker);

    TFavoritePrefill result;
    if (search) {
        // The search term is EUC-JP, percent-encoded; everything after the
        // marker counts, further query parameters included.
        result.Kind = fkSearchWord;
        result.Url = std::string(S);
        result.Name = conv.EucToSjis(conv.UrlDecode(S.substr(*search + kSearchMarker.size())));
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
        // The user ID runs from the marker's end to the first "&" of S.
        result.Kind = fkUser;
        result.Url = std::string(S);
        const size_t from = *auctionList + kAuctionListMarker.size();
        const size_t amp = S.find('&');
        result.Name = (amp != std::string_view::npos && amp > from)
                          ? std::string(S.substr(from, amp - from))
                          : std::string();
    }
    if (!search && !user && !item && !auctionList)
        result = TFavoritePrefill{};
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
    const auto isControl = [](char16_t c) { return c < 0x20; };
    if (std::any_of(name.begin(), name.end(), isControl) ||
        std::any_of(url.begin(), url.end(), isControl)) {
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

TFavoriteInputCheck CheckNewFavorite(int kindIndex, std::u16string_view name,
                                     std::u16string_view url)
{
    if (kindIndex < 0 || kindIndex >= static_cast<int>(kFavoriteKinds.size()) || name.empty() ||
        url.empty()) {
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

void AppendFavorite(const std::filesystem::path& dir, TFavoriteKind kind,
                    const TFavoriteEntry& entry)
{
    TFavoriteList list = ReadFavorites(dir, kind);
    list.push_back(entry);
    WriteFavorites(dir, kind, list);
}
