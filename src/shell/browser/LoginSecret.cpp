#include "shell/browser/LoginSecret.h"

#include "shell/browser/BrowserPage.h"
#include "shell/browser/PageScripts.h"
#include "shell/browser/RequestGate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QUrlQuery>
#include <QWebEngineProfile>

namespace {

// Marks a page from the moment it asks for a secret-carrying address until
// one of its loads has ended on an address without the secret. The
// document of such an address asks for its pictures and scripts as soon as
// it reads its first bytes, with the whole address as Referer, before the
// clean-up script drops the secret; the engine may hand those requests to
// the gate only after the page already shows the address without it, so no
// address the engine reports at that moment tells them apart (the engine
// reports a load's end only once the page loads nothing, its pictures
// included). Attached to its page (owned by it).
class TSecretMark final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    static TSecretMark* Of(const QObject* page)
    {
        return page->findChild<TSecretMark*>({}, Qt::FindDirectChildrenOnly);
    }

    bool Marked = false;
};

// While the page is marked, everything it asks for but its own navigations
// goes with the asking document's origin alone as Referer, written as a
// browser sends it ("http://host:port/"); a document without an origin of
// its own (a sandboxed frame) sends none. Other pages, and this one before
// and after, keep their Referer.
TRequestPolicy OriginOnlyReferer(QPointer<TSecretMark> mark)
{
    return [mark](const TGateRequest& request, TGateVerdict& verdict) {
        if (!mark || !mark->Marked || request.MainFrame)
            return;
        const QUrl& origin = request.Initiator;
        verdict.Headers.emplace_back("Referer", origin.isEmpty() ? QByteArray()
                                                                 : origin.adjusted(QUrl::RemovePath).toEncoded() + '/');
    };
}

}  // namespace

bool TSecretParameter::HeldBy(const QUrl& url) const
{
    return !Head.isEmpty() && url.toString(QUrl::FullyEncoded).startsWith(Head, Qt::CaseInsensitive) &&
           QUrlQuery(url).hasQueryItem(Parameter);
}

void TLoginSecret::Hide(const QString& head, const QString& parameter, const std::vector<TBrowserPage*>& pages)
{
    m_secret = {head, parameter};
    m_scriptData =
        QString::fromUtf8(QJsonDocument(QJsonArray{head.toLower(), parameter}).toJson(QJsonDocument::Compact));
    for (TBrowserPage* page : pages)
        page->AddScript(kHideSecretScript, m_scriptData);
}

void TLoginSecret::Guard(TBrowserPage* page)
{
    page->Gate().AddPolicy(OriginOnlyReferer(new TSecretMark(page)));
    if (!m_scriptData.isEmpty())
        page->AddScript(kHideSecretScript, m_scriptData);
}

void TLoginSecret::NavigationAsked(TBrowserPage* page, const QUrl& url, bool mainFrame)
{
    if (!m_secret.HeldBy(url))
        return;
    m_visits.append(url);
    if (TSecretMark* mark = TSecretMark::Of(page); mark && mainFrame)
        mark->Marked = true;
}

void TLoginSecret::LoadEnded(TBrowserPage* page)
{
    ForgetVisits();
    if (TSecretMark* mark = TSecretMark::Of(page); mark && !m_secret.HeldBy(page->url()))
        mark->Marked = false;
}

void TLoginSecret::ForgetVisits()
{
    if (!m_visits.isEmpty())
        m_profile->clearVisitedLinks(m_visits);
}

#include "LoginSecret.moc"
