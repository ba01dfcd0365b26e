#include "textconv/PzConv.h"

#include "textconv/ByteRules.h"
#include "textconv/PzConvTables.h"

#include <algorithm>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using namespace pzconv;

inline Byte At(std::string_view text, std::size_t i) { return static_cast<Byte>(text[i]); }

inline void Put2(char*& out, std::uint16_t code)
{
    out[0] = static_cast<char>(code >> 8);
    out[1] = static_cast<char>(code & 0xFF);
    out += 2;
}

// Output of a conversion that can grow to twice its input. Filling a
// worst-case buffer up front would touch twice the memory ordinary text
// needs, so the buffer is sized for the usual case and room is checked once
// per block of input: a step writes at most two bytes for each input byte
// it uses, and the first regrowth makes room for the worst case of the rest.
class GrowingOutput {
public:
    static constexpr std::size_t kBlock = 4096;

    explicit GrowingOutput(std::size_t inputSize)
        : m_text(inputSize + inputSize / 8 + 16, '\0'), m_at(m_text.data()) { }

    // Room for `block` input bytes now, and `rest` input bytes in all.
    char* Reserve(std::size_t block, std::size_t rest)
    {
        const std::size_t used = static_cast<std::size_t>(m_at - m_text.data());
        if (m_text.size() - used < 2 * block + 2) {
            m_text.resize(used + 2 * rest + 2);
            m_at = m_text.data() + used;
        }
        return m_at;
    }
    void Advance(char* at) { m_at = at; }
    std::string Take()
    {
        m_text.resize(static_cast<std::size_t>(m_at - m_text.data()));
        return std::move(m_text);
    }

private:
    std::string m_text;
    char* m_at;
};

// Shared walk of the two widening operations. The role of each position
// follows the code page 932 rule: a position is a trail byte when the run of
// lead-range bytes directly before it has odd length (a 0x00 is always a
// single byte). The run length is carried forward, so only its parity is kept.
template <bool MergeMarks>
std::string HanToZen(std::string_view text)
{
    GrowingOutput out(text.size());
    const std::size_t size = text.size();
    bool oddLeadRun = false;  // odd count of lead-range bytes just before i
    std::size_t i = 0;
    while (i < size) {
        const std::size_t blockEnd = std::min(size, i + GrowingOutput::kBlock);
        char* o = out.Reserve(blockEnd - i, size - i);
        while (i < blockEnd) {
            const Byte b = At(text, i);
            const bool single = b == 0x00 || (!oddLeadRun && !IsSjisLeadByte(b));
            if (!single || !HanKana(b)) {
                *o++ = static_cast<char>(b);
                oddLeadRun = IsSjisLeadByte(b) ? !oddLeadRun : false;
                ++i;
                continue;
            }
            // A single half-width kana; it is outside the lead range, and so
            // is a mark merged into it, so the run restarts at zero either way.
            oddLeadRun = false;
            if constexpr (MergeMarks) {
                const Byte n = i + 1 < size ? At(text, i + 1) : 0x00;
                bool merged = false;
                Put2(o, WidenKana(b, n, merged));
                i += merged ? 2 : 1;
            } else {
                Put2(o, kWideKana[b - 0xA1]);
                ++i;
            }
        }
        out.Advance(o);
    }
    return out.Take();
}

