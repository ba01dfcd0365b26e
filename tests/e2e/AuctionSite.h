// A small auction site for end-to-end tests, served on 127.0.0.1: the
// keyword search's result page, user pages, item pages with a bid link and a
// bid form, the bid-preview page, the login endpoint and a home page. Every
// address lives under <server>/test.jp, so the program's endpoints (which
// end in "jp") and the add dialog's path markers meet as on the real site.
#pragma once

#include "LocalHttpServer.h"
#include "shell/Endpoints.h"

#include <QByteArray>
#include <QList>
#include <QString>

class TAuctionSite {
public:
    TAuctionSite();

    // Listens on a free port; false when that failed.
    bool Start();

    // "http://127.0.0.1:PORT/test.jp"
    QString Base() const;
    // The program's endpoints, all on this site (or on the site at base).
    TEndpoints Endpoints() const;
    static TEndpoints EndpointsAt(const QString& base);

    // Paths as the server sees them.
    static constexpr const char* kHomePath = "/test.jp/home";
    static constexpr const char* kSearchPath = "/test.jp/search/auc";
    static constexpr const char* kUserPrefix = "/test.jp/jp/user/";
    static constexpr const char* kItemPrefix = "/test.jp/jp/auction/";
    static constexpr const char* kBidPreviewPath = "/test.jp/jp/show/bid_preview";
    static constexpr const char* kLoginPath = "/test.jp/login/config/login";
    // The login endpoint answers this ID with a redirect to the home page,
    // any other with a page; both answers are cacheable.
    static constexpr const char* kRedirectedLogin = "redirected";

    // The item page's address for an auction ID.
    QString ItemAddress(const QString& auctionId) const;
    QString UserAddress(const QString& userId) const;

    struct TLogin {
        QByteArray Login;   // the "login" parameter, percent-decoded
        QByteArray Passwd;  // the "passwd" parameter, percent-decoded
    };
    // Every request the login endpoint received, in order.
    const QList<TLogin>& Logins() const { return m_logins; }

    TLocalHttpServer& Server() { return m_server; }
    QList<THttpRequest> RequestsFor(const QByteArray& path) const { return m_server.RequestsFor(path); }

private:
    THttpResponse Answer(const THttpRequest& request);

    TLocalHttpServer m_server;
    QList<TLogin> m_logins;
};
