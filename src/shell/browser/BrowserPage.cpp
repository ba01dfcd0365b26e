#include "shell/browser/BrowserPage.h"

#include "shell/browser/PageQuestions.h"
#include "shell/browser/PageScripts.h"
#include "shell/browser/RequestGate.h"

#include <QRandomGenerator>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <stdexcept>

namespace {

// The engine's world of each of the program's worlds.
quint32 EngineWorld(TScriptWorld world)
{
    switch (world) {
    case TScriptWorld::Program:
        return QWebEngineScript::ApplicationWorld;
    }
    throw std::out_of_range("unknown script world");
}

QWebEngineScript::InjectionPoint EnginePoint(TScriptPoint point)
{
    switch (point) {
    case TScriptPoint::DocumentCreation:
        return QWebEngineScript::DocumentCreation;
    }
    throw std::out_of_range("unknown injection point");
}

QString RandomToken()
{
    return QStringLiteral("lotscope-frame-%1-%2")
        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'))
        .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

}  // namespace

TBrowserPage::TBrowserPage(QWebEngineProfile* profile, TRequestGate* profileGate, QObject* parent)
    : QWebEnginePage(profile, parent),
      m_profileGate(profileGate),
      m_questions(TPageQuestions::Attach(this)),
      m_gate(new TRequestGate(this)),
      m_frameToken(RandomToken())
{
    KeepGate();
    // The script runs in the program's world, out of the pages' reach; a
    // page cannot read its token, so it cannot forge the message.
    AddScript(kFrameCompleteScript, m_frameToken);
}

void TBrowserPage::KeepGate() { setUrlRequestInterceptor(m_gate); }

void TBrowserPage::AddScript(QStringView name, const QString& argument)
{
    const TPageScript& row = PageScript(name);
    QWebEngineScript script;
    script.setName(row.Name.toString());
    script.setWorldId(EngineWorld(row.World));
    script.setInjectionPoint(EnginePoint(row.Point));
    script.setRunsOnSubFrames(row.SubFrames);
    script.setSourceCode(PageScriptSource(row, argument));
    scripts().insert(script);
}

bool TBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame)
{
    if (NavigationAsked)
        NavigationAsked(url, isMainFrame);
    return m_profileGate->AllowsNavigation(url, isMainFrame) && m_questions->OpensHere(url);
}

void TBrowserPage::javaScriptAlert(const QUrl& origin, const QString& message) { m_questions->Alert(origin, message); }

bool TBrowserPage::javaScriptConfirm(const QUrl& origin, const QString& message)
{
    return m_questions->Confirm(origin, message);
}

bool TBrowserPage::javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value, QString* result)
{
    return m_questions->Prompt(origin, message, value, result);
}

QStringList TBrowserPage::chooseFiles(FileSelectionMode mode, const QStringList&, const QStringList&)
{
    return m_questions->ChooseFiles(mode == FileSelectOpenMultiple);
}

void TBrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                            const QString& source)
{
    if (message == m_frameToken) {
        if (FrameCompleted)
            FrameCompleted();
        return;
    }
    QWebEnginePage::javaScriptConsoleMessage(level, message, line, source);
}
