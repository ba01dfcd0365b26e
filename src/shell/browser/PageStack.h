// The pages of the one view, the one shown last: each page opened as a new
// window lies on the page that opened it until it closes, as a browser's
// new tab would. The stack owns its pages (everyone else holds them by
// QPointer or for the length of a call), keeps at most kMaxPages, decides
// which new windows open at all (the pop-up policy) and shows its top page
// in the view.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

class QWebEngineNewWindowRequest;
class QWebEngineView;
class TBrowserPage;
class TRequestGate;

class TPageStack final : public QObject {
    Q_OBJECT
public:
    // How many pages the view keeps: beyond that the oldest is closed.
    static constexpr std::size_t kMaxPages = 8;

    using PageMaker = std::function<std::unique_ptr<TBrowserPage>()>;

    // Shows its pages in view (which may go first); asks gate before a new
    // window opens; makes each page with makePage.
    TPageStack(QWebEngineView* view, TRequestGate& gate, PageMaker makePage);
    ~TPageStack() override;

    // Makes the first page and shows it.
    void OpenFirst();
    TBrowserPage* Shown() const;
    bool IsShown(const TBrowserPage* page) const { return page == Shown(); }
    std::size_t Count() const { return m_pages.size(); }
    std::vector<TBrowserPage*> Pages() const;

    // A page closes when its script or Back from its first entry asks it to
    // (the page at the bottom of the stack stays: no page closes the
    // program); the page below it shows again as it was.
    void Close(TBrowserPage* page);

    // What a new window may show: a web page, or a blank page its opener
    // fills in.
    static bool OpensAsWindow(const QUrl& url);

signals:
    // page is shown in the view in place of another.
    void PageShown(TBrowserPage* page);
    // page has left the stack; it is deleted from the event loop.
    void PageClosing(TBrowserPage* page);
    // A line for the status bar (a window that was not opened).
    void StatusTextChanged(const QString& text);

private:
    void Watch(TBrowserPage* page);
    void OnNewWindowRequested(TBrowserPage* opener, QWebEngineNewWindowRequest& request);
    void Show(TBrowserPage* page);

    QPointer<QWebEngineView> m_view;
    TRequestGate& m_gate;
    PageMaker m_makePage;
    std::vector<std::unique_ptr<TBrowserPage>> m_pages;
};
