// The hosted browser over Qt WebEngine, assembled from its rooms: the
// profile (EngineProfile), the request gate with its policies
// (RequestGate), the login secret (LoginSecret), the stack of pages shown
// in one QWebEngineView (PageStack, BrowserPage), downloads
// (DownloadSaver). It turns their signals into the events of
// THostedBrowser.
#pragma once

#include "shell/browser/HostedBrowser.h"
#include "shell/browser/TypedAddress.h"

#include <QPointer>
#include <QUrl>
#include <memory>

class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;
class TBrowserPage;
class TDownloadSaver;
class TLoginSecret;
class TPageStack;
class TRequestGate;

// Owns a widget that a window places among its children: deleted with its
// owner, unless the window has deleted it first.
template <class T>
class TPlacedWidget {
public:
    explicit TPlacedWidget(T* widget) : m_widget(widget) { }
    TPlacedWidget(const TPlacedWidget&) = delete;
    TPlacedWidget& operator=(const TPlacedWidget&) = delete;
    ~TPlacedWidget() { delete m_widget.data(); }
    T* get() const { return m_widget.data(); }

private:
    QPointer<T> m_widget;
};

class TWebEngineBrowser final : public THostedBrowser {
    Q_OBJECT
public:
    // The program's browser: an on-disk profile in the "engine" folder of
    // the data folder dataDir that keeps cookies (and so a site login)
    // between runs. Each data folder has its own, so copies running on two
    // folders never share one.
    static std::unique_ptr<TWebEngineBrowser> CreateForUser(const QString& dataDir);
    // A browser that keeps nothing on disk (tests, benchmarks).
    static std::unique_ptr<TWebEngineBrowser> CreateOffTheRecord();

    ~TWebEngineBrowser() override;

    QWidget* Widget() override;
    void Navigate(const QString& url) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    QString LocationURL() const override;
    bool DocumentPresent() const override;
    void AddRequestPolicy(RequestPolicy policy) override;
    void SetSaveFileChooser(SaveFileChooser chooser) override;
    void HideSecretParameter(const QString& head, const QString& parameter) override;
    void AskToClose(std::function<void(bool agreed)> answer) override;

    // How a typed text becomes the address the engine loads (TypedAddress.h).
    static QUrl AddressFromText(const QString& text) { return ::AddressFromText(text); }

    // How many pages the view holds (the one shown and those under it).
    std::size_t PageCount() const;

signals:
    // A request a policy refused, before it left the machine.
    void NavigationRefused(const QString& url);

private:
    explicit TWebEngineBrowser(std::unique_ptr<QWebEngineProfile> profile);
    std::unique_ptr<TBrowserPage> NewPage();
    TBrowserPage* Shown() const;
    void Completed();
    void OnUrlChanged(TBrowserPage* page, const QUrl& url);
    void OnLoadingChanged(TBrowserPage* page, const QWebEngineLoadingInfo& info);
    void OnPageShown(TBrowserPage* page);
    void UpdateHistoryState();

    // Declared in the order they are needed, so destroyed in the order they
    // must go: downloads (running ones end with their temporary files),
    // the view, the pages, the profile, and last the profile's gate.
    std::unique_ptr<TRequestGate> m_gate;
    std::unique_ptr<QWebEngineProfile> m_profile;
    std::unique_ptr<TLoginSecret> m_secret;
    std::unique_ptr<TPageStack> m_stack;
    TPlacedWidget<QWebEngineView> m_view;
    std::unique_ptr<TDownloadSaver> m_downloads;
    bool m_document = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
};
