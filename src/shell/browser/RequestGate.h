// The request gate: the engine's request interceptor over a list of
// policies. The browser installs one on its profile, asked for every
// request the engine makes, and each page one of its own, asked after it
// for that page's requests only. In Qt 6 the engine asks on the UI thread,
// so a policy runs like any other code of the window. One gap is the
// engine's: when a server redirects a script's or a subresource's request
// (not a navigation), the engine follows the redirect first and asks here
// afterwards, so the redirected request may go out; its answer is thrown
// away and never reaches the page.
#pragma once

#include "shell/browser/RequestPolicies.h"

#include <QWebEngineUrlRequestInterceptor>
#include <functional>

class TRequestGate final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void AddPolicy(TRequestPolicy policy) { m_policies.Add(std::move(policy)); }
    // Called with the address of every request a policy refuses.
    std::function<void(const QUrl& url)> Refused;

    // Whether a navigation to url may start (a page asks before it starts
    // one, so that a refused one never shows an error page).
    bool AllowsNavigation(const QUrl& url, bool mainFrame);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    TGateVerdict Ask(const TGateRequest& request);

    TRequestPolicies m_policies;
};
