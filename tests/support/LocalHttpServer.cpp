#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

QByteArray THttpRequest::Header(const QByteArray& name) const
{
    for (const auto& [key, value] : Headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

THttpResponse THttpResponse::Html(const QByteArray& body)
{
    return {200, {{"Content-Type", "text/html; charset=utf-8"}}, body};
}

THttpResponse THttpResponse::Redirect(const QByteArray& location) { return {302, {{"Location", location}}, {}}; }

THttpResponse THttpResponse::NotFound() { return {404, {{"Content-Type", "text/plain"}}, "not found"}; }

namespace {

QByteArray Reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 404:
        return "Not Found";
    default:
        return "Status";
    }
}

// Parses one request from buffer once it is complete; false while more
// bytes are needed.
bool Parse(const QByteArray& buffer, THttpRequest& request)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    request.RequestLine = lines.value(0).trimmed();
    const QList<QByteArray> parts = request.RequestLine.split(' ');
    request.Method = parts.value(0);
    request.Target = parts.value(1);
    const qsizetype q = request.Target.indexOf('?');
    request.Path = q < 0 ? request.Target : request.Target.left(q);
    request.Query = q < 0 ? QByteArray() : request.Target.mid(q + 1);
    request.Headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.Headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const qsizetype length = request.Header("Content-Length").toLongLong();
    if (buffer.size() - (headEnd + 4) < length)
        return false;
    request.Body = buffer.mid(headEnd + 4, length);
    return true;
}

}  // namespace

TLocalHttpServer::TLocalHttpServer() : m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TLocalHttpServer::Accept);
}

TLocalHttpServer::~TLocalHttpServer() = default;

bool TLocalHttpServer::Start() { return m_server->listen(QHostAddress::LocalHost, 0); }

quint16 TLocalHttpServer::Port() const { return m_server->serverPort(); }

QString TLocalHttpServer::Base() const { return QStringLiteral("http://127.0.0.1:%1").arg(Port()); }

void TLocalHttpServer::Route(const QByteArray& path, Handler handler) { m_routes.insert(path, std::move(handler)); }

void TLocalHttpServer::Fallback(Handler handler) { m_fallback = std::move(handler); }

QList<THttpRequest> TLocalHttpServer::RequestsFor(const QByteArray& path) const
{
    QList<THttpRequest> out;
    for (const THttpRequest& r : m_requests)
        if (r.Path == path)
            out.append(r);
    return out;
}

THttpResponse TLocalHttpServer::Answer(const THttpRequest& request) const
{
    if (auto it = m_routes.constFind(request.Path); it != m_routes.constEnd())
        return it.value()(request);
    if (m_fallback)
        return m_fallback(request);
    return THttpResponse::NotFound();
}

void TLocalHttpServer::Accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            THttpRequest request;
            if (!Parse(*buffer, request))
                return;
            buffer->clear();
            m_requests.append(request);
            const THttpResponse response = Answer(request);
            QByteArray out = "HTTP/1.1 " + QByteArray::number(response.Status) + ' ' + Reason(response.Status) + "\r\n";
            bool lengthGiven = false;
            bool cachingGiven = false;
            for (const auto& [key, value] : response.Headers) {
                out += key + ": " + value + "\r\n";
                lengthGiven = lengthGiven || key.compare("Content-Length", Qt::CaseInsensitive) == 0;
                cachingGiven = cachingGiven || key.compare("Cache-Control", Qt::CaseInsensitive) == 0;
            }
            if (!lengthGiven)
                out += "Content-Length: " + QByteArray::number(response.Body.size()) + "\r\n";
            if (!cachingGiven)
                out += "Cache-Control: no-store\r\n";
            out += "Connection: close\r\n\r\n";
            out += response.Body;
            socket->write(out);
            socket->disconnectFromHost();
        });
    }
}
