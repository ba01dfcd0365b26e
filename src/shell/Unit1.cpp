// TForm1's behaviour: the constructor, which builds the form (see
// Unit1Layout.cpp) and runs the start-up step; the wiring of every control
// and browser event to its handler through the error display; the handlers
// themselves (start-up, the menu and toolbar commands, the address row, the
// browser's events); the favorites tree (loading, one branch open at a
// time, opening an entry); and how the window stays out of the way while
// one of its dialogs is open.
#include "shell/Unit1.h"

#include "accounts/StoredPassword.h"
#include "favorites/FavoritesTree.h"
#include "ui/SaveDialog.h"
#include "ui/WideText.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QWindow>
#include <utility>
#include <vector>

TForm1::TForm1(TEndpoints endpoints, std::unique_ptr<THostedBrowser> browser, TMessageReporter& reporter,
               std::filesystem::path dataDir, QWidget* parent)
    : QMainWindow(parent),
      m_endpoints(std::move(endpoints)),
      m_browser(std::move(browser)),
      m_reporter(reporter),
      m_dataDir(std::move(dataDir))
{
    PzConv1.JisByteCodeType = btAscii;
    PzConv1.JisKanaConvType = ktZenWithDaku;

    BuildForm();
    ConnectHandlers();

    RunGuarded(m_reporter, [this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::ConnectHandlers()
{
    // Every handler runs through the error display.
    auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { RunGuarded(m_reporter, [this, handler] { (this->*handler)(); }); };
    };
    auto onClick = [&](QAbstractButton* button, void (TForm1::*handler)()) {
        connect(button, &QAbstractButton::clicked, this, guarded(handler));
    };
    auto onTrigger = [&](QAction* action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, guarded(handler));
    };

    onClick(Button1, &TForm1::Button1Click);
    onClick(Button7, &TForm1::Button7Click);
    onClick(ToolButton1, &TForm1::ToolButton1Click);
    onClick(ToolButton2, &TForm1::ToolButton2Click);
    onClick(ToolButton3, &TForm1::ToolButton3Click);
    onClick(ToolButton4, &TForm1::ToolButton4Click);
    onClick(ToolButton5, &TForm1::ToolButton5Click);
    onClick(ToolButton6, &TForm1::ToolButton6Click);
    onClick(ToolButton7, &TForm1::ToolButton7Click);
    onClick(ToolButton8, &TForm1::ToolButton8Click);
    onClick(ToolButton9, &TForm1::ToolButton9Click);
    onClick(ToolButton10, &TForm1::ToolButton10Click);
    onClick(ToolButton11, &TForm1::ToolButton11Click);
    onClick(ToolButton12, &TForm1::ToolButton12Click);
    onClick(ToolButton13, &TForm1::ToolButton13Click);

    onTrigger(m_exit, &TForm1::m_exitClick);
    onTrigger(m_yahoo, &TForm1::m_yahooClick);
    onTrigger(m_myaucttion, &TForm1::m_myaucttionClick);
    onTrigger(m_watch, &TForm1::m_watchClick);
    onTrigger(m_watchend, &TForm1::m_watchendClick);
    onTrigger(m_shuppin, &TForm1::m_shuppinClick);
    onTrigger(m_nyusatu, &TForm1::m_nyusatuClick);
    onTrigger(m_favadd, &TForm1::m_favaddClick);
    onTrigger(m_favedit, &TForm1::m_faveditClick);
    onTrigger(m_YahooID, &TForm1::m_YahooIDClick);
    onTrigger(m_option, &TForm1::m_optionClick);
    onTrigger(m_showfav, &TForm1::m_showfavClick);
    onTrigger(m_closefav, &TForm1::m_closefavClick);
    onTrigger(m_help, &TForm1::m_helpClick);

    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, guarded(&TForm1::SingleExpand));
    // Enter in the search box asks the auction site, the first search button.
    connect(Edit1, &QLineEdit::returnPressed, this, guarded(&TForm1::ToolButton13Click));
    // Enter on the tree does what a double-click does.
    TreeView1->installEventFilter(this);
    // Within a toolbar the arrow keys go from button to button, and Enter
    // presses the button as Space does.
    for (QToolBar* bar : {ToolBar1, ToolBar2})
        for (QToolButton* button : bar->findChildren<QToolButton*>())
            button->installEventFilter(this);

    connect(m_browser.get(), &THostedBrowser::StatusTextChange, this,
            [this](const QString& text) { RunGuarded(m_reporter, [&] { WebBrowser1StatusTextChange(text); }); });
    connect(m_browser.get(), &THostedBrowser::CommandStateChange, this, [this](int command, bool enable) {
        RunGuarded(m_reporter, [&] { WebBrowser1CommandStateChange(command, enable); });
    });
    connect(m_browser.get(), &THostedBrowser::NavigateComplete2, this, guarded(&TForm1::WebBrowser1NavigateComplete2));

    connect(m_browser.get(), &THostedBrowser::DownloadFinished, this,
            [this](const QString& path, const QString& failure) {
                RunGuarded(m_reporter, [&] { WebBrowser1DownloadFinished(path, failure); });
            });
    m_browser->SetSaveFileChooser([this](const QString& proposed, THostedBrowser::SaveAnswer answer) {
        bool asked = false;
        RunGuarded(m_reporter, [&] {
            ChooseSaveFile(proposed, answer);
            asked = true;
        });
        if (!asked)
            answer({});
    });
    connect(m_browser.get(), &THostedBrowser::RequestRefused, this,
            [this](const QString& url) { RunGuarded(m_reporter, [&] { WebBrowser1RequestRefused(url); }); });

    // Keep the bid self-restraint stop even where going back is impossible,
    // and for what never becomes the page (a frame, an object, a script's
    // fetch, a download): the stop is a rule the browser asks before every
    // request.
    m_browser->AddRequestPolicy([this](std::string_view url) noexcept { return BidStop.Allows(url); });
    m_browser->HideSecretParameter(QString::fromStdString(LoginAddressHead(m_endpoints)),
                                   QString::fromLatin1(kPasswordParameter.data(), kPasswordParameter.size()));
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_closeAgreed) {
        // The next start opens the window where this one leaves it; a
        // place that cannot be kept is not worth a message at the end.
        try {
            SaveWindowPlace();
        } catch (const std::exception& e) {
            qWarning("lotscope: the window's place was not kept: %s", e.what());
        }
        QMainWindow::closeEvent(event);
        return;
    }
    event->ignore();
    if (m_askingToClose)
        return;
    m_askingToClose = true;
    QPointer<TForm1> self(this);
    m_browser->AskToClose([self](bool agreed) {
        if (!self)
            return;
        self->m_askingToClose = false;
        self->m_closeAgreed = agreed;
        // Not from inside the page's answer.
        if (agreed)
            QMetaObject::invokeMethod(self, &QWidget::close, Qt::QueuedConnection);
    });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && KeyPressed(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == Panel3 && event->type() == QEvent::Resize)
        RunGuarded(m_reporter, [this] { Panel3Resize(); });
    else if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        RunGuarded(m_reporter, [this] { TreeView1DblClick(); });
    else if (watched == windowHandle() && event->type() == QEvent::MouseButtonPress && !isEnabled())
        RaiseOpenDialog();
    return QMainWindow::eventFilter(watched, event);
}

