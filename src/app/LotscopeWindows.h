// The program's five windows: the main window, and the four dialogs it
// makes when they are first opened. Shared by main and the start-up
// benchmark so both build exactly the same program.
#pragma once

#include "app/SingleInstance.h"
#include "shell/Endpoints.h"
#include "shell/Unit1.h"

#include <QWidget>
#include <filesystem>
#include <memory>

class QApplication;

// The main window; the dialogs are its own (made when first opened, and
// gone with it).
struct TLotscopeWindows {
    std::unique_ptr<TForm1> Form1;

    QWidget* Form2() const { return Form1->Dialog(TForm1::TDialog::Form2); }  // Yahoo! ID registration
    QWidget* Form3() const { return Form1->Dialog(TForm1::TDialog::Form3); }  // favorites organizer
    QWidget* Form4() const { return Form1->Dialog(TForm1::TDialog::Form4); }  // add favorite
    QWidget* Form5() const { return Form1->Dialog(TForm1::TDialog::Form5); }  // options
};

// Names the application by its title (kApplicationTitle, "Lotscope").
void SetApplicationTitle(QApplication& app);

// Creates TForm1, which owns browser (its start-up step runs, errors go to
// reporter), and gives it the makers of TForm2 to TForm5. Closing the main
// window ends the program even while a dialog is open.
TLotscopeWindows CreateWindows(const TEndpoints& endpoints, std::unique_ptr<THostedBrowser> browser,
                               TMessageReporter& reporter, const std::filesystem::path& dataDir);

// Another start asked for the running program: the main window restored,
// raised and activated, and an open dialog raised above it and given the
// focus, since the main window is disabled while one is open.
void BringToFront(TForm1& main);

// Says why this start may not run (UTF-8): on standard error, and in an
// error box where a screen can show one.
void ShowStartRefusal(const std::string& message);
// From the event loop on, every request of a later start (instance's socket)
// brings the windows to the front, for as long as the main window lives;
// instance must keep its socket open that long. Nothing to do without a
// socket.
void ServeFrontRequests(const TSingleInstance& instance, const TLotscopeWindows& windows);
