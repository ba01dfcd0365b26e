#include "app/LotscopeWindows.h"

#include <QApplication>

namespace {

// Stand-in for a dialog whose window is not part of the build yet: a hidden
// top-level window with the dialog's caption and size.
std::unique_ptr<QWidget> DialogPlaceholder(const char* caption, int width, int height)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QString::fromUtf8(caption));
    window->resize(width, height);
    return window;
}

}  // namespace

void SetApplicationTitle(QApplication& app)
{
    app.setApplicationName(QStringLiteral("Lotscope"));
    app.setApplicationDisplayName(QStringLiteral("Lotscope"));
}

TLotscopeWindows CreateWindows(const TEndpoints& endpoints, THostedBrowser* browser,
                               TMessageReporter& reporter, const std::filesystem::path& dataDir)
{
    TLotscopeWindows w;
    w.Form1 = std::make_unique<TForm1>(endpoints, browser, reporter, dataDir);
    w.Form2 = DialogPlaceholder("Yahoo!IDの登録", 384, 297);
    w.Form3 = DialogPlaceholder("お気に入りの整理", 440, 325);
    w.Form4 = DialogPlaceholder("お気に入りの追加", 345, 199);
    w.Form5 = DialogPlaceholder("オプション設定", 344, 238);
    for (QWidget* dialog : {w.Form2.get(), w.Form3.get(), w.Form4.get(), w.Form5.get()})
        dialog->setAttribute(Qt::WA_QuitOnClose, false);
    w.Form1->SetDialogs(w.Form2.get(), w.Form3.get(), w.Form4.get(), w.Form5.get());
    return w;
}
