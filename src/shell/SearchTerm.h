// How a typed search term goes into a search address so that each site
// reads back what was typed. The term comes in as Shift_JIS bytes; what
// each site reads is in SearchAddresses.h.
#pragma once

#include <string>
#include <string_view>

class TPzConv;

// The term with the bytes a query reads specially ("%", "&", "+", "#",
// "=") and control bytes written as "%" and two capital hexadecimal digits;
// every other byte, spaces and Shift_JIS characters included, is kept.
std::string EscapeQueryTerm(std::string_view sjis);

// The term in EUC-JP for the auction search: conv's SjisToEuc for JIS X 0208
// text, ASCII and half-width kana; characters outside JIS X 0208 (Shift_JIS
// lead bytes 0xED-0xFC, where SjisToEuc's arithmetic leaves the character
// set) in EUC-JP with the Microsoft extensions, "?" for one without a form.
std::string AuctionTermToEuc(std::string_view sjis, const TPzConv& conv);

// The value of the auction search's "p=": the term in EUC-JP, query
// characters escaped, then conv's UrlEncode (space "+", upper half "%xx").
std::string AuctionSearchValue(std::string_view sjis, const TPzConv& conv);
