#include "app/LotscopeWindows.h"

#include "accounts/Unit2.h"
#include "favorites/Unit3.h"
#include "favorites/Unit4.h"
#include "options/Unit5.h"
#include "ui/Reporter.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cstdio>

// Off unless QT_LOGGING_RULES turns it on ("lotscope.instance.info=true").
Q_LOGGING_CATEGORY(lcInstance, "lotscope.instance", QtWarningMsg)

void SetApplicationTitle(QApplication& app)
{
    // Only the name: a display name would be added to every window's
    // title (" — Lotscope"), and the dialogs carry their bare captions.
    app.setApplicationName(kApplicationTitle);
}

TLotscopeWindows CreateWindows(const TEndpoints& endpoints, THostedBrowser* browser,
                               TMessageReporter& reporter, const std::filesystem::path& dataDir)
{
    TLotscopeWindows w;
    w.Form1 = std::make_unique<TForm1>(endpoints, browser, reporter, dataDir);
    // The dialogs are owned by the main window's window (above it, no
    // taskbar entries of their own).
    w.Form2 = std::make_unique<TForm2>(*w.Form1, w.Form1.get());
    w.Form3 = std::make_unique<TForm3>(*w.Form1, w.Form1.get());
    w.Form4 = std::make_unique<TForm4>(*w.Form1, w.Form1.get());
    w.Form5 = std::make_unique<TForm5>(*w.Form1, w.Form1.get());
    for (QWidget* dialog : {w.Form2.get(), w.Form3.get(), w.Form4.get(), w.Form5.get()})
        dialog->setAttribute(Qt::WA_QuitOnClose, false);
    w.Form1->SetDialogs(w.Form2.get(), w.Form3.get(), w.Form4.get(), w.Form5.get());
    return w;
}

void BringToFront(const TLotscopeWindows& w)
{
    for (QWidget* window : {static_cast<QWidget*>(w.Form1.get()), w.Form2.get(), w.Form3.get(),
                            w.Form4.get(), w.Form5.get()}) {
        if (window != w.Form1.get() && !window->isVisible())
            continue;
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    }
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
    auto* requests =
        new QSocketNotifier(instance.RequestSocket(), QSocketNotifier::Read, windows.Form1.get());
    QObject::connect(requests, &QSocketNotifier::activated, windows.Form1.get(), [&instance, &windows] {
        bool asked = false;
        while (instance.TakeRequest())
            asked = true;
        if (asked)
            BringToFront(windows);
    });
    qCInfo(lcInstance) << "taking requests of later starts";
}
