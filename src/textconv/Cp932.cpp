#include "textconv/Cp932.h"

#include "textconv/ByteRules.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include <iconv.h>

namespace cp932 {
namespace {

constexpr const char* kUtf16Name = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = u'\uFFFD';

// One iconv descriptor per direction and thread, opened on first use and
// closed when the thread ends. Each conversion resets the shift state first.
class Descriptor {
public:
    Descriptor(const char* to, const char* from) : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Descriptor() { iconv_close(m_cd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    iconv_t Reset()
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        return m_cd;
    }

private:
    iconv_t m_cd;
};

iconv_t Cp932ToUtf16()
{
    thread_local Descriptor d(kUtf16Name, "CP932");
    return d.Reset();
}
iconv_t Utf16ToCp932()
{
    thread_local Descriptor d("CP932", kUtf16Name);
    return d.Reset();
}
iconv_t Utf16ToUtf8()
{
    thread_local Descriptor d("UTF-8", kUtf16Name);
    return d.Reset();
}
iconv_t Utf8ToUtf16()
{
    thread_local Descriptor d(kUtf16Name, "UTF-8");
    return d.Reset();
}
iconv_t Cp932ToEucJpMs()
{
    thread_local Descriptor d("EUC-JP-MS", "CP932");
    return d.Reset();
}

iconv_t EucJpMsToCp932()
{
    thread_local Descriptor d("CP932", "EUC-JP-MS");
    return d.Reset();
}

// Converts all `size` bytes at `data` into a byte buffer (outGuess bytes
// are tried first), failing on the first sequence iconv cannot convert
// (invalid, unmappable or cut off at the end).
std::optional<std::string> ConvertStrict(iconv_t cd, const void* data, std::size_t size, std::size_t outGuess)
{
    std::string out(outGuess + 16, '\0');
    char* in = const_cast<char*>(static_cast<const char*>(data));
    std::size_t inLeft = size;
    std::size_t used = 0;
    for (;;) {
        char* o = out.data() + used;
        std::size_t outLeft = out.size() - used;
        const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        used = static_cast<std::size_t>(o - out.data());
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG)
            return std::nullopt;
        out.resize(out.size() * 2);
    }
    out.resize(used);
    return out;
}

// Length of the bad character at `p`: a lead byte with a byte of the trail
// range after it is one (unmapped) two-byte character; anything else is a
// single bad byte, so an ASCII byte after a broken lead byte still converts.
std::size_t BadCharLength(const char* p, std::size_t left)
{
    const auto b = static_cast<std::uint8_t>(p[0]);
    if (left >= 2 && byterules::IsSjisLeadByte(b) && byterules::IsSjisTrailByte(static_cast<std::uint8_t>(p[1])))
        return 2;
    return 1;
}

}  // namespace

std::u16string ToUtf16(std::string_view sjis)
{
    // Every character, good or bad, takes at least one byte and gives one
    // UTF-16 unit, so the input length bounds the output.
    std::u16string out(sjis.size() + 1, u'\0');
    iconv_t cd = Cp932ToUtf16();
    char* in = const_cast<char*>(sjis.data());
    std::size_t inLeft = sjis.size();
    std::size_t used = 0;  // in UTF-16 units
    while (inLeft > 0) {
        char* o = reinterpret_cast<char*>(out.data() + used);
        std::size_t outLeft = (out.size() - used) * sizeof(char16_t);
        const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
        used = static_cast<std::size_t>(reinterpret_cast<char16_t*>(o) - out.data());
        if (r != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ (no mapping / invalid) or EINVAL (cut off at the end).
        if (used == out.size())
            out.resize(out.size() * 2);
        out[used++] = kReplacement;
        const std::size_t skip = BadCharLength(in, inLeft);
        in += skip;
        inLeft -= skip;
        cd = Cp932ToUtf16();
    }
    out.resize(used);
    return out;
}

std::optional<std::string> FromUtf16(std::u16string_view text)
{
    return ConvertStrict(Utf16ToCp932(), text.data(), text.size() * sizeof(char16_t), text.size() * 2);
}

std::string ToUtf8(std::string_view sjis)
{
    const std::u16string wide = ToUtf16(sjis);
    // ToUtf16 yields only BMP characters and U+FFFD, all of which UTF-8 holds.
    auto utf8 = ConvertStrict(Utf16ToUtf8(), wide.data(), wide.size() * sizeof(char16_t), wide.size() * 3);
    return utf8 ? std::move(*utf8) : std::string();
}

std::optional<std::string> FromUtf8(std::string_view utf8)
{
    auto bytes = ConvertStrict(Utf8ToUtf16(), utf8.data(), utf8.size(), utf8.size() * 2);
    if (!bytes)
        return std::nullopt;
    std::u16string wide(bytes->size() / sizeof(char16_t), u'\0');
    std::memcpy(wide.data(), bytes->data(), wide.size() * sizeof(char16_t));
    return FromUtf16(wide);
}

std::optional<std::string> ToEucJpMs(std::string_view sjis)
{
    return ConvertStrict(Cp932ToEucJpMs(), sjis.data(), sjis.size(), sjis.size() * 3 / 2);
}

std::optional<std::string> FromEucJpMs(std::string_view euc)
{
    return ConvertStrict(EucJpMsToCp932(), euc.data(), euc.size(), euc.size());
}

}  // namespace cp932
