#include "app/LotscopeWindows.h"

#include "accounts/Unit2.h"
#include "favorites/Unit3.h"
#include "favorites/Unit4.h"
#include "options/Unit5.h"
#include "ui/DesignFont.h"
#include "ui/Reporter.h"
#include "ui/ShellIcons.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cstdio>
#include <utility>

// Off unless QT_LOGGING_RULES turns it on ("lotscope.instance.info=true").
Q_LOGGING_CATEGORY(lcInstance, "lotscope.instance", QtWarningMsg)

void SetApplicationTitle(QApplication& app)
{
    // Only the name: a display name would be added to every window's
    // title (" — Lotscope"), and the dialogs carry their bare captions.
    app.setApplicationName(kApplicationTitle);
}

namespace {

// A dialog is a window of the main window's (above it, no taskbar entry of
// its own), and closing it leaves the program running.
template <class TDialogWindow>
QWidget* MakeDialog(TForm1& owner)
{
    auto* dialog = new TDialogWindow(owner, &owner);
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    return dialog;
}

}  // namespace

TLotscopeWindows CreateWindows(const TEndpoints& endpoints, std::unique_ptr<THostedBrowser> browser,
                               TMessageReporter& reporter, const std::filesystem::path& dataDir)
{
    // Every window and the boxes Qt makes for them (messages, file
    // dialogs, a line edit before it joins its window) speak in the design
    // font: one font is looked up, not the system's as well. Their style
    // draws the icons it needs rather than loading image files.
    QApplication::setFont(DesignFont());
    UseShellStyle();
    TLotscopeWindows w;
    w.Form1 = std::make_unique<TForm1>(endpoints, std::move(browser), reporter, dataDir);
    w.Form1->SetDialogMakers({MakeDialog<TForm2>, MakeDialog<TForm3>, MakeDialog<TForm4>, MakeDialog<TForm5>});
    return w;
}

void BringToFront(TForm1& main)
{
    main.setWindowState(main.windowState() & ~Qt::WindowMinimized);
    main.show();
    main.raise();
    main.activateWindow();
    main.RaiseOpenDialog();
    qCInfo(lcInstance) << "brought to the front for another start";
}

void ShowStartRefusal(const std::string& message)
{
    std::fprintf(stderr, "lotscope: %s\n", message.c_str());
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        TMessageBoxReporter().ShowError(QString::fromStdString(message));
}

void ServeFrontRequests(const TSingleInstance& instance, const TLotscopeWindows& windows)
{
    if (instance.RequestSocket() < 0) {
        qCWarning(lcInstance) << "not taking requests of later starts: no socket to listen on";
        return;
    }
    TForm1* main = windows.Form1.get();
    const int socket = instance.RequestSocket();
    // The notifier goes with the main window, so the lambda outlives
    // neither the window nor the socket.
    auto* requests = new QSocketNotifier(socket, QSocketNotifier::Read, main);
    QObject::connect(requests, &QSocketNotifier::activated, main, [main, socket] {
        bool asked = false;
        while (TSingleInstance::TakeRequest(socket))
            asked = true;
        if (asked)
            BringToFront(*main);
    });
    qCInfo(lcInstance) << "taking requests of later starts";
}
