#include "shell/SearchTerm.h"

#include "textconv/ByteRules.h"
#include "textconv/Cp932.h"
#include "textconv/PzConv.h"

#include <cstdint>

namespace {

constexpr bool IsQuerySpecial(std::uint8_t b)
{
    return byterules::IsControl(b) || b == '%' || b == '&' || b == '+' || b == '#' || b == '=';
}

// Lead bytes of the NEC-selected IBM extensions (0xED, 0xEE), the
// user-defined area (0xF0-0xF9) and the IBM extensions (0xFA-0xFC).
constexpr bool IsOutsideJisX0208(std::uint8_t lead) { return lead >= 0xED && lead <= 0xFC; }

}  // namespace

std::string EscapeQueryTerm(std::string_view sjis)
{
    std::string out;
    out.reserve(sjis.size());
    for (char c : sjis) {
        const auto b = static_cast<std::uint8_t>(c);
        if (IsQuerySpecial(b))
            byterules::AppendPercentEscape(out, b, byterules::THexLetters::Upper);
        else
            out += c;
    }
    return out;
}

std::string AuctionTermToEuc(std::string_view sjis, const TPzConv& conv)
{
    // Runs of ordinary text go through SjisToEuc whole, so that a
    // half-width kana still merges with the sound mark after it.
    std::string out;
    std::size_t runStart = 0;
    std::size_t i = 0;
    while (i < sjis.size()) {
        const auto b = static_cast<std::uint8_t>(sjis[i]);
        if (!byterules::IsSjisLeadByte(b)) {
            ++i;
            continue;
        }
        if (!IsOutsideJisX0208(b)) {
            i += 2;
            continue;
        }
        out += conv.SjisToEuc(sjis.substr(runStart, i - runStart));
        if (auto euc = cp932::ToEucJpMs(sjis.substr(i, 2))) {
            out += *euc;
            i += 2;
        } else {
            // Not a character: the lead byte alone stands for it, and the
            // byte after it is read afresh.
            out += '?';
            i += 1;
        }
        runStart = i;
    }
    out += conv.SjisToEuc(sjis.substr(std::min(runStart, sjis.size())));
    return out;
}

std::string AuctionSearchValue(std::string_view sjis, const TPzConv& conv)
{
    return TPzConv::UrlEncode(EscapeQueryTerm(AuctionTermToEuc(sjis, conv)));
}
