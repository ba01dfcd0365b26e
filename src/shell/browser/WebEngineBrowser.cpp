#include "shell/browser/WebEngineBrowser.h"

#include "shell/browser/DownloadSaver.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
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
#include <memory>
#include <mutex>

namespace {

// The message of an operation the engine refuses (the system's text for an
// unspecified failure).
constexpr const char* kRefusedOperation = "エラーを特定できません";

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

// Holds the navigation filter and asks it for every request of the profile,
// on whichever thread the engine calls from. A request the filter refuses
// is blocked before it leaves the machine and announced on the browser's
// thread. One gap is the engine's: when a server redirects a script's or a
// subresource's request (not a navigation), the engine follows the redirect
// first and asks here afterwards, so the redirected request may go out; its
// answer is thrown away and never reaches the page.
class TRequestGate final : public QWebEngineUrlRequestInterceptor {
public:
    explicit TRequestGate(TWebEngineBrowser* browser) : m_browser(browser) {}

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
        const QString address = url.toString(QUrl::FullyEncoded);
        if ((*filter)(address))
            return true;
        QMetaObject::invokeMethod(
            m_browser, [browser = m_browser, address] { emit browser->NavigationRefused(address); },
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

// The page: asks the gate before every navigation of the page or a frame,
// so that a refused one never starts (the gate's blocking alone would show
// an error page in its place), and reports every completed document of a
// frame through a console message only its own script knows.
class TFilteringPage final : public QWebEnginePage {
public:
    TFilteringPage(QWebEngineProfile* profile, TRequestGate* gate, QObject* parent)
        : QWebEnginePage(profile, parent), m_gate(gate)
    {
        // The script runs in a world of its own, out of the pages' reach; a
        // page cannot read it, so it cannot forge the message.
        scripts().insert(PageScript(QStringLiteral("lotscope-frame-complete"),
                                    QStringLiteral("if (window !== window.top) console.debug('%1');").arg(m_frameToken),
                                    QWebEngineScript::ApplicationWorld));
        scripts().insert(BrowserScript(QStringLiteral("OneViewForms.js"), QWebEngineScript::ApplicationWorld));
        scripts().insert(BrowserScript(QStringLiteral("OneViewSubmit.js"), QWebEngineScript::MainWorld));
    }

    // Called for each document a frame of the page has started to show.
    std::function<void()> FrameCompleted;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override { return m_gate->Allows(url); }

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
    // A script run in every frame of the page, in the given world, before
    // the page's own.
    static QWebEngineScript PageScript(const QString& name, const QString& source, quint32 world)
    {
        QWebEngineScript script;
        script.setName(name);
        script.setInjectionPoint(QWebEngineScript::DocumentCreation);
        script.setWorldId(world);
        script.setRunsOnSubFrames(true);
        script.setSourceCode(source);
        return script;
    }

    // One of the browser's own scripts from its resources.
    static QWebEngineScript BrowserScript(const QString& name, quint32 world)
    {
        QFile file(QStringLiteral(":/lotscope/browser/") + name);
        if (!file.open(QIODevice::ReadOnly))
            qWarning("the browser's script %s is missing", qPrintable(name));
        return PageScript(name, QString::fromUtf8(file.readAll()), world);
    }

    TRequestGate* m_gate;
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
    m_page = new TFilteringPage(m_profile, m_gate.get(), m_view);
    m_view->setPage(m_page);
    m_page->FrameCompleted = [this] { Completed(); };

    connect(m_page, &QWebEnginePage::urlChanged, this, &TWebEngineBrowser::OnUrlChanged);
    connect(m_page, &QWebEnginePage::loadingChanged, this, &TWebEngineBrowser::OnLoadingChanged);
    connect(m_page, &QWebEnginePage::newWindowRequested, this, &TWebEngineBrowser::OnNewWindowRequested);
    connect(m_page, &QWebEnginePage::linkHovered, this, &THostedBrowser::StatusTextChange);
    connect(m_page, &QWebEnginePage::loadProgress, this, [this](int percent) {
        emit StatusTextChange(QStringLiteral("ページを読み込んでいます... (%1%)").arg(percent));
    });
    connect(m_page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        emit StatusTextChange(ok ? QStringLiteral("ページが表示されました") : QString());
    });
    m_downloads = new TDownloadSaver(m_profile, m_page, this);
    connect(m_downloads, &TDownloadSaver::Progress, this, &THostedBrowser::StatusTextChange);
    connect(m_downloads, &TDownloadSaver::Finished, this, &THostedBrowser::DownloadFinished);
    for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
        connect(m_page->action(action), &QAction::changed, this,
                &TWebEngineBrowser::OnHistoryActionChanged);
}

TWebEngineBrowser::~TWebEngineBrowser()
{
    // Running downloads end with their temporary files; the page must go
    // before its profile, the profile before its interceptor (the gate,
    // released after this body).
    delete m_downloads;
    delete m_view.data();
    delete m_profile;
}

QWidget* TWebEngineBrowser::Widget()
{
    return m_view;
}

QUrl TWebEngineBrowser::AddressFromText(const QString& text)
{
    static const QRegularExpression withScheme(
        QStringLiteral("^(?:[A-Za-z][A-Za-z0-9+.-]*://|(?:about|data|javascript|mailto|qrc|file):)"));
    if (withScheme.match(text).hasMatch())
        return QUrl(text, QUrl::TolerantMode);
    return QUrl::fromUserInput(text);
}

void TWebEngineBrowser::Navigate(const QString& url)
{
    m_page->load(AddressFromText(url));
}

void TWebEngineBrowser::GoBack()
{
    if (!m_page->history()->canGoBack())
        throw TBrowserError(kRefusedOperation);
    m_page->triggerAction(QWebEnginePage::Back);
}

void TWebEngineBrowser::GoForward()
{
    if (!m_page->history()->canGoForward())
        throw TBrowserError(kRefusedOperation);
    m_page->triggerAction(QWebEnginePage::Forward);
}

void TWebEngineBrowser::Refresh()
{
    m_page->triggerAction(QWebEnginePage::Reload);
}

QString TWebEngineBrowser::LocationURL() const
{
    return m_page->url().toString(QUrl::FullyEncoded);
}

bool TWebEngineBrowser::DocumentPresent() const
{
    return m_document;
}

void TWebEngineBrowser::SetNavigationFilter(NavigationFilter filter)
{
    m_gate->SetFilter(std::move(filter));
}

void TWebEngineBrowser::SetSaveFileChooser(SaveFileChooser chooser)
{
    m_downloads->SetChooser(std::move(chooser));
}

void TWebEngineBrowser::Completed()
{
    m_document = true;
    emit NavigateComplete2();
}

// The page's own navigations: a new document is reported when its address
// is committed, or at the end of its load when the address stayed the same
// (a reload, the same address again); a navigation within the document
// (an anchor, a script's history entry) changes the address only. A load
// that was stopped or refused completes nothing.
void TWebEngineBrowser::OnUrlChanged(const QUrl& url)
{
    if (url.isEmpty())
        return;
    m_committedInLoad = m_loading;
    Completed();
}

void TWebEngineBrowser::OnLoadingChanged(const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        m_loading = true;
        m_committedInLoad = false;
        return;
    }
    const bool reported = m_committedInLoad || !m_loading;
    m_loading = false;
    m_committedInLoad = false;
    if (!reported && info.status() != QWebEngineLoadingInfo::LoadStoppedStatus)
        Completed();
}

// A page meant for a new window (a link with a target of its own, a
// script's window.open) becomes a navigation of this page: a new history
// entry, asked of the filter like any other. The engine's window for it is
// never made. An empty address or an about: page (a blank page which a
// script would fill in; the engine names an empty one "about:blank#blocked")
// has nothing to show here.
void TWebEngineBrowser::OnNewWindowRequested(QWebEngineNewWindowRequest& request)
{
    const QUrl url = request.requestedUrl();
    if (url.isEmpty() || url.scheme() == QLatin1String("about"))
        return;
    // Not from inside the engine's own call.
    QMetaObject::invokeMethod(this, [this, url] { m_page->load(url); }, Qt::QueuedConnection);
}

void TWebEngineBrowser::OnHistoryActionChanged()
{
    const bool back = m_page->action(QWebEnginePage::Back)->isEnabled();
    const bool forward = m_page->action(QWebEnginePage::Forward)->isEnabled();
    if (forward != m_forwardEnabled) {
        m_forwardEnabled = forward;
        emit CommandStateChange(1, forward);
    }
    if (back != m_backEnabled) {
        m_backEnabled = back;
        emit CommandStateChange(2, back);
    }
}
