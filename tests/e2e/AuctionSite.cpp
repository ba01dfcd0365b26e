#include "AuctionSite.h"

#include <QBuffer>
#include <QImage>

#include <cstring>

namespace {

QByteArray Escaped(const QByteArray& bytes)
{
    QByteArray out;
    for (char c : bytes) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// A form-encoded value: "+" is a blank, "%xx" a byte.
QByteArray FormDecoded(QByteArray value)
{
    value.replace('+', ' ');
    return QByteArray::fromPercentEncoding(value);
}

// The value of the first parameter called name in a query ("" when none).
QByteArray Parameter(const QByteArray& query, const QByteArray& name)
{
    for (const QByteArray& pair : query.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq >= 0 && pair.left(eq) == name)
            return FormDecoded(pair.mid(eq + 1));
    }
    return {};
}

THttpResponse Page(const QByteArray& title, const QByteArray& body, const QByteArray& charset = "utf-8")
{
    THttpResponse response;
    response.Headers = {{"Content-Type", "text/html; charset=" + charset}};
    response.Body = "<!DOCTYPE html><html><head><meta charset='" + charset + "'><title>" + title +
                    "</title></head><body>" + body + "</body></html>";
    return response;
}

}  // namespace

TAuctionSite::TAuctionSite()
{
    m_server.Fallback([this](const THttpRequest& request) { return Answer(request); });
}

bool TAuctionSite::Start() { return m_server.Start(); }

QString TAuctionSite::Base() const { return m_server.Base() + QStringLiteral("/test.jp"); }

TEndpoints TAuctionSite::Endpoints() const { return EndpointsAt(Base()); }

TEndpoints TAuctionSite::EndpointsAt(const QString& base)
{
    const std::string b = base.toStdString();
    return {b + "/home", b, b, b, b + "/amazon", b + "/kakaku", b + "/aucfan", b + "/login"};
}

QString TAuctionSite::ItemAddress(const QString& auctionId) const
{
    return m_server.Base() + QString::fromLatin1(kItemPrefix) + auctionId;
}

QString TAuctionSite::UserAddress(const QString& userId) const
{
    return m_server.Base() + QString::fromLatin1(kUserPrefix) + userId;
}

THttpResponse TAuctionSite::Answer(const THttpRequest& request)
{
    const QByteArray& path = request.Path;
    if (path == "/favicon.ico") {
        // An icon, so that the engine has one to keep for every page.
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        icon.save(&png, "PNG");
        return {200, {{"Content-Type", "image/png"}}, png.data()};
    }
    if (path == kHomePath)
        return Page("home", "<h1>Lotscope test site</h1>");
    if (path == kSearchPath) {
        // The result page echoes the term in the site's own encoding.
        const QByteArray term = Parameter(request.Query, "p");
        return Page("search", "<p id='term'>" + Escaped(term) + "</p>", "EUC-JP");
    }
    if (path.startsWith(kUserPrefix))
        return Page("user", "<p id='user'>" + Escaped(path.mid(qsizetype(strlen(kUserPrefix)))) + "</p>");
    if (path.startsWith(kItemPrefix)) {
        const QByteArray id = path.mid(qsizetype(strlen(kItemPrefix)));
        const QByteArray preview = QByteArray(kBidPreviewPath) + "?aID=" + id;
        return Page("item", "<h1 id='item'>" + Escaped(id) +
                                "</h1>"
                                "<a id='bid' href='" +
                                preview +
                                "&amp;bid=100'>bid</a>"
                                "<form id='form' method='post' action='" +
                                preview +
                                "'>"
                                "<input name='bid' value='100'><input type='submit' id='submit'></form>");
    }
    if (path == kBidPreviewPath)
        return Page("bid preview", "<p id='preview'>" + Escaped(request.Method) + "</p>");
    if (path == kLoginPath) {
        m_logins.append({Parameter(request.Query, "login"), Parameter(request.Query, "passwd")});
        // Both answers may be kept by a cache for an hour.
        THttpResponse answer = Parameter(request.Query, "login") == kRedirectedLogin
                                   ? THttpResponse::Redirect(kHomePath)
                                   : Page("login", "<p>welcome</p><img src='/test.jp/login/pixel'>"
                                                   "<img referrerpolicy='unsafe-url' src='http://localhost:" +
                                                       QByteArray::number(m_server.Port()) + "/test.jp/third-party'>");
        answer.Headers.append(qMakePair(QByteArray("Cache-Control"), QByteArray("max-age=3600")));
        return answer;
    }
    return THttpResponse::NotFound();
}
