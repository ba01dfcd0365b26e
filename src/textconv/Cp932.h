// The one bridge between the program's Shift_JIS bytes (Windows code page
// 932) and Unicode text, over glibc iconv's "CP932". Every ASCII byte maps
// to itself (0x5C stays a backslash, 0x7E a tilde).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cp932 {

// Shift_JIS bytes to UTF-16. A byte sequence that has no Unicode mapping
// becomes U+FFFD for that character; the rest converts normally.
std::u16string ToUtf16(std::string_view sjis);

// UTF-16 to Shift_JIS. Returns nothing when any character has no code page
// 932 form (no replacement characters are ever written).
std::optional<std::string> FromUtf16(std::u16string_view text);

// UTF-8 conveniences over the same conversion (for messages and tests).
std::string ToUtf8(std::string_view sjis);
std::optional<std::string> FromUtf8(std::string_view utf8);

// Shift_JIS bytes to EUC-JP with the Microsoft extensions (glibc's
// "EUC-JP-MS": NEC and IBM extensions and user-defined characters as
// three-byte 0x8F codes or in the user-defined rows). Returns nothing when
// any character has no such form.
std::optional<std::string> ToEucJpMs(std::string_view sjis);
// The reverse: EUC-JP with the Microsoft extensions to Shift_JIS. Returns
// nothing when any sequence has no code page 932 form.
std::optional<std::string> FromEucJpMs(std::string_view euc);

// What the user is told when typed text holds a character that has no code
// page 932 form (UTF-8).
inline constexpr const char* kUnrepresentableMessage = "Shift_JISで表せない文字が含まれています";

}  // namespace cp932
