#include "shell/browser/WebEngineBrowser.h"

#include "shell/browser/DownloadSaver.h"
#include "shell/browser/NewWindowAdoption.h"
#include "shell/browser/PageMenu.h"
#include "shell/browser/PageQuestions.h"

#include <QAction>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocale>
#include <QRandomGenerator>
#include <QUrlQuery>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>
#include <algorithm>
#include <memory>
#include <mutex>

namespace {

// The message of an operation the engine refuses (the system's text for an
// unspecified failure).
constexpr const char* kRefusedOperation = "エラーを特定できません";

// The status line of a new window that opens nothing.
constexpr const char* kPopupBlocked = "ポップアップをブロックしました";
constexpr const char* kWindowRefused = "このページは新しいウィンドウでは開けません";

// How many pages the view keeps: beyond that the oldest is closed.
constexpr std::size_t kMaxPages = 8;

// Japanese first in every request.
constexpr const char* kAcceptLanguage = "ja,en-US;q=0.8,en;q=0.6";

// The engine takes the language of its own pages and messages (error pages,
// form validation) from the application's default locale when it starts:
// make that Japanese, whatever the desktop's language, before the first
// profile starts the engine.
void SpeakJapanese()
{
    if (QLocale().language() != QLocale::Japanese)
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

}  // namespace

// Addresses that carry a secret in one query parameter: those beginning
// with Head (without regard to case) that have the parameter.
struct TSecretParameter {
    QString Head;
    QString Parameter;

    bool HeldBy(const QUrl& url) const
    {
        return !Head.isEmpty() && url.toString(QUrl::FullyEncoded).startsWith(Head, Qt::CaseInsensitive) &&
               QUrlQuery(url).hasQueryItem(Parameter);
    }
};

// Holds the navigation filter and asks it for every request of the profile,
// on whichever thread the engine calls from. A request the filter refuses
// is blocked before it leaves the machine and announced on the browser's
// thread. One gap is the engine's: when a server redirects a script's or a
// subresource's request (not a navigation), the engine follows the redirect
// first and asks here afterwards, so the redirected request may go out; its
// answer is thrown away and never reaches the page.
class TRequestGate final : public QWebEngineUrlRequestInterceptor {
public:
    explicit TRequestGate(TWebEngineBrowser* browser) : m_browser(browser) { }

    void SetFilter(THostedBrowser::NavigationFilter filter)
    {
        auto shared = filter ? std::make_shared<const THostedBrowser::NavigationFilter>(std::move(filter)) : nullptr;
        const std::lock_guard lock(m_mutex);
        m_filter = std::move(shared);
    }

    // Whether url may be requested; announces a refusal.
    bool Allows(const QUrl& url)
    {
        std::shared_ptr<const THostedBrowser::NavigationFilter> filter;
        {
            const std::lock_guard lock(m_mutex);
            filter = m_filter;
        }
        if (!filter)
            return true;
        const QByteArray address = url.toEncoded(QUrl::FullyEncoded);
        if ((*filter)(std::string_view(address.constData(), static_cast<std::size_t>(address.size()))))
            return true;
        QMetaObject::invokeMethod(
            m_browser,
            [browser = m_browser, address] { emit browser->NavigationRefused(QString::fromLatin1(address)); },
            Qt::QueuedConnection);
        return false;
    }

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!Allows(info.requestUrl()))
            info.block(true);
    }

private:
    TWebEngineBrowser* m_browser;
    std::mutex m_mutex;
    std::shared_ptr<const THostedBrowser::NavigationFilter> m_filter;
};

