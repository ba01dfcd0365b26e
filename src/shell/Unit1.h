// TForm1, the main window: the hosted browser, the favorites tree, the
// address row, two toolbars, the menu bar and the status bar; the start-up
// step, every command and the browser's three events; and the program-wide
// state (accounts, bid self-restraint flag, favorite tables).
#pragma once

#include "favorites/FavoritesStore.h"
#include "settings/AppFiles.h"
#include "shell/BidStop.h"
#include "shell/Endpoints.h"
#include "shell/PageAddresses.h"
#include "shell/SearchAddresses.h"
#include "shell/browser/HostedBrowser.h"
#include "textconv/PzConv.h"
#include "ui/MainWindowLink.h"
#include "ui/Reporter.h"

#include <QFont>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TForm1 : public QMainWindow, public TMainWindowLink {
public:
    // Builds the window and runs FormCreate; its errors go to reporter
    // before the window is shown. TForm1 owns browser. dataDir
    // is where the five data files live (the program passes its current
    // directory).
    TForm1(TEndpoints endpoints, std::unique_ptr<THostedBrowser> browser, TMessageReporter& reporter,
           std::filesystem::path dataDir, QWidget* parent = nullptr);
    ~TForm1() override;

    // Program-wide state.
    TAccounts Accounts;
    // The bid self-restraint stop and its flag (read by the browser's
    // request gate, on this window's thread).
    TBidStop BidStop;
    int& BidRestraintFlag = BidStop.Flag;
    TFavoriteTables FavoriteTables;
    TPzConv PzConv1;

    // Controls.
    QMenuBar* MainMenu1 = nullptr;
    QAction* m_open = nullptr;
    QAction* m_save = nullptr;
    QAction* m_close = nullptr;
    QAction* N13 = nullptr;
    QAction* N14 = nullptr;
    QAction* m_exit = nullptr;
    QAction* m_yahoo = nullptr;
    QAction* m_myaucttion = nullptr;
    QAction* m_watch = nullptr;
    QAction* m_watchend = nullptr;
    QAction* m_shuppin = nullptr;
    QAction* m_nyusatu = nullptr;
    QAction* m_favadd = nullptr;
    QAction* m_favedit = nullptr;
    QAction* m_YahooID = nullptr;
    QAction* m_option = nullptr;
    QAction* m_showfav = nullptr;
    QAction* m_closefav = nullptr;
    QAction* m_help = nullptr;

    QFrame* Panel1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton8 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QPushButton* Button7 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* ToolButton13 = nullptr;
    QToolButton* ToolButton10 = nullptr;
    QToolButton* ToolButton11 = nullptr;
    QToolButton* ToolButton12 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QTreeWidget* TreeView1 = nullptr;
    QPushButton* Button1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    // Image lists, by index (see ShellIcons.h).
    QList<QIcon> ImageList1;
    QList<QIcon> ImageList2;
    QList<QIcon> ImageList3;

    // Handlers. Any of them may throw; the window's own connections run them
    // through RunGuarded, so that errors reach the error display.
    void FormCreate();
    void Button1Click();
    void LoadFavorites();
    void Button7Click();
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    void ToolButton7Click();
    void ToolButton8Click();
    void ToolButton9Click();
    void ToolButton10Click();
    void ToolButton11Click();
    void ToolButton12Click();
    void ToolButton13Click();
    void m_exitClick();
    void m_yahooClick();
    void m_myaucttionClick();
    void m_watchClick();
    void m_watchendClick();
    void m_shuppinClick();
    void m_nyusatuClick();
    void m_favaddClick();
    void m_faveditClick();
    void m_YahooIDClick();
    void m_optionClick();
    void m_showfavClick();
    void m_closefavClick();
    void m_helpClick();
    void TreeView1DblClick();
    void Panel3Resize();
    void WebBrowser1StatusTextChange(const QString& text);
    void WebBrowser1CommandStateChange(int command, bool enable);
    void WebBrowser1NavigateComplete2();
    // A download has ended: one message saying where it was saved or why not.
    void WebBrowser1DownloadFinished(const QString& path, const QString& failure);
    // The save dialog for a download, not modal: opens at proposedPath
    // (folder and suggested name) and calls answer with the chosen path,
    // or empty when cancelled. A path in the data folder is refused with a
    // message, the dialog staying open.
    void ChooseSaveFile(const QString& proposedPath, THostedBrowser::SaveAnswer answer);
    // The bid stop refused a request: one line in the status bar.
    void WebBrowser1RequestRefused(const QString& url);

    // For the dialogs (see TMainWindowLink).
    // Clears the account selector (text and items), adds the three IDs of
    // Accounts in order and selects item 0.
    void FillAccountSelector() override;
    TMessageReporter& Reporter() const override { return m_reporter; }
    const std::filesystem::path& DataDir() const override { return m_dataDir; }
    QString ShownAddress() const override;
    TAccounts& AccountTable() override { return Accounts; }
    void SetBidRestraintFlag(int flag) override { BidRestraintFlag = flag; }
    // Button1Click: the tree's reload.
    void ReloadFavorites() override { Button1Click(); }
    // The windows this one owns (its dialogs, message boxes) keep their
    // input while it is disabled, and a click on it then brings the open
    // dialog to the front.
    void SetMainWindowEnabled(bool enabled) override;
    THostedBrowser& Browser() const { return *m_browser; }
    const TEndpoints& Endpoints() const { return m_endpoints; }
    // The four dialogs the commands show, each made by its maker the first
    // time it is asked for, as a window this one owns (a child that goes
    // with it), and kept from then on: a start shows the main window without
    // building windows nobody has opened yet.
    enum class TDialog { Form2, Form3, Form4, Form5 };  // accounts, organizer, add favorite, options
    using DialogMaker = std::function<QWidget*(TForm1& owner)>;
    void SetDialogMakers(std::array<DialogMaker, 4> makers);
    QWidget* Dialog(TDialog which);
    // The dialog on screen, if one is (the main window is disabled while
    // one is open): restored, raised and given the focus.
    void RaiseOpenDialog();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window closes once the page shown agrees (its warning about
    // unsaved input), or does not answer in time.
    void closeEvent(QCloseEvent* event) override;

private:
    // The favorites tree's width as designed: what it starts with and what
    // お気に入りの表示 gives it back.
    static constexpr int kTreeWidth = 121;
    // What a remembered tree width leaves the page at least.
    static constexpr int kMinPageWidth = 100;

    // The form (Unit1Layout.cpp): the window and every control, placed.
    void BuildForm();
    // The window's size and place, and the tree's width: the last run's
    // when it left them, else the designed ones; either fitted to the
    // screens. SaveWindowPlace keeps them for the next run (TFileError).
    void PlaceWindow();
    void SaveWindowPlace() const;
    void BuildMenu();
    void BuildTopPanel();
    void BuildClientArea();
    void ConnectHandlers();
    void Navigate(const std::string& sjisAddress);
    void OpenPage(TPageCommand command);
    void Search(TSearchSite site);
    void ShowDialog(TDialog which);
    void SingleExpand();
    // The window's own keys: Enter on the tree, Enter and the arrows on a
    // toolbar's buttons. Whether the key was used.
    bool KeyPressed(QObject* watched, const QKeyEvent* key);

    TEndpoints m_endpoints;
    std::unique_ptr<THostedBrowser> m_browser;
    TMessageReporter& m_reporter;
    std::filesystem::path m_dataDir;
    std::array<DialogMaker, 4> m_dialogMakers;
    std::array<QPointer<QWidget>, 4> m_dialogs;
    QTreeWidgetItem* m_lastSelected = nullptr;
    bool m_askingToClose = false;
    bool m_closeAgreed = false;
};
