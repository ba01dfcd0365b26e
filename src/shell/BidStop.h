// The bid self-restraint stop, in one place: the bid-preview marker, the
// test of an address against it, the mode's flag, the check the browser
// engine asks before every request, and the check the main window makes on
// every completed page. While the mode is on, no request for the auction
// site's bid-preview page leaves the machine; a page that shows one anyway
// is left at once.
#pragma once

#include <string_view>

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
// What the status bar says while the stop refuses a page (UTF-8).
inline constexpr const char* kBidStopStatus = "入札自主規制モードのため入札確認ページを開きませんでした";

class TBidStop {
public:
    // The running value of the mode, on only when it equals 1.
    int Flag = 0;

    // Whether a request for address may leave the machine. The browser asks
    // for every request, on the UI thread, with the address as the engine
    // sends it (fully percent-encoded ASCII, so no text conversion here).
    // An address that cannot be checked is refused while the mode is on.
    bool Allows(std::string_view address) const noexcept;

    // Whether the page now shown at address must be left (the address box's
    // Shift_JIS text): the second line behind Allows.
    bool MustLeave(std::string_view address) const { return BidStopApplies(Flag, address); }
};