bool TForm1::KeyPressed(QObject* watched, const QKeyEvent* key)
{
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (!plain)
        return false;
    if (watched == TreeView1 && enter) {
        if (QTreeWidgetItem* item = TreeView1->currentItem(); item && item->childCount() > 0)
            item->setExpanded(!item->isExpanded());
        RunGuarded(m_reporter, [this] { TreeView1DblClick(); });
        return true;
    }
    auto* button = qobject_cast<QToolButton*>(watched);
    if (!button || !qobject_cast<QToolBar*>(button->parentWidget()))
        return false;
    if (enter) {
        button->click();
        return true;
    }
    if (key->key() != Qt::Key_Left && key->key() != Qt::Key_Right)
        return false;
    // The neighbour in the tab chain, as long as it stays in this toolbar.
    const bool forward = key->key() == Qt::Key_Right;
    for (QWidget* next = forward ? button->nextInFocusChain() : button->previousInFocusChain(); next != button;
         next = forward ? next->nextInFocusChain() : next->previousInFocusChain()) {
        if (!button->parentWidget()->isAncestorOf(next))
            return true;
        if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(button->parentWidget())) {
            next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return true;
}

// ---- Start-up ----

void TForm1::FormCreate()
{
    ReadAccounts(m_dataDir, Accounts);
    FillAccountSelector();

    TAppOptions options;
    try {
        ReadOptions(m_dataDir, options);
    } catch (...) {
        // The flag of an earlier good line stays in force.
        BidRestraintFlag = options.BidRestraint;
        throw;
    }
    BidRestraintFlag = options.BidRestraint;

    if (options.AutoLogin == 0)
        OpenPage(TPageCommand::Home);
    else if (options.AutoLogin == 1)
        ToolButton5Click();
    if (options.ShowFavorites == 0)
        m_closefavClick();
    LoadFavorites();
}

void TForm1::FillAccountSelector()
{
    ComboBox1->clear();
    ComboBox1->clearEditText();
    for (const TAccountEntry& entry : Accounts)
        ComboBox1->addItem(SjisToWide(entry.YahooId));
    ComboBox1->setCurrentIndex(0);
}

QString TForm1::ShownAddress() const { return SjisToWide(MaskLoginAddress(m_endpoints, WideToSjis(Edit3->text()))); }

void TForm1::SetDialogMakers(std::array<DialogMaker, 4> makers) { m_dialogMakers = std::move(makers); }

QWidget* TForm1::Dialog(TDialog which)
{
    const auto i = static_cast<std::size_t>(which);
    if (!m_dialogs[i] && m_dialogMakers[i])
        m_dialogs[i] = m_dialogMakers[i](*this);
    return m_dialogs[i];
}

// ---- Favorites pane and tree ----

void TForm1::m_showfavClick()
{
    QList<int> sizes = Splitter1->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    Splitter1->setSizes({kTreeWidth, qMax(0, total - kTreeWidth)});
    TreeView1->resize(kTreeWidth, TreeView1->height());
}

void TForm1::m_closefavClick()
{
    QList<int> sizes = Splitter1->sizes();
    Splitter1->setSizes({0, sizes.value(0) + sizes.value(1)});
    TreeView1->resize(0, TreeView1->height());
}

void TForm1::Button1Click() { LoadFavorites(); }

void TForm1::LoadFavorites()
{
    TreeView1->setUpdatesEnabled(false);
    struct TRestoreUpdates {
        QWidget* w;
        ~TRestoreUpdates() { w->setUpdatesEnabled(true); }
    } restore{TreeView1};

    m_lastSelected = nullptr;
    TreeView1->clear();
    for (TFavoriteList& list : FavoriteTables)
        list.clear();

    for (TFavoriteKind kind : kFavoriteKinds) {
        auto* node = new QTreeWidgetItem(TreeView1, {QString::fromUtf8(FavoriteKindCaption(kind))});
        node->setIcon(0, ImageList1[1]);
        TFavoriteList& list = FavoriteTables[kind];
        list = ReadFavorites(m_dataDir, kind);
        QList<QTreeWidgetItem*> children;
        children.reserve(static_cast<qsizetype>(list.size()));
        for (const TFavoriteEntry& entry : list) {
            const std::string label = FavoriteLabel(entry.Name);
            auto* child = new QTreeWidgetItem({SjisToWide(label)});
            child->setIcon(0, ImageList1[0]);
            // A name cut short shows whole when the pointer rests on it.
            if (label.size() != entry.Name.size())
                child->setToolTip(0, SjisToWide(entry.Name));
            children.append(child);
        }
        node->addChildren(children);
    }
}

void TForm1::SingleExpand()
{
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    QTreeWidgetItem* current = selected.isEmpty() ? nullptr : selected.first();
    if (current == m_lastSelected)
        return;
    m_lastSelected = current;
    if (!current)
        return;
    QTreeWidgetItem* branch = current;
    while (branch->parent())
        branch = branch->parent();
    for (int i = 0; i < TreeView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = TreeView1->topLevelItem(i);
        if (top != branch && top->isExpanded())
            top->setExpanded(false);
    }
    if (current->childCount() > 0)
        current->setExpanded(true);
}

void TForm1::TreeView1DblClick()
{
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    if (selected.isEmpty())
        return;
    QTreeWidgetItem* item = selected.first();
    QTreeWidgetItem* top = item->parent() ? item->parent() : item;
    std::vector<std::size_t> childCounts;
    for (int i = 0; i < TreeView1->topLevelItemCount(); ++i)
        childCounts.push_back(static_cast<std::size_t>(TreeView1->topLevelItem(i)->childCount()));
    std::optional<std::size_t> entry;
    if (item != top)
        entry = static_cast<std::size_t>(top->indexOfChild(item));
    const std::size_t position =
        TreePosition(childCounts, static_cast<std::size_t>(TreeView1->indexOfTopLevelItem(top)), entry);

    const std::optional<TTreeNodeRef> node = TreeNodeAt(FavoriteTables, position);
    if (!node || !node->Entry)
        return;
    Navigate(FavoriteTables[node->Kind][*node->Entry].Url);
}

// ---- Address row ----

void TForm1::Panel3Resize()
{
    const int w = Panel3->width();
    Edit3->resize(w - 120, Edit3->height());
    Button7->move(w - 65, Button7->y());
}

void TForm1::Button7Click()
{
    m_browser->Navigate(
        SjisToWide(AddressToOpen(m_endpoints, WideToSjis(Edit3->text()), WideToSjis(m_browser->LocationURL()))));
}

// ---- Commands ----

void TForm1::Navigate(const std::string& sjisAddress) { m_browser->Navigate(SjisToWide(sjisAddress)); }

void TForm1::OpenPage(TPageCommand command) { Navigate(PageAddress(m_endpoints, command)); }

void TForm1::Search(TSearchSite site)
{
    Navigate(SearchAddress(m_endpoints, site, WideToSjis(Edit1->text()), PzConv1));
}

void TForm1::ShowDialog(TDialog which)
{
    QWidget* dialog = Dialog(which);
    if (dialog && !dialog->isVisible())
        dialog->show();
}

void TForm1::SetMainWindowEnabled(bool enabled)
{
    setEnabled(enabled);
    if (enabled)
        return;
    // Disabling a widget disables the windows it owns as well.
    for (QWidget* owned : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (owned->isWindow())
            owned->setEnabled(true);
    // Clicks on the disabled window still reach its native window.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
}

void TForm1::RaiseOpenDialog()
{
    for (QWidget* dialog : m_dialogs)
        if (dialog && dialog->isVisible()) {
            dialog->setWindowState(dialog->windowState() & ~Qt::WindowMinimized);
            dialog->show();
            dialog->raise();
            dialog->activateWindow();
            return;
        }
}

void TForm1::ToolButton1Click() { m_browser->GoBack(); }
void TForm1::ToolButton2Click() { m_browser->GoForward(); }

void TForm1::ToolButton3Click()
{
    if (m_browser->DocumentPresent())
        m_browser->Refresh();
}

void TForm1::ToolButton4Click() { ShowDialog(TDialog::Form4); }

void TForm1::ToolButton5Click()
{
    // An item counts as selected only while the selector shows its text:
    // typing into the selector's field leaves no entry to use.
    const int k = ComboBox1->currentIndex();
    if (k < 0 || k >= static_cast<int>(Accounts.size()) || ComboBox1->currentText() != ComboBox1->itemText(k))
        return;
    const std::string password = DecryptPasswordText(Accounts[static_cast<std::size_t>(k)].PasswordText);
    Navigate(LoginAddress(m_endpoints, Accounts[static_cast<std::size_t>(k)].YahooId, password));
}

void TForm1::ToolButton6Click() { OpenPage(TPageCommand::WatchOpen); }
void TForm1::ToolButton7Click() { OpenPage(TPageCommand::Selling); }
void TForm1::ToolButton8Click() { OpenPage(TPageCommand::Bidding); }

void TForm1::ToolButton9Click()
{
    // A login address would put the password into another program's
    // arguments.
    if (IsLoginAddress(m_endpoints, WideToSjis(Edit3->text()))) {
        m_reporter.ShowMessage(QString::fromUtf8(kLoginAddressRefusedMessage));
        return;
    }
    // The program's own pages exist only inside it.
    if (IsBuiltInAddress(WideToSjis(Edit3->text()))) {
        StatusBar1->showMessage(QString::fromUtf8(kBuiltInAddressRefusedMessage));
        return;
    }
    // Handed to the desktop's default handler; returns at once, the answer
    // is not examined.
    QDesktopServices::openUrl(QUrl::fromUserInput(Edit3->text()));
}

void TForm1::ToolButton10Click() { Search(TSearchSite::Amazon); }
void TForm1::ToolButton11Click() { Search(TSearchSite::Kakaku); }
void TForm1::ToolButton12Click() { Search(TSearchSite::Aucfan); }
void TForm1::ToolButton13Click() { Search(TSearchSite::Auction); }

void TForm1::m_exitClick() { close(); }
void TForm1::m_yahooClick() { OpenPage(TPageCommand::AuctionTop); }
void TForm1::m_myaucttionClick() { OpenPage(TPageCommand::MyStatus); }
void TForm1::m_watchClick() { OpenPage(TPageCommand::WatchOpen); }
void TForm1::m_watchendClick() { OpenPage(TPageCommand::WatchEnded); }
void TForm1::m_shuppinClick() { OpenPage(TPageCommand::Selling); }
void TForm1::m_nyusatuClick() { OpenPage(TPageCommand::Bidding); }
void TForm1::m_favaddClick() { ShowDialog(TDialog::Form4); }
void TForm1::m_faveditClick() { ShowDialog(TDialog::Form3); }
void TForm1::m_YahooIDClick() { ShowDialog(TDialog::Form2); }
void TForm1::m_optionClick() { ShowDialog(TDialog::Form5); }
void TForm1::m_helpClick() { OpenPage(TPageCommand::Home); }

// ---- Browser events ----

void TForm1::WebBrowser1StatusTextChange(const QString& text)
{
    // The page load the stop cut short ends with an empty status text: the
    // stop's line stays instead.
    if (BidStop.KeepsStatusOver(text.isEmpty())) {
        StatusBar1->showMessage(QString::fromUtf8(kBidStopStatus));
        return;
    }
    StatusBar1->showMessage(SjisToWide(MaskLoginAddress(m_endpoints, WideToSjis(text))));
}

void TForm1::WebBrowser1CommandStateChange(int command, bool enable)
{
    if (command == THostedBrowser::kForwardCommand)
        ToolButton2->setEnabled(enable);
    else if (command == THostedBrowser::kBackCommand)
        ToolButton1->setEnabled(enable);
}

void TForm1::WebBrowser1NavigateComplete2()
{
    // The location is fully percent-encoded: ASCII, the same bytes as text
    // and in Shift_JIS, and so is its masked form.
    const std::string shown = MaskLoginAddress(m_endpoints, m_browser->LocationURL().toStdString());
    Edit3->setText(QString::fromStdString(shown));
    // A long address shows its beginning, the site's name.
    Edit3->setCursorPosition(0);
    if (BidStop.MustLeave(shown))
        m_browser->GoBack();
}

void TForm1::WebBrowser1DownloadFinished(const QString& path, const QString& failure)
{
    StatusBar1->clearMessage();
    if (failure.isEmpty())
        m_reporter.ShowMessage(QStringLiteral("「%1」に保存しました").arg(path));
    else
        m_reporter.ShowMessage(
            QStringLiteral("「%1」を保存できませんでした: %2").arg(QFileInfo(path).fileName(), failure));
}

void TForm1::WebBrowser1RequestRefused(const QString&)
{
    BidStop.Refused();
    StatusBar1->showMessage(QString::fromUtf8(kBidStopStatus));
}

void TForm1::ChooseSaveFile(const QString& proposedPath, THostedBrowser::SaveAnswer answer)
{
    ShowSaveDialog(
        this, proposedPath, m_dataDir, [this](const QString& message) { m_reporter.ShowMessage(message); },
        std::move(answer));
}
