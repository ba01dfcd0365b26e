// The program's five windows, created in their fixed order; shared by main
// and the start-up benchmark so both build exactly the same program.
#pragma once

#include "app/SingleInstance.h"
#include "shell/Endpoints.h"
#include "shell/Unit1.h"

#include <QWidget>
#include <filesystem>
#include <memory>

class QApplication;

struct TLotscopeWindows {
    TLotscopeWindows() = default;
    TLotscopeWindows(TLotscopeWindows&&) noexcept = default;
    // The dialogs are child windows of Form1, which would delete them
    // itself: they always go first, when destroyed (reverse order of the
    // members) and when replaced.
    TLotscopeWindows& operator=(TLotscopeWindows&& other) noexcept
    {
        Form5 = std::move(other.Form5);
        Form4 = std::move(other.Form4);
        Form3 = std::move(other.Form3);
        Form2 = std::move(other.Form2);
        Form1 = std::move(other.Form1);
        return *this;
    }
    ~TLotscopeWindows() = default;

    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<QWidget> Form2;  // Yahoo! ID registration
    std::unique_ptr<QWidget> Form3;  // favorites organizer
    std::unique_ptr<QWidget> Form4;  // add favorite
    std::unique_ptr<QWidget> Form5;  // options
};

// Names the application by its title (kApplicationTitle, "Lotscope").
void SetApplicationTitle(QApplication& app);

// Creates TForm1 (its start-up step runs, errors go to reporter), then
// TForm2 to TForm5 hidden, in this order. Closing the main window ends the
// program even while a dialog is open.
TLotscopeWindows CreateWindows(const TEndpoints& endpoints, THostedBrowser* browser,
                               TMessageReporter& reporter, const std::filesystem::path& dataDir);

// Another start asked for the running program: the main window restored,
// raised and activated, and an open dialog raised above it and given the
// focus, since the main window is disabled while one is open.
void BringToFront(const TLotscopeWindows& windows);

// From the event loop on, every request of a later start (instance's socket)
// brings the windows to the front. Nothing to do without a socket.
// Says why this start may not run (UTF-8): on standard error, and in an
// error box where a screen can show one.
void ShowStartRefusal(const std::string& message);
void ServeFrontRequests(const TSingleInstance& instance, const TLotscopeWindows& windows);
