// The lookup tables of TPzConv and the byte rules they are computed from:
// half-width kana widening, the JIS X 0208 <-> Shift_JIS arithmetic, the
// Shift_JIS <-> EUC-JP lookups, the Shift_JIS byte kinds and the Base64
// alphabet. Every table is computed at compile time from the rule above it.
// Internal to PzConv.cpp, which converts with them.
#pragma once

#include "textconv/ByteRules.h"

#include <array>
#include <cstdint>

namespace pzconv {

using Byte = std::uint8_t;

// Full-width Shift_JIS code of each half-width katakana byte 0xA1-0xDF
// (index = byte - 0xA1): the JIS X 0208 character that the half-width one's
// Unicode compatibility decomposition (NFKC) names, punctuation and the
// prolonged sound mark from row 1, katakana (small ones included) from
// row 5. The two sound marks 0xDE/0xDF decompose to combining marks that
// Shift_JIS lacks, and widen to the spacing marks 0x814A/0x814B instead.
constexpr std::array<std::uint16_t, 63> kWideKana = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340,          // A1-A7
    0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,  // A8-AF
    0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C,  // B0-B7
    0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C,  // B8-BF
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,  // C0-C7
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D,  // C8-CF
    0x837E, 0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389,  // D0-D7
    0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,  // D8-DF
};

constexpr Byte kVoicedMark = 0xDE;
constexpr Byte kSemiVoicedMark = 0xDF;
constexpr Byte kEucKanaPrefix = 0x8E;

using byterules::IsSjisLeadByte;
constexpr bool HanKana(Byte b) { return b >= 0xA1 && b <= 0xDF; }
constexpr bool DakuKana(Byte b) { return b == 0xB3 || (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE); }
constexpr bool HanDakuKana(Byte b) { return b >= 0xCA && b <= 0xCE; }

// Widens the half-width kana b, merging the mark n into it when the kana
// takes it. Returns the two-byte code; `merged` tells whether n was used.
constexpr std::uint16_t WidenKana(Byte b, Byte n, bool& merged)
{
    const std::uint16_t code = kWideKana[b - 0xA1];
    const Byte lead = static_cast<Byte>(code >> 8);
    Byte trail = static_cast<Byte>(code & 0xFF);
    merged = false;
    if (n == kVoicedMark && DakuKana(b)) {
        if ((trail >= 0x4A && trail <= 0x67) || (trail >= 0x6E && trail <= 0x7A))
            trail = static_cast<Byte>(trail + 1);
        else if (lead == 0x83 && trail == 0x45)
            trail = 0x94;  // ウ + ゛ = ヴ
        merged = true;
    } else if (n == kSemiVoicedMark && HanDakuKana(b)) {
        if (trail >= 0x6E && trail <= 0x7A)
            trail = static_cast<Byte>(trail + 2);
        merged = true;
    }
    return static_cast<std::uint16_t>((lead << 8) | trail);
}

