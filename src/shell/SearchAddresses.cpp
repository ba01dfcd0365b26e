#include "shell/SearchAddresses.h"

#include "shell/SearchTerm.h"

namespace {

// Fixed program text of the search addresses, in Shift_JIS: "日本語" is
// 93 FA 96 7B 8C EA and "あ" is 82 A0 in code page 932.
constexpr char kAmazonTail[] = "&mode=blended&tag=quillbrookmer-22&encoding-string-jp=\x93\xFA\x96\x7B\x8C\xEA";
constexpr char kAucfanHead[] = "/search0?code=\x82\xA0&ym=-1&search=";

}  // namespace

std::string SearchAddress(const TEndpoints& e, TSearchSite site, std::string_view term, const TPzConv& conv)
{
    switch (site) {
    case TSearchSite::Auction:
        return e.AuctionSearch + "/search/auc?p=" + AuctionSearchValue(term, conv);
    case TSearchSite::Amazon:
        return e.Amazon + "/exec/obidos/external-search?keyword=" + EscapeQueryTerm(term) + kAmazonTail;
    case TSearchSite::Kakaku:
        return e.Kakaku + "/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=" + EscapeQueryTerm(term);
    case TSearchSite::Aucfan:
        return e.Aucfan + kAucfanHead + EscapeQueryTerm(term);
    }
    return {};
}
