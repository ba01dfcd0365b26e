// A slow, literal reading of the Shift_JIS rules of TPzConv, position by
// position, with the byte role found by counting lead-range bytes backwards.
// The fast conversions carry that count forward and fuse widening into
// SjisToEuc; tests and fuzzers compare them with this model.
#pragma once

#include "textconv/PzConv.h"

#include <cstdint>
#include <string>

namespace rulemodel {

inline bool InLeadRange(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

enum class Role { Single, Lead, Trail };

// The role rule exactly as worded: count lead-range bytes backwards.
inline Role RoleAt(const std::string& s, std::size_t i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    if (b == 0)
        return Role::Single;
    std::size_t count = 0;
    for (std::size_t k = i; k > 0 && InLeadRange(static_cast<unsigned char>(s[k - 1])); --k)
        ++count;
    if (count % 2 == 1)
        return Role::Trail;
    return InLeadRange(b) ? Role::Lead : Role::Single;
}

inline std::string Widen(const std::string& s, bool merge)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const unsigned char n = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        if (!TPzConv::IsHanKana(b) || RoleAt(s, i) != Role::Single) {
            out += s[i++];
            continue;
        }
        // The full-width code comes from widening the single character alone.
        std::string wide = TPzConv::HanToZenSepaDaku(std::string(1, static_cast<char>(b)));
        auto t = static_cast<unsigned char>(wide[1]);
        bool merged = false;
        if (merge && n == 0xDE && TPzConv::IsDakuKana(b)) {
            if ((t >= 0x4A && t <= 0x67) || (t >= 0x6E && t <= 0x7A))
                ++t;
            else if (static_cast<unsigned char>(wide[0]) == 0x83 && t == 0x45)
                t = 0x94;
            merged = true;
        } else if (merge && n == 0xDF && TPzConv::IsHanDakuKana(b)) {
            if (t >= 0x6E && t <= 0x7A)
                t += 2;
            merged = true;
        }
        out += wide[0];
        out += static_cast<char>(t);
        i += merged ? 2 : 1;
    }
    return out;
}

inline std::string SjisToEuc(const std::string& text, TJisKanaConvType mode)
{
    const std::string s = mode == ktZenWithDaku ? Widen(text, true) : mode == ktZenSepaDaku ? Widen(text, false) : text;
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (RoleAt(s, i) == Role::Lead) {
            if (i + 1 == s.size()) {  // cut-off lead byte stays as it is
                out += s[i++];
                continue;
            }
            const std::string jis = TPzConv::SjisToJis(b, static_cast<unsigned char>(s[i + 1]));
            out += static_cast<char>(static_cast<unsigned char>(jis[0]) + 0x80);
            out += static_cast<char>(static_cast<unsigned char>(jis[1]) + 0x80);
            i += 2;
        } else if (TPzConv::IsHanKana(b)) {
            out += '\x8E';
            out += s[i++];
        } else {
            out += s[i++];
        }
    }
    return out;
}

// EucToSjis step by step; a lone last first byte is kept as it is.
inline std::string EucToSjis(const std::string& s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const unsigned char n = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
        if (TPzConv::IsEucByte(b) && i + 1 < s.size()) {
            out += TPzConv::JisToSjis(static_cast<std::uint8_t>(b - 0x80), static_cast<std::uint8_t>(n - 0x80));
            i += 2;
        } else if (b == 0x8E && TPzConv::IsHanKana(n)) {
            out += static_cast<char>(n);
            i += 2;
        } else {
            out += s[i++];
        }
    }
    return out;
}

}  // namespace rulemodel