// Keeps a page's secret-carrying address out of the Referer of what the page
// requests. The document of such an address asks for its pictures and
// scripts as soon as it reads its first bytes, with the whole address as
// Referer, before its script drops the secret; the engine may hand those
// requests here only after the page already shows the address without it,
// so no address the engine reports at that moment tells them apart. The
// page is therefore marked from the moment it asks for a secret-carrying
// address until one of its loads has ended on an address without the secret
// (the engine reports a load's end only once the page loads nothing, its
// pictures included), and meanwhile everything it asks for but its own
// navigations goes with the asking document's origin alone as Referer.
// Other pages, and this one before and after, keep their Referer. Asked
// after the gate, on the browser's thread, for this page's requests only.
class TSecretReferer final : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    bool Marked = false;

    // The origin is written as a browser sends it ("http://host:port/"); a
    // document without an origin of its own (a sandboxed frame) sends none.
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!Marked || info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
            return;
        const QUrl origin = info.initiator();
        info.setHttpHeader("Referer",
                           origin.isEmpty() ? QByteArray() : origin.adjusted(QUrl::RemovePath).toEncoded() + '/');
    }
};

// A page of the browser: asks the gate before every navigation of the page
// or a frame, so that a refused one never starts (the gate's blocking alone
// would show an error page in its place), and reports every completed
// document of a frame through a console message only its own script knows.
// Every page of the stack is one of these.
class TFilteringPage final : public QWebEnginePage {
public:
    TFilteringPage(QWebEngineProfile* profile, TRequestGate* gate, QObject* parent)
        : QWebEnginePage(profile, parent),
          m_gate(gate),
          m_questions(TPageQuestions::Attach(this)),
          m_referer(new TSecretReferer(this))
    {
        KeepRefererGuard();
        // The script runs in a world of its own, out of the pages' reach; a
        // page cannot read it, so it cannot forge the message.
        QWebEngineScript script;
        script.setName(QStringLiteral("lotscope-frame-complete"));
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setRunsOnSubFrames(true);
        script.setSourceCode(QStringLiteral("if (window !== window.top) console.debug('%1');").arg(m_frameToken));
        scripts().insert(script);
    }

    // Called for each document a frame of the page has started to show.
    std::function<void()> FrameCompleted;
    // Called with every address the page or a frame asks to navigate to
    // (a redirect's target included), before the gate.
    std::function<void(const QUrl&, bool mainFrame)> NavigationAsked;

    // Marks the page while its load carries the secret (see TSecretReferer).
    void SetSecretLoad(bool on) { m_referer->Marked = on; }
    // Gives the guard to the engine's page shown here; again once this page
    // has adopted the engine's page of a new window (the guard stays with
    // the engine's page it was given to).
    void KeepRefererGuard() { setUrlRequestInterceptor(m_referer); }

    // Runs source in the page's main frame, in the browser's own world, as
    // each new document starts, before the page's own scripts and requests.
    void AddDocumentScript(const QString& name, const QString& source)
    {
        QWebEngineScript script;
        script.setName(name);
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(QWebEngineScript::ApplicationWorld);
        script.setRunsOnSubFrames(false);
        script.setSourceCode(source);
        scripts().insert(script);
    }

    // The page's own navigation, as its address and load events tell it.
    bool Loading = false;
    bool CommittedInLoad = false;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (NavigationAsked)
            NavigationAsked(url, isMainFrame);
        return m_gate->Allows(url) && m_questions->OpensHere(url);
    }
    void javaScriptAlert(const QUrl& origin, const QString& message) override { m_questions->Alert(origin, message); }
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override
    {
        return m_questions->Confirm(origin, message);
    }
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result) override
    {
        return m_questions->Prompt(origin, message, value, result);
    }
    QStringList chooseFiles(FileSelectionMode mode, const QStringList&, const QStringList&) override
    {
        return m_questions->ChooseFiles(mode == FileSelectOpenMultiple);
    }

    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override
    {
        if (message == m_frameToken) {
            if (FrameCompleted)
                FrameCompleted();
            return;
        }
        QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
    }

private:
    TRequestGate* m_gate;
    TPageQuestions* m_questions;
    TSecretReferer* m_referer;
    const QString m_frameToken = QStringLiteral("lotscope-frame-%1-%2")
                                     .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'))
                                     .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
};

