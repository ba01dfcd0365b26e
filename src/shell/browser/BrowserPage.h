// A page of the browser: asks the profile's gate before every navigation of
// the page or a frame, so that a refused one never starts (the gate's
// blocking alone would show an error page in its place); answers the page's
// questions through its TPageQuestions; has a gate of its own for its own
// requests; injects the scripts of the table in PageScripts.h; and reports
// every completed document of a frame through a console message only its
// own script knows. Every page of the stack is one of these.
#pragma once

#include "shell/browser/LoadTracker.h"

#include <QString>
#include <QStringView>
#include <QWebEnginePage>
#include <functional>

class TPageQuestions;
class TRequestGate;

class TBrowserPage final : public QWebEnginePage {
public:
    // profileGate is the profile's gate; it outlives the page.
    TBrowserPage(QWebEngineProfile* profile, TRequestGate* profileGate, QObject* parent = nullptr);

    // Called for each document a frame of the page has started to show.
    std::function<void()> FrameCompleted;
    // Called with every address the page or a frame asks to navigate to
    // (a redirect's target included), before the gate.
    std::function<void(const QUrl&, bool mainFrame)> NavigationAsked;

    // The page's own gate, asked after the profile's for this page's
    // requests.
    TRequestGate& Gate() { return *m_gate; }
    // Gives the page's gate to the engine's page shown here; again once this
    // page has adopted the engine's page of a new window (the gate stays
    // with the engine's page it was given to).
    void KeepGate();
    // Injects the table's script named name (PageScripts.h) with its
    // argument; throws std::out_of_range for a name the table lacks.
    void AddScript(QStringView name, const QString& argument);

    // The page's own navigation, as its address and load events tell it.
    TLoadTracker Load;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList&, const QStringList&) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override;

private:
    TRequestGate* m_profileGate;
    // Both attached to the page (its children), so they go with the
    // engine's page after it.
    TPageQuestions* m_questions;
    TRequestGate* m_gate;
    const QString m_frameToken;
};
