// Lotscope as main builds it, ending at its first committed navigation.
#include "BenchChild.h"
#include "app/LotscopeWindows.h"
#include "shell/browser/WebEngineBrowser.h"

#include <QApplication>
#include <QDir>
#include <filesystem>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SetApplicationTitle(app);

    TStderrReporter reporter;
    TLotscopeWindows windows =
        CreateWindows(TEndpoints::Defaults(), TWebEngineBrowser::CreateForUser(QDir::currentPath()), reporter,
                      std::filesystem::current_path());
    QObject::connect(&windows.Form1->Browser(), &THostedBrowser::NavigateComplete2, &app, [&app] {
        bench::ReportCommitted();
        app.quit();
    });
    windows.Form1->show();
    return bench::ReportSettled(app.exec());
}