TWebEngineBrowser* TWebEngineBrowser::CreateForUser(const QString& dataDir)
{
    SpeakJapanese();
    auto* profile = new QWebEngineProfile(QStringLiteral("Lotscope"));
    // The engine's caches stay beside its storage, inside the data folder.
    const QString engine = QDir(dataDir).absoluteFilePath(QStringLiteral("engine"));
    profile->setPersistentStoragePath(engine);
    profile->setCachePath(engine);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    // Nothing that holds a page's address goes to disk, since the login
    // address carries the password: the HTTP cache lives in memory only, and
    // no page icons are fetched (the icon store keeps each page's address).
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    return new TWebEngineBrowser(profile);
}

TWebEngineBrowser* TWebEngineBrowser::CreateOffTheRecord()
{
    SpeakJapanese();
    return new TWebEngineBrowser(new QWebEngineProfile);
}

TWebEngineBrowser::TWebEngineBrowser(QWebEngineProfile* profile)
    : m_profile(profile), m_gate(std::make_unique<TRequestGate>(this))
{
    m_profile->setHttpAcceptLanguage(QString::fromLatin1(kAcceptLanguage));
    m_profile->setUrlRequestInterceptor(m_gate.get());
    m_view = new QWebEngineView;
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    InstallPageMenu(m_view);
    TFilteringPage* first = NewPage();
    m_pages.push_back(first);
    m_view->setPage(first);
    m_downloads = new TDownloadSaver(m_profile, this);
    connect(m_downloads, &TDownloadSaver::Progress, this, &THostedBrowser::StatusTextChange);
    connect(m_downloads, &TDownloadSaver::Finished, this, &THostedBrowser::DownloadFinished);
    connect(this, &TWebEngineBrowser::NavigationRefused, this, &THostedBrowser::RequestRefused);
}

TWebEngineBrowser::~TWebEngineBrowser()
{
    // Running downloads end with their temporary files; the pages (the
    // view's children) must go before their profile, the profile before its
    // interceptor (the gate, released after this body).
    delete m_downloads;
    delete m_view.data();
    delete m_profile;
}

TFilteringPage* TWebEngineBrowser::NewPage()
{
    auto* page = new TFilteringPage(m_profile, m_gate.get(), m_view);
    page->FrameCompleted = [this, page] {
        if (page == Shown())
            Completed();
    };
    page->NavigationAsked = [this, page](const QUrl& url, bool mainFrame) {
        if (!m_secret || !m_secret->HeldBy(url))
            return;
        m_secretVisits.append(url);
        if (mainFrame)
            page->SetSecretLoad(true);
    };
    if (!m_hideSecretSource.isEmpty())
        page->AddDocumentScript(QStringLiteral("lotscope-hide-secret"), m_hideSecretSource);
    connect(page, &QWebEnginePage::urlChanged, this, [this, page](const QUrl& url) { OnUrlChanged(page, url); });
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this, page](const QWebEngineLoadingInfo& info) { OnLoadingChanged(page, info); });
    connect(page, &QWebEnginePage::newWindowRequested, this,
            [this, page](QWebEngineNewWindowRequest& request) { OnNewWindowRequested(page, request); });
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this, page] { ClosePage(page); });
    // What the status bar and the history buttons show follows the page
    // shown; a page underneath goes on working unseen.
    connect(page, &QWebEnginePage::linkHovered, this, [this, page](const QString& url) {
        if (page == Shown())
            emit StatusTextChange(url);
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this, page](int percent) {
        if (page == Shown())
            emit StatusTextChange(QStringLiteral("ページを読み込んでいます... (%1%)").arg(percent));
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
        if (page == Shown())
            emit StatusTextChange(ok ? QStringLiteral("ページが表示されました") : QString());
    });
    for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
        connect(page->action(action), &QAction::changed, this, [this, page] {
            if (page == Shown())
                UpdateHistoryState();
        });
    return page;
}

