// Lotscope: the application object, its title, the five windows, the loop.
// The program takes no arguments; its data directory is the current one, and
// one copy runs per data directory.
#include "app/LotscopeWindows.h"
#include "app/SingleInstance.h"
#include "shell/browser/EngineLogging.h"
#include "shell/browser/WebEngineBrowser.h"
#include "ui/Reporter.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <filesystem>

int main(int argc, char** argv)
{
    // A later start on the folder brings the running copy to the front and
    // ends here, before it touches any file or the engine's profile.
    TSingleInstance instance;
    if (!instance.IsFirst()) {
        instance.AskRunningCopyToFront();
        return 0;
    }

    QuietEngineLogging();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SetApplicationTitle(app);
    // Qt's own dialogs and buttons (file dialogs, Yes/No) speak Japanese.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtJapanese);

    TMessageBoxReporter reporter;
    TLotscopeWindows windows = CreateWindows(TEndpoints::Defaults(), TWebEngineBrowser::CreateForUser(),
                                             reporter, std::filesystem::current_path());
    windows.Form1->show();
    ServeFrontRequests(instance, windows);
    return app.exec();
}
