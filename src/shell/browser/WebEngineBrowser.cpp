#include "shell/browser/WebEngineBrowser.h"

#include "shell/browser/BrowserPage.h"
#include "shell/browser/DownloadSaver.h"
#include "shell/browser/EngineProfile.h"
#include "shell/browser/LoginSecret.h"
#include "shell/browser/PageMenu.h"
#include "shell/browser/PageQuestions.h"
#include "shell/browser/PageStack.h"
#include "shell/browser/RequestGate.h"

#include <QAction>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineView>

namespace {

// The message of an operation the engine refuses (the system's text for an
// unspecified failure).
constexpr const char* kRefusedOperation = "エラーを特定できません";

}  // namespace

std::unique_ptr<TWebEngineBrowser> TWebEngineBrowser::CreateForUser(const QString& dataDir)
{
    return std::unique_ptr<TWebEngineBrowser>(new TWebEngineBrowser(UserProfile(dataDir)));
}

std::unique_ptr<TWebEngineBrowser> TWebEngineBrowser::CreateOffTheRecord()
{
    return std::unique_ptr<TWebEngineBrowser>(new TWebEngineBrowser(OffTheRecordProfile()));
}

TWebEngineBrowser::TWebEngineBrowser(std::unique_ptr<QWebEngineProfile> profile)
    : m_gate(std::make_unique<TRequestGate>()),
      m_profile(std::move(profile)),
      m_secret(std::make_unique<TLoginSecret>(m_profile.get())),
      m_view(new QWebEngineView)
{
    m_profile->setUrlRequestInterceptor(m_gate.get());
    m_gate->Refused = [this](const QUrl& url) {
        emit NavigationRefused(QString::fromLatin1(url.toEncoded(QUrl::FullyEncoded)));
    };
    m_view.get()->setObjectName(QStringLiteral("WebBrowser1"));
    InstallPageMenu(m_view.get());
    m_stack = std::make_unique<TPageStack>(m_view.get(), *m_gate, [this] { return NewPage(); });
    connect(m_stack.get(), &TPageStack::PageShown, this, &TWebEngineBrowser::OnPageShown);
    connect(m_stack.get(), &TPageStack::PageClosing, this, [this](TBrowserPage* page) { page->disconnect(this); });
    connect(m_stack.get(), &TPageStack::StatusTextChanged, this, &THostedBrowser::StatusTextChange);
    m_stack->OpenFirst();
    m_downloads = std::make_unique<TDownloadSaver>(m_profile.get());
    connect(m_downloads.get(), &TDownloadSaver::Progress, this, &THostedBrowser::StatusTextChange);
    connect(m_downloads.get(), &TDownloadSaver::Finished, this, &THostedBrowser::DownloadFinished);
    connect(this, &TWebEngineBrowser::NavigationRefused, this, &THostedBrowser::RequestRefused);
}

TWebEngineBrowser::~TWebEngineBrowser()
{
    // Nothing a page reports while the members go reaches this browser.
    for (TBrowserPage* page : m_stack->Pages())
        page->disconnect(this);
}

