// Lotscope: the application object, its title, the five windows, the loop.
// The program takes no arguments; its data directory is the current one, and
// one copy runs per data directory.
#include "app/LotscopeWindows.h"
#include "app/SingleInstance.h"
#include "shell/browser/EngineLogging.h"
#include "shell/browser/WebEngineBrowser.h"
#include "ui/Reporter.h"

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    // A later start on the folder brings the running copy to the front and
    // ends here, before it touches any file or the engine's profile. A
    // folder that cannot be locked, or a running copy that does not answer,
    // ends the start with a message and a non-zero status.
    TSingleInstance instance;
    std::string refusal = instance.Problem();
    if (refusal.empty() && !instance.IsFirst()) {
        if (instance.AskRunningCopyToFront())
            return 0;
        refusal = TSingleInstance::NoAnswerMessage();
    }

    QuietEngineLogging();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SetApplicationTitle(app);
    // Qt's own dialogs and buttons (file dialogs, Yes/No) speak Japanese.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtJapanese);
    if (!refusal.empty()) {
        ShowStartRefusal(refusal);
        return 1;
    }

    TMessageBoxReporter reporter;
    TLotscopeWindows windows =
        CreateWindows(TEndpoints::Defaults(), TWebEngineBrowser::CreateForUser(QDir::currentPath()), reporter,
                      std::filesystem::current_path());
    windows.Form1->show();
    ServeFrontRequests(instance, windows);
    return app.exec();
}
