// The hosted browser as the rest of the program sees it: its operations and
// events. Only src/shell/browser/ knows which engine is behind it;
// tests substitute a fake that records calls and fires events.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <stdexcept>
#include <string_view>

class QWidget;

// A browser operation the engine refused (for example going back with no
// earlier page). what() is the message shown to the user (UTF-8).
class TBrowserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class THostedBrowser : public QObject {
    Q_OBJECT
public:
    // The commands of CommandStateChange.
    static constexpr int kForwardCommand = 1;
    static constexpr int kBackCommand = 2;

    using QObject::QObject;
    ~THostedBrowser() override = default;

    // The widget that shows the pages, to be placed in a window.
    virtual QWidget* Widget() = 0;

    // Starts loading url and returns at once.
    virtual void Navigate(const QString& url) = 0;
    // One step back / forward in the engine's history; throws TBrowserError
    // when there is no such step.
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Reloads the current document.
    virtual void Refresh() = 0;
    // The address of the page now shown, fully percent-encoded.
    virtual QString LocationURL() const = 0;
    // Whether any document has been loaded.
    virtual bool DocumentPresent() const = 0;

    // A rule asked before every request the engine makes, whatever made it:
    // a navigation of the page or of a frame in it (link, form, redirect,
    // typed address, a page asked for in a new window), an object, a
    // script's fetch. Returning false refuses it before it leaves the
    // machine; a refused navigation of the page leaves page, history and
    // location as they were. Rules are asked in the order they were added,
    // on the UI thread, like any event of the window; the first refusal
    // ends the asking. The address comes as the engine sends it, fully
    // percent-encoded ASCII.
    using RequestPolicy = std::function<bool(std::string_view url)>;
    virtual void AddRequestPolicy(RequestPolicy policy) = 0;

    // Where a download is saved, asked one download at a time while it
    // already runs into a private temporary file: proposedPath is the
    // download folder and the site's name reduced to a plain file name;
    // answer with the chosen path, or an empty text to cancel the download.
    // The answer may come later, from the event loop. Without a chooser
    // every download is cancelled (a browser that never downloads ignores it).
    using SaveAnswer = std::function<void(const QString& chosen)>;
    using SaveFileChooser = std::function<void(const QString& proposedPath, SaveAnswer answer)>;
    virtual void SetSaveFileChooser(SaveFileChooser) { }

    // Addresses beginning with head (compared without regard to case) carry
    // a secret in the query parameter named parameter (the login address
    // carries the password). The site receives it; after that nothing keeps
    // it: the page's own address drops the parameter before the page's
    // first request or script (so no Referer or document.referrer holds
    // it), and the engine's visited-link table gets no entry for such an
    // address, also when it was redirected.
    virtual void HideSecretParameter(const QString& head, const QString& parameter) = 0;

    // Asks the page shown whether it may close (a page may want to warn
    // of unsaved input) and calls answer with true when it agrees or does
    // not answer within a few seconds, false when the user chose to stay.
    virtual void AskToClose(std::function<void(bool agreed)> answer) { answer(true); }

signals:
    void StatusTextChange(const QString& text);
    // command is kForwardCommand or kBackCommand: whether that step is
    // possible; any other command is to be ignored.
    void CommandStateChange(int command, bool enable);
    // A navigation has completed, of the page or of any frame in it; also a
    // reload and a repeat of the same address.
    void NavigateComplete2();
    // A download has ended: saved as path (failure empty), or not saved,
    // nothing left under path, failure saying why. While it runs, its
    // progress comes as status text.
    void DownloadFinished(const QString& path, const QString& failure);
    // A request a rule refused, before it left the machine.
    void RequestRefused(const QString& url);
};