#if defined(__SSE2__)
// EucToSjis on 16-byte blocks from p (at least 16 bytes are left), for as
// long as runs of one kind fill whole blocks, then on the leading run of the
// last block: bytes below 0x80 (copied), two-byte characters (first byte
// 0xA1-0xFE, second byte unchecked) or 0x8E + half-width kana pairs. Each
// 16-bit lane holds one character, first byte low, and the JisToSjis
// arithmetic runs on the lanes. Whole blocks advance by a constant so that
// the next load does not wait for this block's classification.
//
// The 16 bytes stored at o may run past the kept output; there is room, as
// the output never gets ahead of the input. Returns false, having done
// nothing, when the byte at p needs the scalar step.
inline bool EucBlocksToSjis(const Byte*& p, char*& o, const Byte* const end)
{
    const Byte* const start = p;
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v));
    while (high == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
        p += 16;
        o += 16;
        if (end - p < 16)
            return true;
        v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        high = static_cast<unsigned>(_mm_movemask_epi8(v));
    }
    if (const int ascii = __builtin_ctz(high); ascii > 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
        p += ascii;
        o += ascii;
        return true;
    }

    const __m128i lowByte = _mm_set1_epi16(0x00FF);
    for (;;) {
        const __m128i b = _mm_and_si128(v, lowByte);
        const __m128i isFirst =
            _mm_and_si128(_mm_cmpgt_epi16(b, _mm_set1_epi16(0xA0)), _mm_cmplt_epi16(b, _mm_set1_epi16(0xFF)));
        // Leading lanes that hold a character: movemask gives two bits a lane.
        const int pairs = __builtin_ctz(~static_cast<unsigned>(_mm_movemask_epi8(isFirst))) / 2;
        if (pairs == 0)
            break;
        const __m128i j1 = _mm_sub_epi16(b, _mm_set1_epi16(0x80));
        const __m128i j2 = _mm_xor_si128(_mm_srli_epi16(v, 8), _mm_set1_epi16(0x80));  // n - 0x80 mod 256
        // First byte: ((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0).
        const __m128i lowRows = _mm_cmplt_epi16(j1, _mm_set1_epi16(0x5F));
        const __m128i leadBase = _mm_sub_epi16(_mm_set1_epi16(0xB0), _mm_and_si128(lowRows, _mm_set1_epi16(0x40)));
        const __m128i lead = _mm_add_epi16(_mm_srli_epi16(_mm_add_epi16(j1, _mm_set1_epi16(1)), 1), leadBase);
        // Second byte: odd j1: j2 + (j2 < 0x60 ? 0x1F : 0x20); even j1: j2 + 0x7E.
        const __m128i odd = _mm_cmpeq_epi16(_mm_and_si128(j1, _mm_set1_epi16(1)), _mm_set1_epi16(1));
        const __m128i oddAdd = _mm_sub_epi16(
            _mm_set1_epi16(0x20), _mm_and_si128(_mm_cmplt_epi16(j2, _mm_set1_epi16(0x60)), _mm_set1_epi16(1)));
        const __m128i add = _mm_or_si128(_mm_and_si128(odd, oddAdd), _mm_andnot_si128(odd, _mm_set1_epi16(0x7E)));
        const __m128i trail = _mm_and_si128(_mm_add_epi16(j2, add), lowByte);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o),
                         _mm_or_si128(_mm_and_si128(lead, lowByte), _mm_slli_epi16(trail, 8)));
        if (pairs < 8) {
            p += 2 * pairs;
            o += 2 * pairs;
            return true;
        }
        p += 16;
        o += 16;
        if (end - p < 16)
            return true;
        v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    if (p != start)
        return true;  // a run of characters ended at a block boundary

    const __m128i b = _mm_and_si128(v, lowByte);
    const __m128i n = _mm_srli_epi16(v, 8);
    const __m128i isKana = _mm_and_si128(
        _mm_cmpeq_epi16(b, _mm_set1_epi16(kEucKanaPrefix)),
        _mm_and_si128(_mm_cmpgt_epi16(n, _mm_set1_epi16(0xA0)), _mm_cmplt_epi16(n, _mm_set1_epi16(0xE0))));
    const int kana = __builtin_ctz(~static_cast<unsigned>(_mm_movemask_epi8(isKana))) / 2;
    if (kana == 0)
        return false;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(n, n));
    p += 2 * kana;
    o += kana;
    return true;
}
#endif

}  // namespace

bool TPzConv::IsHanKana(std::uint8_t b) { return HanKana(b); }

bool TPzConv::IsDakuKana(std::uint8_t b) { return DakuKana(b); }

bool TPzConv::IsHanDakuKana(std::uint8_t b) { return HanDakuKana(b); }

