// Lotscope as main builds it, with real message boxes that close themselves
// once painted, ending when its main window is shown and its favorites tree
// painted. Prints "shown <ns> <messages>" and then the first message.
#include "BenchChild.h"
#include "app/LotscopeWindows.h"
#include "shell/browser/WebEngineBrowser.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>

namespace {

// The program's own message boxes, each laid out and painted (where a long
// text costs its time) and then closed as a user would close it.
class TSelfClosingReporter final : public TMessageReporter {
public:
    void ShowError(const QString& message) override
    {
        Note(message);
        m_boxes.ShowError(message);
    }
    void ShowMessage(const QString& text) override
    {
        Note(text);
        m_boxes.ShowMessage(text);
    }
    bool AskYesNo(const QString& question) override
    {
        Note(question);
        return m_boxes.AskYesNo(question);
    }

    int Count = 0;
    QString First;

private:
    void Note(const QString& text)
    {
        if (Count++ == 0)
            First = text;
        QTimer::singleShot(0, [] {
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                box->grab();
                box->done(0);
            }
        });
    }

    TMessageBoxReporter m_boxes;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    SetApplicationTitle(app);

    TSelfClosingReporter reporter;
    TLotscopeWindows windows =
        CreateWindows(TEndpoints::Defaults(), TWebEngineBrowser::CreateForUser(QDir::currentPath()), reporter,
                      std::filesystem::current_path());
    windows.Form1->show();
    QTimer::singleShot(0, &app, [&] {
        windows.Form1->TreeView1->grab();
        std::printf("shown %lld %d\n%s\n", bench::MonotonicNs(), reporter.Count, qPrintable(reporter.First));
        std::fflush(stdout);
        app.quit();
    });
    return app.exec();
}
