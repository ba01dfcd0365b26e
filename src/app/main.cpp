// Lotscope: the application object, its title, the five windows, the loop.
// The program takes no arguments; its data directory is the current one.
#include "app/LotscopeWindows.h"
#include "shell/browser/WebEngineBrowser.h"
#include "ui/Reporter.h"

#include <QApplication>
#include <filesystem>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SetApplicationTitle(app);

    TMessageBoxReporter reporter;
    TLotscopeWindows windows = CreateWindows(TEndpoints::Defaults(), TWebEngineBrowser::CreateForUser(),
                                             reporter, std::filesystem::current_path());
    windows.Form1->show();
    return app.exec();
}
