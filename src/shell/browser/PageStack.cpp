#include "shell/browser/PageStack.h"

#include "shell/browser/BrowserPage.h"
#include "shell/browser/NewWindowAdoption.h"
#include "shell/browser/RequestGate.h"

#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <algorithm>

namespace {

// The status line of a new window that opens nothing.
constexpr const char* kPopupBlocked = "ポップアップをブロックしました";
constexpr const char* kWindowRefused = "このページは新しいウィンドウでは開けません";

}  // namespace

TPageStack::TPageStack(QWebEngineView* view, TRequestGate& gate, PageMaker makePage)
    : m_view(view), m_gate(gate), m_makePage(std::move(makePage))
{
}

TPageStack::~TPageStack()
{
    for (const auto& page : m_pages)
        page->disconnect(this);
}

void TPageStack::OpenFirst()
{
    m_pages.push_back(m_makePage());
    Watch(Shown());
    if (m_view)
        m_view->setPage(Shown());
}

TBrowserPage* TPageStack::Shown() const { return m_pages.back().get(); }

std::vector<TBrowserPage*> TPageStack::Pages() const
{
    std::vector<TBrowserPage*> pages;
    for (const auto& page : m_pages)
        pages.push_back(page.get());
    return pages;
}

void TPageStack::Watch(TBrowserPage* page)
{
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this, page](QWebEngineNewWindowRequest& request) { OnNewWindowRequested(page, request); });
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this, page] { Close(page); });
    // A new document may ask for a window again.
    connect(page, &QWebEnginePage::loadingChanged, this, [page](const QWebEngineLoadingInfo& info) {
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus)
            page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    });
}

// The engine names a blank page it made for the opener "about:blank" or, for
// an address it would not let the opener ask for, "about:blank#blocked".
bool TPageStack::OpensAsWindow(const QUrl& url)
{
    const QString scheme = url.scheme();
    if (url.isEmpty() || scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("about") && url.path() == QLatin1String("blank");
}

// A new window the user asked for (a click, a key) is the engine's own new
// page, shown in place of its opener, which stays alive underneath: the
// engine sends its requests, keeps its opener, its forms' method and data,
// and what the opener writes into it. A window no user asked for opens
// nothing, like a browser's pop-up blocker; nor does one for a document
// other than a web page, or for an address the gate refuses.
// Once a page has had a window blocked, the engine itself refuses the
// page's further unasked windows until its next document, before making
// anything for them: a page that asks in a loop costs nothing.
void TPageStack::OnNewWindowRequested(TBrowserPage* opener, QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    if (!request.isUserInitiated()) {
        opener->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        emit StatusTextChanged(QString::fromUtf8(kPopupBlocked));
        return;
    }
    if (!OpensAsWindow(url)) {
        emit StatusTextChanged(QString::fromUtf8(kWindowRefused));
        return;
    }
    if (url.scheme() != QLatin1String("about") && !url.isEmpty() && !m_gate.AllowsNavigation(url, true))
        return;
    std::unique_ptr<TBrowserPage> page = m_makePage();
    TBrowserPage* opened = page.get();
    Watch(opened);
    newwindow::Prepare(opened);
    request.openIn(opened);
    opened->KeepGate();
    if (m_pages.size() >= kMaxPages)
        Close(m_pages.front().get());
    m_pages.push_back(std::move(page));
    // The view takes the page once the engine may paint it (a page closed
    // or covered by then is not shown).
    newwindow::Adopted(opened, [this, opened] {
        if (IsShown(opened))
            Show(opened);
    });
}

void TPageStack::Close(TBrowserPage* page)
{
    if (m_pages.size() < 2)
        return;
    const auto it = std::find_if(m_pages.begin(), m_pages.end(), [page](const auto& p) { return p.get() == page; });
    if (it == m_pages.end())
        return;
    const bool shown = IsShown(page);
    std::unique_ptr<TBrowserPage> closing = std::move(*it);
    m_pages.erase(it);
    if (shown)
        Show(Shown());
    closing->disconnect(this);
    emit PageClosing(page);
    // It may be closing from inside one of its own signals: deleted from the
    // event loop, or with the stack if that goes first.
    closing->setParent(this);
    closing.release()->deleteLater();
}

void TPageStack::Show(TBrowserPage* page)
{
    if (m_view)
        m_view->setPage(page);
    emit PageShown(page);
}
