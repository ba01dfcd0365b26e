// Base64Encode and Base64Decode on arbitrary bytes.
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

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    const std::string encoded = TPzConv::Base64Encode(bytes);
    Check(encoded.size() == 4 * ((size + 2) / 3));
    Check(TPzConv::Base64Decode(encoded) == bytes);

    // Any text decodes: three bytes per full group of four, less one for
    // each '=' in the group's third or fourth place.
    std::size_t expected = 0;
    for (std::size_t i = 0; i + 4 <= size; i += 4)
        expected += 1 + (bytes[i + 2] != '=') + (bytes[i + 3] != '=');
    Check(TPzConv::Base64Decode(bytes).size() == expected);

    // Text of whole groups of alphabet characters decodes and encodes back
    // to itself (every 24 bits are used).
    std::string text;
    for (std::size_t i = 0; i < size / 4 * 4; ++i)
        text += kAlphabet[data[i] % 64];
    Check(TPzConv::Base64Encode(TPzConv::Base64Decode(text)) == text);
    return 0;
}