// Each page reports to this browser; what the status bar and the history
// buttons show follows the page shown, and a page underneath goes on
// working unseen.
std::unique_ptr<TBrowserPage> TWebEngineBrowser::NewPage()
{
    auto owned = std::make_unique<TBrowserPage>(m_profile.get(), m_gate.get());
    TBrowserPage* page = owned.get();
    m_secret->Guard(page);
    page->FrameCompleted = [this, page] {
        if (m_stack->IsShown(page))
            Completed();
    };
    page->NavigationAsked = [this, page](const QUrl& url, bool mainFrame) {
        m_secret->NavigationAsked(page, url, mainFrame);
    };
    connect(page, &QWebEnginePage::urlChanged, this, [this, page](const QUrl& url) { OnUrlChanged(page, url); });
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this, page](const QWebEngineLoadingInfo& info) { OnLoadingChanged(page, info); });
    connect(page, &QWebEnginePage::linkHovered, this, [this, page](const QString& url) {
        if (m_stack->IsShown(page))
            emit StatusTextChange(url);
    });
    connect(page, &QWebEnginePage::loadProgress, this, [this, page](int percent) {
        if (m_stack->IsShown(page))
            emit StatusTextChange(QStringLiteral("ページを読み込んでいます... (%1%)").arg(percent));
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this, page](bool ok) {
        if (m_stack->IsShown(page))
            emit StatusTextChange(ok ? QStringLiteral("ページが表示されました") : QString());
    });
    for (auto action : {QWebEnginePage::Back, QWebEnginePage::Forward})
        connect(page->action(action), &QAction::changed, this, [this, page] {
            if (m_stack->IsShown(page))
                UpdateHistoryState();
        });
    return owned;
}

TBrowserPage* TWebEngineBrowser::Shown() const { return m_stack->Shown(); }

std::size_t TWebEngineBrowser::PageCount() const { return m_stack->Count(); }

QWidget* TWebEngineBrowser::Widget() { return m_view.get(); }

void TWebEngineBrowser::Navigate(const QString& url) { Shown()->load(AddressFromText(url)); }

// Back from the first entry of a page opened as a new window closes that
// page, as its own window.close() would, asking its beforeunload first.
void TWebEngineBrowser::GoBack()
{
    if (Shown()->history()->canGoBack())
        Shown()->triggerAction(QWebEnginePage::Back);
    else if (m_stack->Count() > 1)
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

// The window's policies (the bid stop) see the address as the engine sends
// it, fully percent-encoded ASCII.
void TWebEngineBrowser::AddRequestPolicy(RequestPolicy policy)
{
    m_gate->AddPolicy([policy = std::move(policy)](const TGateRequest& request, TGateVerdict& verdict) {
        const QByteArray address = request.Url.toEncoded(QUrl::FullyEncoded);
        if (!policy(std::string_view(address.constData(), static_cast<std::size_t>(address.size()))))
            verdict.Refused = true;
    });
}

void TWebEngineBrowser::SetSaveFileChooser(SaveFileChooser chooser) { m_downloads->SetChooser(std::move(chooser)); }

void TWebEngineBrowser::AskToClose(std::function<void(bool agreed)> answer)
{
    if (TPageQuestions* questions = TPageQuestions::Of(Shown()))
        questions->AskToClose(std::move(answer));
    else
        answer(true);
}

void TWebEngineBrowser::HideSecretParameter(const QString& head, const QString& parameter)
{
    m_secret->Hide(head, parameter, m_stack->Pages());
}

void TWebEngineBrowser::Completed()
{
    m_document = true;
    emit NavigateComplete2();
}

// Only the page shown reports a completed document; one underneath is
// reported when it is shown again.
void TWebEngineBrowser::OnUrlChanged(TBrowserPage* page, const QUrl& url)
{
    m_secret->ForgetVisits();
    if (page->Load.AddressChanged(url.isEmpty()) && m_stack->IsShown(page))
        Completed();
}

void TWebEngineBrowser::OnLoadingChanged(TBrowserPage* page, const QWebEngineLoadingInfo& info)
{
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        page->Load.Started();
        return;
    }
    m_secret->LoadEnded(page);
    if (page->Load.Ended(info.status() == QWebEngineLoadingInfo::LoadStoppedStatus) && m_stack->IsShown(page))
        Completed();
}

void TWebEngineBrowser::OnPageShown(TBrowserPage* page)
{
    UpdateHistoryState();
    if (!page->url().isEmpty())
        Completed();
}

// Back is possible on a page with an earlier entry, and on a page opened as
// a new window (Back closes it).
void TWebEngineBrowser::UpdateHistoryState()
{
    const bool back = Shown()->action(QWebEnginePage::Back)->isEnabled() || m_stack->Count() > 1;
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