bool TPzConv::IsEucByte(std::uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

std::string TPzConv::JisToSjis(std::uint8_t j1, std::uint8_t j2)
{
    if (j1 < 0x21 || j1 > 0x7E)
        return {};
    return {static_cast<char>(SjisLeadFromJis(j1)), static_cast<char>(SjisTrailFromJis(j1, j2))};
}

std::string TPzConv::SjisToJis(std::uint8_t s1, std::uint8_t s2)
{
    const unsigned first = JisFirstFromSjis(s1) - (s2 < 0x9F ? 1 : 0);
    return {static_cast<char>(static_cast<Byte>(first)), static_cast<char>(static_cast<Byte>(JisSecondFromSjis(s2)))};
}

std::string TPzConv::HanToZenWithDaku(std::string_view text) { return HanToZen<true>(text); }

std::string TPzConv::HanToZenSepaDaku(std::string_view text) { return HanToZen<false>(text); }

// Widening and conversion run in one pass over the Shift_JIS text. That is
// the same as widening first and converting the widened text: a widened
// kana is a complete two-byte character and leaves the parity of every
// lead-range run after it as it was, so each original byte keeps its role.
//
// The walk only ever stands on a position whose preceding lead-range run is
// even (it starts at zero, a single byte ends the run, and a lead byte moves
// on past its trail), so a byte there is a lead byte exactly when it lies in
// the lead range, and the rest of the role rule never has to be consulted.
std::string TPzConv::SjisToEuc(std::string_view text) const
{
    const TJisKanaConvType mode = JisKanaConvType;
    const bool widen = mode == ktZenWithDaku || mode == ktZenSepaDaku;
    const bool merge = mode == ktZenWithDaku;

    GrowingOutput out(text.size());
    const Byte* p = reinterpret_cast<const Byte*>(text.data());
    const Byte* const end = p + text.size();
    while (p < end) {
        const Byte* const blockEnd =
            p + std::min<std::size_t>(static_cast<std::size_t>(end - p), GrowingOutput::kBlock);
        char* o = out.Reserve(static_cast<std::size_t>(blockEnd - p), static_cast<std::size_t>(end - p));
        while (p < blockEnd) {
            const Byte b = *p;
            switch (kSjisKind[b]) {
            case kPlain:
                *o++ = static_cast<char>(b);
                ++p;
                break;
            case kLead: {
                if (p + 1 == end) {  // a lead byte cut off by the end of the text stays as it is
                    *o++ = static_cast<char>(b);
                    ++p;
                    break;
                }
                const Byte s2 = p[1];
                o[0] = static_cast<char>(kSjisEuc.first[b] - (s2 < 0x9F ? 1 : 0));
                o[1] = static_cast<char>(kSjisEuc.second[s2]);
                o += 2;
                p += 2;
                break;
            }
            default:  // kHanKana
                if (!widen) {
                    o[0] = static_cast<char>(kEucKanaPrefix);
                    o[1] = static_cast<char>(b);
                    o += 2;
                    ++p;
                } else if (merge && p + 1 < end && p[1] == kVoicedMark && DakuKana(b)) {
                    Put2(o, kKanaEuc.voiced[b]);
                    p += 2;
                } else if (merge && p + 1 < end && p[1] == kSemiVoicedMark && HanDakuKana(b)) {
                    Put2(o, kKanaEuc.semiVoiced[b]);
                    p += 2;
                } else {
                    Put2(o, kKanaEuc.alone[b]);
                    ++p;
                }
                break;
            }
        }
        out.Advance(o);
    }
    return out.Take();
}

std::string TPzConv::EucToSjis(std::string_view text)
{
    std::string out(text.size(), '\0');  // never longer than the input
    char* o = out.data();
    const Byte* p = reinterpret_cast<const Byte*>(text.data());
    const Byte* const end = p + text.size();
    while (p < end) {
#if defined(__SSE2__)
        if (end - p >= 16 && EucBlocksToSjis(p, o, end))
            continue;
#endif
        const Byte b = *p;
        if (IsEucByte(b)) {
            if (p + 1 == end) {  // a first byte cut off by the end of the text stays as it is
                *o++ = static_cast<char>(b);
                break;
            }
            o[0] = static_cast<char>(kEucSjis.lead[b]);
            o[1] = static_cast<char>(kEucSjis.trail[((b & 1u) << 8) | p[1]]);
            o += 2;
            p += 2;
        } else if (b == kEucKanaPrefix && p + 1 < end && IsHanKana(p[1])) {
            *o++ = static_cast<char>(p[1]);
            p += 2;
        } else {
            *o++ = static_cast<char>(b);
            ++p;
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string TPzConv::ByteToHex(std::uint8_t b)
{
    std::string hex;
    byterules::AppendHexByte(hex, b, byterules::THexLetters::Lower);
    return hex;
}

int TPzConv::HexCharValue(char c) { return std::max(0, byterules::HexDigitValue(c)); }

char TPzConv::EncodeBase64Char(std::uint8_t value) { return value < 64 ? kBase64Alphabet[value] : '='; }

int TPzConv::DecodeBase64Char(char c) { return kBase64Values[static_cast<Byte>(c)]; }

std::string TPzConv::UrlEncode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const Byte b = static_cast<Byte>(c);
        if (b >= 0x80) {
            byterules::AppendPercentEscape(out, b, byterules::THexLetters::Lower);
        } else {
            out += b == ' ' ? '+' : c;
        }
    }
    return out;
}

std::string TPzConv::UrlDecode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char c = text[i++];
        if (c == '%') {
            // Missing digits at the end of the text count as 0.
            const int high = i < text.size() ? HexCharValue(text[i++]) : 0;
            const int low = i < text.size() ? HexCharValue(text[i++]) : 0;
            c = static_cast<char>(high * 16 + low);
        }
        out += c == '+' ? ' ' : c;
    }
    return out;
}

