// TMainWindowLink, all a dialog may ask of the main window: where the data
// files are, how to speak to the user, the address the window shows, the
// account table, and the few things a dialog's OK changes there (the account
// selector, the bid self-restraint flag, the favorites tree, the window's
// input). The main window implements it; a dialog never sees the window
// itself.
#pragma once

#include "settings/AppFiles.h"

#include <QString>
#include <filesystem>

class TMessageReporter;

class TMainWindowLink {
public:
    // The folder of the five data files.
    virtual const std::filesystem::path& DataDir() const = 0;
    // The error display and message box of the program.
    virtual TMessageReporter& Reporter() const = 0;
    // The text of the address box.
    virtual QString ShownAddress() const = 0;

    // The registered accounts the selector shows and the login uses.
    virtual TAccounts& AccountTable() = 0;
    // Clears the account selector and fills it again from AccountTable().
    virtual void FillAccountSelector() = 0;
    // The bid self-restraint flag as option.ini holds it (on when 1).
    virtual void SetBidRestraintFlag(int flag) = 0;
    // Reads the favorites files again and rebuilds the tree.
    virtual void ReloadFavorites() = 0;
    // Takes the main window's input away while a dialog is open and gives
    // it back when the dialog closes.
    virtual void SetMainWindowEnabled(bool enabled) = 0;

protected:
    ~TMainWindowLink() = default;
};