TFilteringPage* TWebEngineBrowser::Shown() const { return m_pages.back(); }

QWidget* TWebEngineBrowser::Widget() { return m_view; }

// Whether typed text begins with a scheme: any "scheme://", or one of the
// schemes written without slashes.
static bool BeginsWithScheme(QStringView text)
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

QUrl TWebEngineBrowser::AddressFromText(const QString& text)
{
    if (BeginsWithScheme(text))
        return QUrl(text, QUrl::TolerantMode);
    return QUrl::fromUserInput(text);
}

void TWebEngineBrowser::Navigate(const QString& url) { Shown()->load(AddressFromText(url)); }

// Back from the first entry of a page opened as a new window closes that
// page, as its own window.close() would, asking its beforeunload first.
void TWebEngineBrowser::GoBack()
{
    if (Shown()->history()->canGoBack())
        Shown()->triggerAction(QWebEnginePage::Back);
    else if (m_pages.size() > 1)
        Shown()->triggerAction(QWebEnginePage::RequestClose);
    else
        throw TBrowserError(kRefusedOperation);
}

void TWebEngineBrowser::GoForward()
{
    if (!Shown()->history()->canGoForward())
        throw TBrowserError(kRefusedOperation);
    Shown()->triggerAction(QWebEnginePage::Forward);
}

void TWebEngineBrowser::Refresh() { Shown()->triggerAction(QWebEnginePage::Reload); }

QString TWebEngineBrowser::LocationURL() const { return Shown()->url().toString(QUrl::FullyEncoded); }

bool TWebEngineBrowser::DocumentPresent() const { return m_document; }

void TWebEngineBrowser::SetNavigationFilter(NavigationFilter filter) { m_gate->SetFilter(std::move(filter)); }

void TWebEngineBrowser::SetSaveFileChooser(SaveFileChooser chooser) { m_downloads->SetChooser(std::move(chooser)); }

void TWebEngineBrowser::AskToClose(std::function<void(bool agreed)> answer)
{
    if (TPageQuestions* questions = TPageQuestions::Of(m_view->page()))
        questions->AskToClose(std::move(answer));
    else
        answer(true);
}

// The script drops every occurrence of the parameter from the query as
// written, keeping the other parameters' bytes, and replaces the document's
// history entry with the result (same document, so nothing is loaded).
void TWebEngineBrowser::HideSecretParameter(const QString& head, const QString& parameter)
{
    m_secret = std::make_unique<TSecretParameter>(TSecretParameter{head, parameter});
    const QString data =
        QString::fromUtf8(QJsonDocument(QJsonArray{head.toLower(), parameter}).toJson(QJsonDocument::Compact));
    m_hideSecretSource = QStringLiteral("(() => {"
                                        "  const [head, name] = %1;"
                                        "  const url = new URL(location.href);"
                                        "  if (!url.href.toLowerCase().startsWith(head)) return;"
                                        "  const all = url.search.slice(1).split('&');"
                                        "  const kept = all.filter((p) => p.split('=')[0] !== name);"
                                        "  if (kept.length === all.length) return;"
                                        "  url.search = kept.join('&');"
                                        "  history.replaceState(history.state, '', url.href);"
                                        "})();")
                             .arg(data);
    for (TFilteringPage* page : m_pages)
        page->AddDocumentScript(QStringLiteral("lotscope-hide-secret"), m_hideSecretSource);
}

// The engine records a visited link for every address of a committed
// navigation's redirect chain; the secret-carrying ones are taken out again
// whenever a page's address changes or a load ends (the engine records them
// in between, and deleting what is not there costs next to nothing).
void TWebEngineBrowser::ForgetSecretVisits()
{
    if (m_secretVisits.isEmpty())
        return;
    m_profile->clearVisitedLinks(m_secretVisits);
}