std::string TPzConv::Base64Encode(std::string_view bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const Byte b1 = At(bytes, i), b2 = At(bytes, i + 1), b3 = At(bytes, i + 2);
        out += EncodeBase64Char(b1 >> 2);
        out += EncodeBase64Char(static_cast<Byte>(((b1 & 3) << 4) | (b2 >> 4)));
        out += EncodeBase64Char(static_cast<Byte>(((b2 & 0xF) << 2) | (b3 >> 6)));
        out += EncodeBase64Char(b3 & 0x3F);
    }
    const std::size_t left = bytes.size() - i;
    if (left == 1) {
        const Byte b1 = At(bytes, i);
        out += EncodeBase64Char(b1 >> 2);
        out += EncodeBase64Char(static_cast<Byte>((b1 & 3) << 4));
        out += "==";
    } else if (left == 2) {
        const Byte b1 = At(bytes, i), b2 = At(bytes, i + 1);
        out += EncodeBase64Char(b1 >> 2);
        out += EncodeBase64Char(static_cast<Byte>(((b1 & 3) << 4) | (b2 >> 4)));
        out += EncodeBase64Char(static_cast<Byte>((b2 & 0xF) << 2));
        out += '=';
    }
    return out;
}

std::string TPzConv::Base64Decode(std::string_view text)
{
    std::string out;
    out.reserve(text.size() / 4 * 3);
    // Characters outside the alphabet, '=' included, count as zero bits;
    // one to three characters after the last full group are ignored.
    for (std::size_t i = 0; i + 4 <= text.size(); i += 4) {
        const auto value = [&](std::size_t k) { return static_cast<unsigned>(DecodeBase64Char(text[i + k]) & 0x3F); };
        const unsigned s1 = value(0), s2 = value(1), s3 = value(2), s4 = value(3);
        out += static_cast<char>(static_cast<Byte>((s1 << 2) | (s2 >> 4)));
        if (text[i + 2] != '=')
            out += static_cast<char>(static_cast<Byte>(((s2 & 0xF) << 4) | (s3 >> 2)));
        if (text[i + 3] != '=')
            out += static_cast<char>(static_cast<Byte>(((s3 & 3) << 6) | s4));
    }
    return out;
}
