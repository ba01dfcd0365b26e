#include "shell/browser/WebEngineBrowser.h"

#include "shell/browser/DownloadSaver.h"

#include <QAction>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

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

// The page: asks the navigation filter before every main-frame navigation,
// and opens pages meant for a new window in the same view.
class TFilteringPage final : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    THostedBrowser::NavigationFilter Filter;
    std::function<void(const QString&)> Refused;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override
    {
        if (!isMainFrame || !Filter)
            return true;
        const QString address = url.toString(QUrl::FullyEncoded);
        if (Filter(address))
            return true;
        if (Refused)
            Refused(address);
        return false;
    }
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

TWebEngineBrowser* TWebEngineBrowser::CreateForUser()
{
    SpeakJapanese();
    auto* profile = new QWebEngineProfile(QStringLiteral("Lotscope"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    profile->setPersistentStoragePath(QDir(data).filePath(QStringLiteral("lotscope/engine")));
    profile->setCachePath(QDir(cache).filePath(QStringLiteral("lotscope/engine")));
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

TWebEngineBrowser::TWebEngineBrowser(QWebEngineProfile* profile) : m_profile(profile)
{
    m_profile->setHttpAcceptLanguage(QString::fromLatin1(kAcceptLanguage));
    m_view = new QWebEngineView;
    m_view->setObjectName(QStringLiteral("WebBrowser1"));
    m_page = new TFilteringPage(m_profile, m_view);
    m_view->setPage(m_page);
    m_page->Refused = [this](const QString& url) { emit NavigationRefused(url); };

    connect(m_page, &QWebEnginePage::urlChanged, this, &TWebEngineBrowser::OnUrlChanged);
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
    // before its profile.
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
    m_page->Filter = std::move(filter);
}

void TWebEngineBrowser::SetSaveFileChooser(SaveFileChooser chooser)
{
    m_downloads->SetChooser(std::move(chooser));
}

void TWebEngineBrowser::OnUrlChanged(const QUrl& url)
{
    if (url.isEmpty() || url == m_lastUrl)
        return;
    m_lastUrl = url;
    m_document = true;
    emit NavigateComplete2();
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
