#include "shell/browser/WebEngineBrowser.h"

#include <QAction>
#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The message of an operation the engine refuses (the system's text for an
// unspecified failure).
constexpr const char* kRefusedOperation = "エラーを特定できません";

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
    auto* profile = new QWebEngineProfile(QStringLiteral("Lotscope"));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    profile->setPersistentStoragePath(QDir(data).filePath(QStringLiteral("lotscope/engine")));
    profile->setCachePath(QDir(cache).filePath(QStringLiteral("lotscope/engine")));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    return new TWebEngineBrowser(profile);
}

TWebEngineBrowser* TWebEngineBrowser::CreateOffTheRecord()
{
    return new TWebEngineBrowser(new QWebEngineProfile);
}

TWebEngineBrowser::TWebEngineBrowser(QWebEngineProfile* profile) : m_profile(profile)
{
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
    for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
        connect(m_page->action(action), &QAction::changed, this,
                &TWebEngineBrowser::OnHistoryActionChanged);
}

TWebEngineBrowser::~TWebEngineBrowser()
{
    // The page must go before its profile.
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
