// Conversions between the program's Shift_JIS byte strings and Qt's UTF-16
// text, all through code page 932 (cp932). Every ASCII byte keeps its value.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

// Shift_JIS bytes to text; bytes with no character become U+FFFD.
QString SjisToWide(std::string_view sjis);
// Text to Shift_JIS; a character with no code page 932 form becomes "?",
// as the system code page conversion does.
std::string WideToSjis(const QString& text);
// Text to Shift_JIS, or nothing when any character has no code page 932 form.
std::optional<std::string> WideToSjisStrict(const QString& text);
