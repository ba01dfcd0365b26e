#include "ui/WideText.h"

#include "textconv/Cp932.h"

QString SjisToWide(std::string_view sjis)
{
    const std::u16string wide = cp932::ToUtf16(sjis);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

std::optional<std::string> WideToSjisStrict(const QString& text)
{
    return cp932::FromUtf16(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
}

std::string WideToSjis(const QString& text)
{
    if (auto whole = WideToSjisStrict(text))
        return *std::move(whole);
    // Some character has no code page 932 form: convert character by
    // character (a surrogate pair is one character) and put "?" for those.
    std::string out;
    const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        qsizetype len = 1;
        if (QChar::isHighSurrogate(units[i]) && i + 1 < n && QChar::isLowSurrogate(units[i + 1]))
            len = 2;
        if (auto one = cp932::FromUtf16(std::u16string_view(units + i, static_cast<std::size_t>(len))))
            out += *one;
        else
            out += '?';
        i += len;
    }
    return out;
}
