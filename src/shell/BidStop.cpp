#include "shell/BidStop.h"

#include "textconv/ByteRules.h"

#include <iterator>
#include <string>
#include <vector>

namespace {

using byterules::HexDigitValue;

// One pass of percent-decoding; a "%" without two hex digits stays.
std::string PercentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The path with its "." and ".." segments resolved.
std::string WithoutDotSegments(std::string_view path)
{
    std::vector<std::string_view> kept;
    for (std::size_t start = 0;;) {
        const std::size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (segment == "..") {
            if (!kept.empty())
                kept.pop_back();
        } else if (segment != ".") {
            kept.push_back(segment);
        }
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    std::string out;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0)
            out += '/';
        out.append(kept[i]);
    }
    return out;
}

// The text percent-decoded until decoding changes nothing more, in one
// pass: an escape is decoded as soon as its last digit is written, and a
// decoded byte that completes an escape with the two bytes before it (as
// the "%" of "%2562" written again as "%62") is decoded at once in turn.
// Escapes never overlap (a "%" is no hex digit), so the order of the
// decodings does not change the result; each one shortens the output by
// two bytes, so the work stays linear.
std::string PercentDecodedFully(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        for (std::size_t n = out.size();
             n >= 3 && out[n - 3] == '%' && HexDigitValue(out[n - 2]) >= 0 && HexDigitValue(out[n - 1]) >= 0;
             n = out.size()) {
            const char decoded = static_cast<char>(HexDigitValue(out[n - 2]) * 16 + HexDigitValue(out[n - 1]));
            out.resize(n - 3);
            out += decoded;
        }
    }
    return out;
}

bool HasMarker(std::string_view text) { return text.find(kBidPreviewMarker) != std::string_view::npos; }

// Whether text holds a call of the bid API on one item: the prefix, one
// non-empty segment, then the segment "bid" (ended by a "?" or "#" that
// decoding brought into the path, too).
bool HasBidApiCall(std::string_view text)
{
    constexpr std::string_view kBid = "bid";
    for (std::size_t at = text.find(kBidApiItemsPrefix); at != std::string_view::npos;
         at = text.find(kBidApiItemsPrefix, at + 1)) {
        const std::size_t item = at + kBidApiItemsPrefix.size();
        const std::size_t slash = text.find('/', item);
        if (slash == std::string_view::npos || slash == item)
            continue;
        const std::string_view rest = text.substr(slash + 1);
        if (rest.starts_with(kBid) &&
            (rest.size() == kBid.size() || std::string_view("/?#").find(rest[kBid.size()]) != std::string_view::npos))
            return true;
    }
    return false;
}

bool HasBidRoad(std::string_view text)
{
    return HasMarker(text) || text.find(kPlaceBidMarker) != std::string_view::npos || HasBidApiCall(text);
}

std::string AsciiLowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The path with ";" parameters removed from each segment.
std::string WithoutParameters(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    bool inParameter = false;
    for (char c : path) {
        if (c == '/' || c == '\\')
            inParameter = false;
        else if (c == ';')
            inParameter = true;
        if (!inParameter)
            out += c;
    }
    return out;
}

// The path with a backslash taken for a slash and runs of slashes as one.
std::string Collapsed(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            c = '/';
        if (c != '/' || out.empty() || out.back() != '/')
            out += c;
    }
    return out;
}

}  // namespace

bool IsBidPreview(std::string_view address)
{
    if (HasMarker(address))
        return true;
    // Servers differ in whether they cut the parameters before or after
    // decoding, and some decode the path again after routing. The request
    // gate reads further (IsBidRoad); this check stays as it is.
    const std::string_view raw = address.substr(0, address.find_first_of("?#"));
    const auto decoded = [](std::string_view text) { return PercentDecoded(PercentDecoded(text)); };
    for (const std::string& path :
         {Collapsed(WithoutParameters(decoded(raw))), Collapsed(decoded(WithoutParameters(raw)))}) {
        if (HasMarker(path) || HasMarker(WithoutDotSegments(path)))
            return true;
    }
    return false;
}

bool BidStopApplies(int bidRestraintFlag, std::string_view address)
{
    return bidRestraintFlag == 1 && IsBidPreview(address);
}

bool IsBidRoad(std::string_view address)
{
    if (IsBidPreview(address) || HasBidRoad(address))
        return true;
    // Each reading of the path as a server may route it: decoded as many
    // times as the address was encoded (the fixed point), and the stages on
    // the way that the fixed point may have decoded past. Each stage is read
    // with its ";" parameters kept and cut, and those of the path as it
    // stands may be cut before the decoding as well. A reading equal to the
    // one before it is not read again.
    const std::string_view raw = address.substr(0, address.find_first_of("?#"));
    const auto onRoad = [](std::string_view path) {
        const std::string lowered = AsciiLowered(Collapsed(path));
        return HasBidRoad(lowered) || HasBidRoad(WithoutDotSegments(lowered));
    };
    const std::string cut = WithoutParameters(raw);
    std::vector<std::string_view> sources = {raw};
    if (cut != raw)
        sources.push_back(cut);
    for (const std::string_view source : sources) {
        const std::string once = PercentDecoded(source);
        const std::string twice = PercentDecoded(once);
        const std::string fixed = PercentDecodedFully(source);
        const std::string_view stages[] = {source, once, twice, fixed};
        for (std::size_t i = 0; i < std::size(stages); ++i) {
            if (i > 0 && stages[i] == stages[i - 1])
                continue;
            const std::string withoutParameters = WithoutParameters(stages[i]);
            if (onRoad(stages[i]) || (withoutParameters != stages[i] && onRoad(withoutParameters)))
                return true;
        }
    }
    return false;
}

bool TBidStop::Allows(std::string_view address) const noexcept
{
    const int mode = Flag;
    try {
        return mode != 1 || !IsBidRoad(address);
    } catch (...) {
        return mode != 1;
    }
}
