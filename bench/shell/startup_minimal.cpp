// The smallest program that shows the same home page in a QWebEngineView,
// ending at its first committed navigation.
#include "BenchChild.h"

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::urlChanged, &app, [&app](const QUrl& url) {
        if (url.isEmpty())
            return;
        bench::ReportCommitted();
        app.quit();
    });
    view.resize(771, 609);
    view.load(QUrl(QStringLiteral("qrc:/lotscope/home.html")));
    view.show();
    return bench::ReportSettled(app.exec());
}
