// The login secret, in one place: the login address carries the password
// in one query parameter. The site receives it; after that nothing of the
// browser keeps it: a page's address drops the parameter before the page's
// first request or script (the address clean-up script), what the page
// asks for meanwhile carries no Referer that holds it (the page is marked
// while its load carries the secret and its requests go with the origin
// alone), and the engine's visited-link table loses every such address,
// redirects included. The window's mask of the address it shows is
// MaskLoginAddress (shell/PageAddresses.h), on the same head and parameter.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <vector>

class QWebEngineProfile;
class TBrowserPage;

// Addresses that carry a secret in one query parameter: those beginning
// with Head (without regard to case) that have the parameter.
struct TSecretParameter {
    QString Head;
    QString Parameter;

    bool HeldBy(const QUrl& url) const;
};

class TLoginSecret {
public:
    // profile: whose visited links are cleaned; it outlives this.
    explicit TLoginSecret(QWebEngineProfile* profile) : m_profile(profile) { }

    // From now on addresses beginning with head that have parameter carry
    // the secret; pages already made get the clean-up script too.
    void Hide(const QString& head, const QString& parameter, const std::vector<TBrowserPage*>& pages);
    // Guards a new page: its Referer rule, and the clean-up script once a
    // secret is known.
    void Guard(TBrowserPage* page);
    // page asks to navigate (a frame included) to url, before the gate.
    void NavigationAsked(TBrowserPage* page, const QUrl& url, bool mainFrame);
    // A load of page has ended: the mark goes once its address is clean.
    void LoadEnded(TBrowserPage* page);
    // Takes the secret-carrying addresses out of the visited links again
    // (the engine records them in between; deleting what is not there
    // costs next to nothing): whenever a page's address changes or a load
    // ends.
    void ForgetVisits();

private:
    QWebEngineProfile* m_profile;
    TSecretParameter m_secret;
    QString m_scriptData;  // the clean-up script's argument, once hidden
    QList<QUrl> m_visits;  // every secret-carrying address a page asked for
};