// The JIS X 0208 <-> Shift_JIS arithmetic of one two-byte character, on
// byte values mod 256. JisToSjis, SjisToJis and the lookup tables below all
// use these, so the rule is written once.
constexpr Byte SjisLeadFromJis(unsigned j1) { return static_cast<Byte>(((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0)); }
constexpr Byte SjisTrailFromJis(unsigned j1, unsigned j2)
{
    return static_cast<Byte>((j1 & 1) ? (j2 < 0x60 ? j2 + 0x1F : j2 + 0x20) : j2 + 0x7E);
}
// The JIS first byte of lead byte s1 when its trail byte is 0x9F or above;
// a trail byte below 0x9F makes it one less.
constexpr unsigned JisFirstFromSjis(unsigned s1) { return s1 <= 0x9F ? (s1 - 0x70) * 2 : (s1 - 0xB0) * 2; }
constexpr unsigned JisSecondFromSjis(unsigned s2) { return s2 < 0x7F ? s2 - 0x1F : s2 < 0x9F ? s2 - 0x20 : s2 - 0x7E; }

// Shift_JIS -> EUC-JP for one two-byte character, split into lookups: the
// EUC first byte is first[s1] minus one when s2 < 0x9F, the EUC second
// byte is second[s2]. Both are the JIS X 0208 bytes plus 0x80, computed
// once here for every byte value (all mod 256).
struct SjisEucTables {
    std::array<Byte, 256> first{};
    std::array<Byte, 256> second{};
};

constexpr SjisEucTables MakeSjisEucTables()
{
    SjisEucTables t;
    for (unsigned v = 0; v < 256; ++v) {
        t.first[v] = static_cast<Byte>(JisFirstFromSjis(v) + 0x80);
        t.second[v] = static_cast<Byte>(JisSecondFromSjis(v) + 0x80);
    }
    return t;
}
constexpr SjisEucTables kSjisEuc = MakeSjisEucTables();

// EUC-JP -> Shift_JIS for one two-byte character b n (b in 0xA1-0xFE): the
// Shift_JIS bytes of JIS b - 0x80 and n - 0x80, as lookups. The
// second byte depends on the parity of b and on n.
struct EucSjisTables {
    std::array<Byte, 256> lead{};   // by b
    std::array<Byte, 512> trail{};  // by n, plus 256 when b - 0x80 is odd
};

constexpr EucSjisTables MakeEucSjisTables()
{
    EucSjisTables t;
    for (unsigned v = 0; v < 256; ++v) {
        const unsigned j = (v - 0x80) & 0xFF;
        t.lead[v] = SjisLeadFromJis(j);
        t.trail[v] = SjisTrailFromJis(0, j);        // even first byte
        t.trail[256 + v] = SjisTrailFromJis(1, j);  // odd first byte
    }
    return t;
}
constexpr EucSjisTables kEucSjis = MakeEucSjisTables();

// Byte kinds for the Shift_JIS walks.
enum : Byte { kPlain = 0, kLead = 1, kHanKana = 2 };

constexpr std::array<Byte, 256> MakeSjisKinds()
{
    std::array<Byte, 256> k{};
    for (unsigned v = 0; v < 256; ++v)
        k[v] = IsSjisLeadByte(static_cast<Byte>(v)) ? kLead : HanKana(static_cast<Byte>(v)) ? kHanKana : kPlain;
    return k;
}
constexpr std::array<Byte, 256> kSjisKind = MakeSjisKinds();

// Widened EUC-JP form of every half-width kana byte, alone and with each
// mark merged, so that SjisToEuc widens and converts in one step.
struct KanaEucTables {
    std::array<std::uint16_t, 256> alone{};
    std::array<std::uint16_t, 256> voiced{};      // valid where IsDakuKana
    std::array<std::uint16_t, 256> semiVoiced{};  // valid where IsHanDakuKana
};

constexpr std::uint16_t SjisCodeToEuc(std::uint16_t code)
{
    const Byte s1 = static_cast<Byte>(code >> 8);
    const Byte s2 = static_cast<Byte>(code & 0xFF);
    const Byte e1 = static_cast<Byte>(kSjisEuc.first[s1] - (s2 < 0x9F ? 1 : 0));
    return static_cast<std::uint16_t>((e1 << 8) | kSjisEuc.second[s2]);
}

constexpr KanaEucTables MakeKanaEucTables()
{
    KanaEucTables t;
    for (unsigned v = 0xA1; v <= 0xDF; ++v) {
        const Byte b = static_cast<Byte>(v);
        bool merged = false;
        t.alone[v] = SjisCodeToEuc(WidenKana(b, 0x00, merged));
        t.voiced[v] = SjisCodeToEuc(WidenKana(b, kVoicedMark, merged));
        t.semiVoiced[v] = SjisCodeToEuc(WidenKana(b, kSemiVoicedMark, merged));
    }
    return t;
}
constexpr KanaEucTables kKanaEuc = MakeKanaEucTables();

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<Byte, 256> MakeBase64Values()
{
    std::array<Byte, 256> values{};
    values.fill(64);
    for (Byte i = 0; i < 64; ++i)
        values[static_cast<Byte>(kBase64Alphabet[i])] = i;
    return values;
}
constexpr std::array<Byte, 256> kBase64Values = MakeBase64Values();

}  // namespace pzconv
