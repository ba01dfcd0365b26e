// TPzConv: conversion of Japanese text between Shift_JIS, JIS X 0208 and
// EUC-JP, half-width kana widening, URL percent-encoding and Base64.
//
// Text is a byte string: std::string holding raw bytes, any value 0x00-0xFF.
// Every operation leaves its input unchanged, returns a new text and never
// fails. The component holds no state besides its two properties.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum TJisByteCodeType : std::uint8_t { btAscii = 0, btRoman = 1 };
enum TJisKanaConvType : std::uint8_t { ktNone = 0, ktZenWithDaku = 1, ktZenSepaDaku = 2 };

class TPzConv {
public:
    // Read by no operation; kept because the owning windows set it.
    TJisByteCodeType JisByteCodeType = btAscii;
    // How SjisToEuc widens half-width kana first; any value other than the
    // two widening modes leaves the text as it is.
    TJisKanaConvType JisKanaConvType = ktZenWithDaku;

    // Byte classes.
    static bool IsHanKana(std::uint8_t b);      // 0xA1-0xDF
    static bool IsDakuKana(std::uint8_t b);     // 0xB3, 0xB6-0xC4, 0xCA-0xCE
    static bool IsHanDakuKana(std::uint8_t b);  // 0xCA-0xCE
    static bool IsEucByte(std::uint8_t b);      // 0xA1-0xFE

    // One JIS X 0208 character <-> one Shift_JIS character (two bytes each).
    static std::string JisToSjis(std::uint8_t j1, std::uint8_t j2);
    static std::string SjisToJis(std::uint8_t s1, std::uint8_t s2);

    static std::string HanToZenWithDaku(std::string_view text);
    static std::string HanToZenSepaDaku(std::string_view text);
    std::string SjisToEuc(std::string_view text) const;
    static std::string EucToSjis(std::string_view text);

    // Text encodings.
    static std::string ByteToHex(std::uint8_t b);
    static int HexCharValue(char c);
    static char EncodeBase64Char(std::uint8_t value);
    static int DecodeBase64Char(char c);
    static std::string UrlEncode(std::string_view text);
    static std::string UrlDecode(std::string_view text);
    static std::string Base64Encode(std::string_view bytes);
    static std::string Base64Decode(std::string_view text);
};
