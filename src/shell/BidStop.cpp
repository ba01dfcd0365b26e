#include "shell/BidStop.h"

#include "textconv/ByteRules.h"

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

bool HasMarker(std::string_view text) { return text.find(kBidPreviewMarker) != std::string_view::npos; }

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
    // decoding, and some decode the path again after routing; more passes
    // are no server's habit, and would cost time growing with the square of
    // the address's length.
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
bool TBidStop::Allows(std::string_view address) const noexcept
{
    const int mode = Flag;
    try {
        return !BidStopApplies(mode, address);
    } catch (...) {
        return mode != 1;
    }
}
