// The program as main builds it (the user's engine profile, the data folder
// as current directory), on the test site's endpoints given as argv[1]. With
// auto-login on it logs in at start; once that page has loaded it closes
// normally, so the engine shuts down as it does at the program's end.
#include "AuctionSite.h"
#include "app/LotscopeWindows.h"
#include "shell/browser/WebEngineBrowser.h"
#include "ui/Reporter.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    SetApplicationTitle(app);
    TStderrReporter reporter;
    std::unique_ptr<TWebEngineBrowser> owned = TWebEngineBrowser::CreateForUser(QDir::currentPath());
    TWebEngineBrowser* browser = owned.get();
    TLotscopeWindows windows = CreateWindows(TAuctionSite::EndpointsAt(QString::fromLocal8Bit(argv[1])),
                                             std::move(owned), reporter, std::filesystem::current_path());
    QObject::connect(static_cast<QWebEngineView*>(browser->Widget())->page(), &QWebEnginePage::loadFinished, &app,
                     [&windows](bool) { QTimer::singleShot(500, windows.Form1.get(), &QWidget::close); });
    windows.Form1->show();
    return app.exec();
}