void TWebEngineBrowser::Completed()
{
    m_document = true;
    emit NavigateComplete2();
}

// A page's own navigations: a new document is reported when its address
// is committed, or at the end of its load when the address stayed the same
// (a reload, the same address again); a navigation within the document
// (an anchor, a script's history entry) changes the address only. A load
// that was stopped or refused completes nothing. Only the page shown
// reports; one underneath is reported when it is shown again.
void TWebEngineBrowser::OnUrlChanged(TFilteringPage* page, const QUrl& url)
{
    ForgetSecretVisits();
    if (url.isEmpty())
        return;
    page->CommittedInLoad = page->Loading;
    if (page == Shown())
        Completed();
}

void TWebEngineBrowser::OnLoadingChanged(TFilteringPage* page, const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        // A new document may ask for a window again.
        page->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
        page->Loading = true;
        page->CommittedInLoad = false;
        return;
    }
    ForgetSecretVisits();
    if (!m_secret || !m_secret->HeldBy(page->url()))
        page->SetSecretLoad(false);
    const bool reported = page->CommittedInLoad || !page->Loading;
    page->Loading = false;
    page->CommittedInLoad = false;
    if (!reported && info.status() != QWebEngineLoadingInfo::LoadStoppedStatus && page == Shown())
        Completed();
}

// What a new window may show: a web page, or a blank page its opener fills
// in (the engine names one it made blank for the opener "about:blank" or,
// for an address it would not let the opener ask for, "about:blank#blocked").
bool TWebEngineBrowser::OpensAsWindow(const QUrl& url)
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
void TWebEngineBrowser::OnNewWindowRequested(TFilteringPage* opener, QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    if (!request.isUserInitiated()) {
        opener->settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        emit StatusTextChange(QString::fromUtf8(kPopupBlocked));
        return;
    }
    if (!OpensAsWindow(url)) {
        emit StatusTextChange(QString::fromUtf8(kWindowRefused));
        return;
    }
    if (url.scheme() != QLatin1String("about") && !url.isEmpty() && !m_gate->Allows(url))
        return;
    TFilteringPage* page = NewPage();
    newwindow::Prepare(page);
    request.openIn(page);
    page->KeepRefererGuard();
    if (m_pages.size() >= kMaxPages)
        ClosePage(m_pages.front());
    m_pages.push_back(page);
    // The view takes the page once the engine may paint it (a page closed
    // or covered by then is not shown).
    newwindow::Adopted(page, [this, page] {
        if (page == Shown())
            ShowPage(page);
    });
}

// A page closes when its script or Back from its first entry asks it to
// (the page at the bottom of the stack stays: no page closes the program);
// the page below it shows again as it was.
void TWebEngineBrowser::ClosePage(TFilteringPage* page)
{
    if (m_pages.size() < 2)
        return;
    const auto it = std::find(m_pages.begin(), m_pages.end(), page);
    if (it == m_pages.end())
        return;
    const bool shown = page == Shown();
    m_pages.erase(it);
    if (shown)
        ShowPage(Shown());
    page->disconnect(this);
    page->deleteLater();
}

void TWebEngineBrowser::ShowPage(TFilteringPage* page)
{
    m_view->setPage(page);
    UpdateHistoryState();
    if (!page->url().isEmpty())
        Completed();
}

// Back is possible on a page with an earlier entry, and on a page opened as
// a new window (Back closes it).
void TWebEngineBrowser::UpdateHistoryState()
{
    const bool back = Shown()->action(QWebEnginePage::Back)->isEnabled() || m_pages.size() > 1;
    const bool forward = Shown()->action(QWebEnginePage::Forward)->isEnabled();
    if (forward != m_forwardEnabled) {
        m_forwardEnabled = forward;
        emit CommandStateChange(kForwardCommand, forward);
    }
    if (back != m_backEnabled) {
        m_backEnabled = back;
        emit CommandStateChange(kBackCommand, back);
    }
}
