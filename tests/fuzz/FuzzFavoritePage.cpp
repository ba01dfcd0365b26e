// The add dialog's page recognition over arbitrary address bytes. Besides
// the sanitizers, checks what must hold for any address: the URL is the
// address (less a final "?" on a user page) or empty with no marker, and
// names not taken from a search term are pieces of the address.
#include "favorites/AddFavorite.h"
#include "textconv/PzConv.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    TPzConv conv;
    const TFavoritePrefill got = RecogniseFavoritePage(address, conv);

    const bool urlIsAddress = got.Url == address;
    const bool urlLostFinalQuestionMark = got.Kind == fkUser && !address.empty() && address.back() == '?' &&
                                          got.Url == address.substr(0, address.size() - 1);
    const bool noMarker = got.Kind == fkSearchWord && got.Url.empty() && got.Name.empty();
    if (!urlIsAddress && !urlLostFinalQuestionMark && !noMarker)
        std::abort();
    if (got.Kind != fkSearchWord && address.find(got.Name) == std::string_view::npos)
        std::abort();
    if (got.Kind == fkUser && got.Name.find('?') != std::string::npos &&
        address.find("jp/show/auctions?userID=") == std::string_view::npos)
        std::abort();
    return 0;
}
