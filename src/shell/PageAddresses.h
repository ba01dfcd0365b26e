// The addresses the main window's commands open and the login address: the
// fixed pages of the menu and toolbar, the login address with its password
// masked wherever it is shown, and the addresses the outside browser is
// refused. Text is Shift_JIS bytes, the refusal messages UTF-8.
#pragma once

#include "shell/Endpoints.h"

#include <string>
#include <string_view>

// The fixed pages the menu and toolbar commands open.
enum class TPageCommand {
    Home,        // "Lotscopeについて"
    AuctionTop,  // "Yahoo!オークション"
    MyStatus,    // "マイ・オークション"
    WatchOpen,   // "ウォッチリスト(開催中)", ToolButton6
    WatchEnded,  // "ウォッチリスト(終了分)"
    Selling,     // "出品中", ToolButton7
    Bidding,     // "入札中", ToolButton8
};

std::string PageAddress(const TEndpoints& endpoints, TPageCommand command);

// The login address. Every byte of the ID and of the password but A-Z, a-z,
// 0-9, "-", ".", "_" and "~" is percent-encoded (%XX, upper-case hex), so
// the site receives both as they were typed; the rest of the address is
// fixed.
std::string LoginAddress(const TEndpoints& endpoints, std::string_view yahooId, std::string_view password);

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
