// What the request gate asks before a request leaves the machine: a list of
// policies, each a rule of its own (the bid stop, the login secret's
// Referer), asked in the order they were added. A new rule is added by
// registering one, never by editing the gate. Plain Qt: no engine type
// appears here, so the list is tested without the engine.
#pragma once

#include <QByteArray>
#include <QUrl>
#include <functional>
#include <utility>
#include <vector>

// A request as the policies see it.
struct TGateRequest {
    QUrl Url;                // the address asked for, as the engine sends it
    QUrl Initiator;          // the origin of the document that asks (empty: none)
    bool MainFrame = false;  // a page's own navigation (not a frame's, not a resource)
    QByteArray Method;       // "GET", "POST", ...; empty where the engine does not say
};

// What the policies made of a request.
struct TGateVerdict {
    bool Refused = false;
    // Headers to send in place of the engine's (an empty value sends none).
    std::vector<std::pair<QByteArray, QByteArray>> Headers;
};

// One rule: may refuse the request or set its headers.
using TRequestPolicy = std::function<void(const TGateRequest& request, TGateVerdict& verdict)>;

class TRequestPolicies {
public:
    void Add(TRequestPolicy policy) { m_policies.push_back(std::move(policy)); }
    // Asks each policy in turn; the first refusal ends the asking (a refused
    // request has no headers to set).
    TGateVerdict Ask(const TGateRequest& request) const;

private:
    std::vector<TRequestPolicy> m_policies;
};
