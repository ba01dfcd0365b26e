// The hosted browser over Qt WebEngine: a QWebEngineView whose signals are
// turned into the three events of THostedBrowser.
#pragma once

#include "shell/browser/HostedBrowser.h"

#include <QPointer>
#include <QUrl>

class QWebEngineProfile;
class TDownloadSaver;
class QWebEngineView;
class TFilteringPage;

class TWebEngineBrowser final : public THostedBrowser {
    Q_OBJECT
public:
    // The program's browser: an on-disk profile under the user's data
    // directory that keeps cookies (and so a site login) between runs.
    static TWebEngineBrowser* CreateForUser();
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
    // A main-frame navigation the filter refused, before anything loaded.
    void NavigationRefused(const QString& url);

private:
    // Takes ownership of profile; it is released after the page.
    explicit TWebEngineBrowser(QWebEngineProfile* profile);
    void OnUrlChanged(const QUrl& url);
    void OnHistoryActionChanged();

    QWebEngineProfile* m_profile = nullptr;
    QPointer<QWebEngineView> m_view;
    TFilteringPage* m_page = nullptr;
    TDownloadSaver* m_downloads = nullptr;
    QUrl m_lastUrl;
    bool m_document = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
};
