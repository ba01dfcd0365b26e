// The questions a page asks the user, answered by the program's own
// Japanese dialogs: a script's alert, confirm and prompt, the warning before
// a page is left or closed, a site's or a proxy's login, the files to
// upload, printing, a link to another program, a certificate that cannot be
// verified. Every page of the browser gets one, attached to it; the page's
// hooks call it. A dialog belongs to the window that shows the page at the
// time it opens, and what a site sends (an address, a realm, a scheme) is
// reduced to what the question needs (a host, a scheme name) first.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <functional>

class QAuthenticator;
class QWebEngineCertificateError;
class QWebEnginePage;
class QWidget;

// How a navigation's scheme is treated.
enum class TSchemeRoute {
    Engine,        // the engine shows it (http, https, about, data, ...)
    OtherProgram,  // handed to the desktop's program for it, after a yes
    Never,         // neither shown nor handed on (view-source, devtools, ...)
};
TSchemeRoute RouteForScheme(const QString& scheme);

// The host a dialog names for a page's origin ("このページ" when it has none).
QString HostForTitle(const QUrl& origin);

class TPageQuestions final : public QObject {
    Q_OBJECT
public:
    // Attaches the answers to page (owned by it) and wires its signals:
    // logins, printing, certificate errors, the close answer; lets scripts
    // write to the clipboard.
    static TPageQuestions* Attach(QWebEnginePage* page);
    // The answers attached to page, or null.
    static TPageQuestions* Of(const QWebEnginePage* page);

    void Alert(const QUrl& origin, const QString& message);
    bool Confirm(const QUrl& origin, const QString& message);
    bool Prompt(const QUrl& origin, const QString& message, const QString& defaultValue, QString* result);
    // The upload dialog; starts in the home folder.
    QStringList ChooseFiles(bool multiple);
    // Whether the engine may go on with a navigation to url. A link to
    // another program is refused here and asked about afterwards.
    bool OpensHere(const QUrl& url);
    // The page's warning before it closes, then its close request; answer
    // gets true when it agrees or does not answer within kCloseWait.
    void AskToClose(std::function<void(bool agreed)> answer);
    // The print dialog for the page, then the page printed.
    void Print();

    static constexpr int kCloseWaitMs = 3000;
    // A script's message is shown up to this many characters, then "…".
    static constexpr int kMessageChars = 2000;

private:
    explicit TPageQuestions(QWebEnginePage* page);
    QWidget* Parent() const;
    void AskLogin(const QString& host, QAuthenticator* authenticator, bool proxy);
    void AskOtherProgram(const QUrl& url);
    void OnCertificateError(const QWebEngineCertificateError& error);
    void EndClose(bool agreed);

    QWebEnginePage* m_page;
    QTimer m_closeTimer;
    std::function<void(bool)> m_closeAnswer;
    bool m_askingOtherProgram = false;
    bool m_printing = false;
    bool m_certificateShown = false;
};
