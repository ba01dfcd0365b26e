// A small HTTP/1.1 server on 127.0.0.1 for end-to-end tests: routes by
// path, records every request exactly as it arrived, one request per
// connection (Connection: close).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <functional>

class QTcpServer;

struct THttpRequest {
    QByteArray RequestLine;  // "GET /a?b HTTP/1.1"
    QByteArray Method;
    QByteArray Target;  // path and query, raw bytes as sent
    QByteArray Path;    // Target before "?"
    QByteArray Query;   // Target after "?" (empty without one)
    QList<QPair<QByteArray, QByteArray>> Headers;
    QByteArray Body;

    // The first header of that name (case-insensitive), empty when none.
    QByteArray Header(const QByteArray& name) const;
};

struct THttpResponse {
    int Status = 200;
    // A Content-Length given here is sent instead of the body's length.
    QList<QPair<QByteArray, QByteArray>> Headers;
    QByteArray Body;

    static THttpResponse Html(const QByteArray& body);
    static THttpResponse Redirect(const QByteArray& location);  // 302
    static THttpResponse NotFound();
};

class TLocalHttpServer : public QObject {
public:
    using Handler = std::function<THttpResponse(const THttpRequest&)>;

    TLocalHttpServer();
    ~TLocalHttpServer() override;

    // Listens on 127.0.0.1 at a free port; false when that failed.
    bool Start();
    quint16 Port() const;
    // "http://127.0.0.1:PORT"
    QString Base() const;

    // The handler of an exact path; Fallback answers every other path
    // (404 unless set).
    void Route(const QByteArray& path, Handler handler);
    void Fallback(Handler handler);

    const QList<THttpRequest>& Requests() const { return m_requests; }
    void ClearRequests() { m_requests.clear(); }
    // Requests whose path equals path, in order.
    QList<THttpRequest> RequestsFor(const QByteArray& path) const;

private:
    void Accept();
    THttpResponse Answer(const THttpRequest& request) const;

    QTcpServer* m_server = nullptr;
    QHash<QByteArray, Handler> m_routes;
    Handler m_fallback;
    QList<THttpRequest> m_requests;
};
