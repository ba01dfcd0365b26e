#include "shell/browser/RequestGate.h"

TGateVerdict TRequestGate::Ask(const TGateRequest& request)
{
    TGateVerdict verdict = m_policies.Ask(request);
    if (verdict.Refused && Refused)
        Refused(request.Url);
    return verdict;
}

bool TRequestGate::AllowsNavigation(const QUrl& url, bool mainFrame)
{
    TGateRequest request;
    request.Url = url;
    request.MainFrame = mainFrame;
    return !Ask(request).Refused;
}

void TRequestGate::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    TGateRequest request;
    request.Url = info.requestUrl();
    request.Initiator = info.initiator();
    request.MainFrame = info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame;
    request.Method = info.requestMethod();
    const TGateVerdict verdict = Ask(request);
    if (verdict.Refused) {
        info.block(true);
        return;
    }
    for (const auto& [name, value] : verdict.Headers)
        info.setHttpHeader(name, value);
}
