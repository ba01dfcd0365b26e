// The main window's logic that needs no widgets: the addresses its commands
// open, the search and login addresses. Text is Shift_JIS bytes throughout.
#pragma once

#include "favorites/FavoritesTree.h"
#include "shell/BidStop.h"
#include "shell/Endpoints.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class TPzConv;

// The fixed pages the menu and toolbar commands open.
enum class TPageCommand {
    Home,         // "Lotscopeについて"
    AuctionTop,   // "Yahoo!オークション"
    MyStatus,     // "マイ・オークション"
    WatchOpen,    // "ウォッチリスト(開催中)", ToolButton6
    WatchEnded,   // "ウォッチリスト(終了分)"
    Selling,      // "出品中", ToolButton7
    Bidding,      // "入札中", ToolButton8
};

std::string PageAddress(const TEndpoints& endpoints, TPageCommand command);

// The four outside searches, by button.
enum class TSearchSite {
    Auction,  // ToolButton13
    Amazon,   // ToolButton10
    Kakaku,   // ToolButton11
    Aucfan,   // ToolButton12
};

// The search address for a term typed in the search box. Only the auction
// search converts the term (EUC-JP, then percent-encoded by conv); the
// others insert it as typed. Within the term, the characters a query reads
// specially are escaped for every site (SearchTerm.h).
std::string SearchAddress(const TEndpoints& endpoints, TSearchSite site, std::string_view term,
                          const TPzConv& conv);

// The login address. Every byte of the ID and of the password but A-Z, a-z,
// 0-9, "-", ".", "_" and "~" is percent-encoded (%XX, upper-case hex), so
// the site receives both as they were typed; the rest of the address is
// fixed.
std::string LoginAddress(const TEndpoints& endpoints, std::string_view yahooId,
                         std::string_view password);

// Whether text holds a login address anywhere in it: the login endpoint's
// "/config/login" with a query (scheme and host compared without regard to
// case), at its start or inside it ("view-source:", another address's
// query).
bool IsLoginAddress(const TEndpoints& endpoints, std::string_view text);
// What is shown in place of a login address's password.
inline constexpr std::string_view kPasswordMask = "********";
// text with the value of every "passwd" parameter in the query of each
// login address it holds replaced by the mask; any other text as it is.
// The address box, the status bar and the add-favorite dialog show only
// this.
std::string MaskLoginAddress(const TEndpoints& endpoints, std::string_view text);
// What 「e」 says instead of handing a login address to the outside browser
// (UTF-8).
inline constexpr const char* kLoginAddressRefusedMessage =
    "ログイン用のアドレスはパスワードを含むため、外部のブラウザには渡せません";
// Whether text is the address of a page bundled with the program ("qrc:",
// in any case, after leading blanks), which no outside browser can open.
bool IsBuiltInAddress(std::string_view text);
// What 「e」 shows in the status bar instead of handing such an address on
// (UTF-8).
inline constexpr const char* kBuiltInAddressRefusedMessage =
    "このページは Lotscope に組み込まれたページのため、外部のブラウザでは開けません";
// The address 移動 opens for the address box's text: the page's own address
// when the box still shows that page's login address masked, so the mask
// is never sent as a password; otherwise the text as typed.
std::string AddressToOpen(const TEndpoints& endpoints, std::string_view typed, std::string_view location);

// What every login address begins with (the endpoint's "/config/login?"),
// and the parameter that holds its password: the browser drops it from the
// page's address once the site has the login.
std::string LoginAddressHead(const TEndpoints& endpoints);
inline constexpr std::string_view kPasswordParameter = "passwd";
