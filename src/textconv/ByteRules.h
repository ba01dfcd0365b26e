// Byte rules the program applies in more than one place: Shift_JIS (code
// page 932) lead and trail bytes, control characters, and hexadecimal
// digits.
#pragma once

#include <cstdint>
#include <string>

namespace byterules {

// A lead byte (0x81-0x9F, 0xE0-0xFC) takes the byte after it into the same
// character; a trail byte is one that may follow it (0x40-0x7E, 0x80-0xFC).
constexpr bool IsSjisLeadByte(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr bool IsSjisTrailByte(std::uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The control-character rule: the C0 controls (below 0x20) and DEL (0x7F),
// the characters of ASCII that print nothing. DEL counts because it is as
// invisible in a typed ID or password as the C0 controls are. The rule holds
// for a UTF-16 code unit and, byte by byte, for Shift_JIS text: no trail
// byte is below 0x40 or equal to 0x7F, so only whole characters match.
constexpr bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F; }

// The add-favorite dialog's own rule, the C0 controls without DEL: a DEL in
// a favorite's name or address has always been accepted there.
constexpr bool IsC0Control(char32_t c) { return c < 0x20; }

enum class THexLetters { Lower, Upper };

// Appends b as two hexadecimal digits.
inline void AppendHexByte(std::string& out, std::uint8_t b, THexLetters letters)
{
    const char* digits = letters == THexLetters::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += digits[b >> 4];
    out += digits[b & 0xF];
}

// Appends "%" and b as two hexadecimal digits.
inline void AppendPercentEscape(std::string& out, std::uint8_t b, THexLetters letters)
{
    out += '%';
    AppendHexByte(out, b, letters);
}

// The value of a hexadecimal digit of either case, or -1 for any other
// character.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace byterules
