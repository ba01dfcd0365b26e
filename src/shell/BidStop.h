// The bid self-restraint stop, in one place: the bid-preview marker, the
// test of an address against it, the further roads a bid takes on the
// auction site today, the mode's flag, the check the browser engine asks
// before every request, and the check the main window makes on every
// completed page. While the mode is on, no request for the auction site's
// bid-preview page, its bid API or its bid-placing page leaves the machine;
// a page that shows the preview anyway is left at once.
#pragma once

#include <string_view>
#include <utility>

// The bid-preview marker, searched case-sensitively anywhere in an address,
// and in the address's path as a lenient server reads it: the part before
// the query with its percent-escapes decoded (twice over), ";" parameters
// removed from each segment (before or after the decoding), a backslash
// taken for a slash and repeated slashes collapsed, once as it stands and
// once with its "." and ".." segments resolved.
inline constexpr std::string_view kBidPreviewMarker = "jp/show/bid_preview";
bool IsBidPreview(std::string_view address);
// Whether the bid self-restraint stop applies: the flag equals 1 and the
// address is a bid-preview page.
bool BidStopApplies(int bidRestraintFlag, std::string_view address);

// The roads a bid takes today besides the preview page: the bid API's calls
// on one item ("api/bid/v1/items/", one segment, then the segment "bid",
// with or without more segments, as in ".../bid/preview"), and the page an
// older form posts a confirmed bid to. The API's other calls ("bids/<id>",
// "time/<id>") place nothing and go.
inline constexpr std::string_view kBidApiItemsPrefix = "api/bid/v1/items/";
inline constexpr std::string_view kPlaceBidMarker = "jp/config/placebid";
// Whether a request for address is on a bid's road, as a lenient server
// reads it: the preview as IsBidPreview finds it; any of the three roads
// anywhere in the address as it stands; or in its path (the part before the
// query) compared without regard to case, as it stands, percent-decoded
// once, twice and until decoding changes nothing more, each with the
// readings of IsBidPreview (";" parameters, backslashes, repeated slashes,
// dot segments). Time and memory grow linearly with the address's length.
bool IsBidRoad(std::string_view address);
// What the status bar says while the stop refuses a page (UTF-8).
inline constexpr const char* kBidStopStatus = "入札自主規制モードのため入札確認ページを開きませんでした";

class TBidStop {
public:
    // The running value of the mode, on only when it equals 1.
    int Flag = 0;

    // Whether a request for address may leave the machine: not while the
    // mode is on and the address is on a bid's road (IsBidRoad). The browser
    // asks for every request, on the UI thread, with the address as the
    // engine sends it (fully percent-encoded ASCII, so no text conversion here).
    // An address that cannot be checked is refused while the mode is on.
    bool Allows(std::string_view address) const noexcept;

    // Whether the page now shown at address must be left (the address box's
    // Shift_JIS text): the second line behind Allows.
    bool MustLeave(std::string_view address) const { return BidStopApplies(Flag, address); }

    // The status line: kBidStopStatus goes up when the stop refuses a
    // request, and stays over the empty status text that ends the load the
    // refusal cut short (once; other texts leave that pending).
    void Refused() noexcept { m_statusShown = true; }
    bool KeepsStatusOver(bool statusTextEmpty) noexcept
    {
        return statusTextEmpty && std::exchange(m_statusShown, false);
    }

private:
    bool m_statusShown = false;
};
