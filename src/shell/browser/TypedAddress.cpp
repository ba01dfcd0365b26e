#include "shell/browser/TypedAddress.h"

#include <algorithm>
#include <iterator>

namespace {

// Whether typed text begins with a scheme: any "scheme://", or one of the
// schemes written without slashes.
bool BeginsWithScheme(QStringView text)
{
    const auto letter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    const auto schemeChar = [&](QChar c) {
        return letter(c) || (c >= u'0' && c <= u'9') || c == u'+' || c == u'.' || c == u'-';
    };
    qsizetype end = 0;
    while (end < text.size() && (end == 0 ? letter(text[end]) : schemeChar(text[end])))
        ++end;
    if (end == 0 || end == text.size() || text[end] != u':')
        return false;
    if (text.sliced(end + 1).startsWith(u"//"))
        return true;
    static constexpr QStringView withoutSlashes[] = {u"about", u"data", u"javascript", u"mailto", u"qrc", u"file"};
    return std::find(std::begin(withoutSlashes), std::end(withoutSlashes), text.first(end)) != std::end(withoutSlashes);
}

}  // namespace

QUrl AddressFromText(const QString& text)
{
    if (BeginsWithScheme(text))
        return QUrl(text, QUrl::TolerantMode);
    return QUrl::fromUserInput(text);
}
