// The search addresses of the four search buttons. The term comes as the
// search box holds it, in Shift_JIS, and so does the address built here;
// the window hands the address to the browser as text, and the browser
// sends every character beyond ASCII in it as UTF-8 percent-escapes. So
// the sites read the term in two encodings:
// - the auction search: EUC-JP with the Microsoft extensions, converted and
//   percent-encoded here, so that only ASCII reaches the browser;
// - Amazon, Kakaku and aucfan: UTF-8; the term goes in as typed, and the
//   browser's last hop writes it, like the fixed Japanese text of the
//   Amazon and aucfan addresses, as UTF-8.
#pragma once

#include "shell/Endpoints.h"

#include <string>
#include <string_view>

class TPzConv;

// The four outside searches, by button.
enum class TSearchSite {
    Auction,  // ToolButton13: EUC-JP
    Amazon,   // ToolButton10: UTF-8
    Kakaku,   // ToolButton11: UTF-8
    Aucfan,   // ToolButton12: UTF-8
};

// The search address for a term typed in the search box. Only the auction
// search converts the term (EUC-JP, then percent-encoded by conv); the
// others insert it as typed. Within the term, the characters a query reads
// specially are escaped for every site (SearchTerm.h).
std::string SearchAddress(const TEndpoints& endpoints, TSearchSite site, std::string_view term, const TPzConv& conv);
