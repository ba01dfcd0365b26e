// The hosted browser over Qt WebEngine: one QWebEngineView showing the top
// of a small stack of pages (a page opened as a new window lies on its
// opener until it closes), whose signals are turned into the three events
// of THostedBrowser.
#pragma once

#include "shell/browser/HostedBrowser.h"

#include <QList>
#include <QPointer>
#include <QUrl>
#include <memory>
#include <vector>

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class TDownloadSaver;
class QWebEngineView;
class TFilteringPage;
class TRequestGate;
struct TSecretParameter;

class TWebEngineBrowser final : public THostedBrowser {
    Q_OBJECT
public:
    // The program's browser: an on-disk profile in the "engine" folder of
    // the data folder dataDir that keeps cookies (and so a site login)
    // between runs. Each data folder has its own, so copies running on two
    // folders never share one.
    static TWebEngineBrowser* CreateForUser(const QString& dataDir);
    // A browser that keeps nothing on disk (tests, benchmarks).
    static TWebEngineBrowser* CreateOffTheRecord();

    ~TWebEngineBrowser() override;

    QWidget* Widget() override;
    void Navigate(const QString& url) override;
    void GoBack() override;
    void GoForward() override;
    void Refresh() override;
    QString LocationURL() const override;
    bool DocumentPresent() const override;
    void SetNavigationFilter(NavigationFilter filter) override;
    void SetSaveFileChooser(SaveFileChooser chooser) override;
    void HideSecretParameter(const QString& head, const QString& parameter) override;
    void AskToClose(std::function<void(bool agreed)> answer) override;

    // How a typed text becomes the address the engine loads: a text with a
    // scheme as it is, anything else (a bare host) the way a typed address
    // is completed (http://).
    static QUrl AddressFromText(const QString& text);

    // How many pages the view holds (the one shown and those under it).
    std::size_t PageCount() const { return m_pages.size(); }

signals:
    // A request the filter refused, before it left the machine.
    void NavigationRefused(const QString& url);

private:
    // Takes ownership of profile; it is released after the pages.
    explicit TWebEngineBrowser(QWebEngineProfile* profile);
    TFilteringPage* NewPage();
    TFilteringPage* Shown() const;
    void ShowPage(TFilteringPage* page);
    void ClosePage(TFilteringPage* page);
    void Completed();
    void OnUrlChanged(TFilteringPage* page, const QUrl& url);
    void OnLoadingChanged(TFilteringPage* page, const QWebEngineLoadingInfo& info);
    void OnNewWindowRequested(TFilteringPage* opener, QWebEngineNewWindowRequest& request);
    void UpdateHistoryState();
    static bool OpensAsWindow(const QUrl& url);
    void ForgetSecretVisits();

    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<TRequestGate> m_gate;
    QPointer<QWebEngineView> m_view;
    // The pages of the one view, the one shown last: each page opened as a
    // new window lies on the page that opened it.
    std::vector<TFilteringPage*> m_pages;
    TDownloadSaver* m_downloads = nullptr;
    // The secret-carrying addresses and the script that drops the secret
    // from a page's address; every such address a page asked for.
    std::unique_ptr<TSecretParameter> m_secret;
    QString m_hideSecretSource;
    QList<QUrl> m_secretVisits;
    bool m_document = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
};
