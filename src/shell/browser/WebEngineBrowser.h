// The hosted browser over Qt WebEngine: a QWebEngineView whose signals are
// turned into the three events of THostedBrowser.
#pragma once

#include "shell/browser/HostedBrowser.h"

#include <QPointer>
#include <QUrl>
#include <memory>

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;
class QWebEngineProfile;
class TDownloadSaver;
class QWebEngineView;
class TFilteringPage;
class TRequestGate;

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

    // How a typed text becomes the address the engine loads: a text with a
    // scheme as it is, anything else (a bare host) the way a typed address
    // is completed (http://).
    static QUrl AddressFromText(const QString& text);

signals:
    // A request the filter refused, before it left the machine.
    void NavigationRefused(const QString& url);

private:
    // Takes ownership of profile; it is released after the page.
    explicit TWebEngineBrowser(QWebEngineProfile* profile);
    void Completed();
    void OnUrlChanged(const QUrl& url);
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnNewWindowRequested(QWebEngineNewWindowRequest& request);
    void OnHistoryActionChanged();

    QWebEngineProfile* m_profile = nullptr;
    std::unique_ptr<TRequestGate> m_gate;
    QPointer<QWebEngineView> m_view;
    TFilteringPage* m_page = nullptr;
    TDownloadSaver* m_downloads = nullptr;
    bool m_loading = false;
    bool m_committedInLoad = false;
    bool m_document = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
};
