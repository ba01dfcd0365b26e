// UrlEncode and UrlDecode on arbitrary bytes.
#include "textconv/PzConv.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);

    const std::string encoded = TPzConv::UrlEncode(text);
    for (const char c : encoded)
        Check(static_cast<std::uint8_t>(c) < 0x80 && c != ' ');

    const std::string decoded = TPzConv::UrlDecode(text);
    Check(decoded.size() <= size);
    for (const char c : decoded)
        Check(c != '+');  // a plus always reads as a space

    // Encoding is undone by decoding as long as no '%' was in the text (the
    // decoder would read it as an escape); a literal '+' comes back a space.
    if (text.find('%') == std::string::npos) {
        std::string expected = text;
        for (char& c : expected)
            if (c == '+')
                c = ' ';
        Check(TPzConv::UrlDecode(encoded) == expected);
        if (text.find('+') == std::string::npos)
            Check(TPzConv::UrlDecode(text) == text);
    }
    return 0;
}
