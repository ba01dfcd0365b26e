#include "shell/Unit1.h"

#include "accounts/StoredPassword.h"
#include "favorites/FavoritesTree.h"
#include "shell/browser/SaveDialog.h"
#include "ui/DesignFont.h"
#include "ui/ShellIcons.h"
#include "ui/WideText.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPointer>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <limits>
#include <utility>

namespace {

constexpr int kFormWidth = 771;
constexpr int kFormHeight = 609;
constexpr int kRowHeight = 22;
constexpr int kTreeWidth = 121;

QToolButton* MakeToolButton(QToolBar* bar, const char* name, const QIcon& icon, int width)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setFixedSize(width, kRowHeight);
    button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(button);
    return button;
}

QToolBar* MakeToolBar(QWidget* parent, const char* name)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    bar->setFixedHeight(kRowHeight);
    bar->setStyleSheet(QStringLiteral("QToolBar { spacing: 0px; padding: 0px; border: 0px; }"));
    return bar;
}

// Ends a label's text at least gap pixels before the label's right edge,
// where the next control begins: a font wider than the design font has its
// letters drawn a little closer together (a quarter pixel at a time, at most
// two pixels) instead of running the last one into that control.
void KeepTextInside(QLabel* label, int gap)
{
    const qreal room = label->width() - gap;
    QFont font = label->font();
    for (qreal spacing = 0; spacing >= -2; spacing -= 0.25) {
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
        if (QFontMetricsF(font).tightBoundingRect(label->text()).right() <= room)
            break;
    }
    if (font.letterSpacing() != 0)
        label->setFont(font);
}

}  // namespace

TForm1::TForm1(TEndpoints endpoints, THostedBrowser* browser, TMessageReporter& reporter,
               std::filesystem::path dataDir, QWidget* parent)
    : QMainWindow(parent),
      m_endpoints(std::move(endpoints)),
      m_browser(browser),
      m_reporter(reporter),
      m_dataDir(std::move(dataDir))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kApplicationTitle);
    setWindowIcon(QIcon(QStringLiteral(":/lotscope/icon/lotscope.svg")));
    setFont(DesignFont());
    resize(kFormWidth, kFormHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kFormWidth / 2, kFormHeight / 2));

    PzConv1.JisByteCodeType = btAscii;
    PzConv1.JisKanaConvType = ktZenWithDaku;

    ImageList1 = MakeImageList1();
    ImageList2 = MakeImageList2();
    ImageList3 = MakeImageList3();

    BuildMenu();
    BuildClientArea();
    ConnectHandlers();

    Run([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::BuildMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu* file = MainMenu1->addMenu(QStringLiteral("ファイル"));
    m_open = item(file, "m_open", QStringLiteral("開く"));
    m_save = item(file, "m_save", QStringLiteral("保存"));
    m_close = item(file, "m_close", QStringLiteral("閉じる"));
    file->addSeparator();
    N13 = item(file, "N13", QStringLiteral("お気に入りのインポート"));
    N14 = item(file, "N14", QStringLiteral("お気に入りのエクスポート"));
    file->addSeparator();
    m_exit = item(file, "m_exit", QStringLiteral("終了"));
    for (QAction* disabled : {m_open, m_save, m_close, N13, N14})
        disabled->setEnabled(false);

    QMenu* browserMenu = MainMenu1->addMenu(QStringLiteral("ブラウザ"));
    m_yahoo = item(browserMenu, "m_yahoo", QStringLiteral("Yahoo!オークション"));
    browserMenu->addSeparator();
    m_myaucttion = item(browserMenu, "m_myaucttion", QStringLiteral("マイ・オークション"));
    m_watch = item(browserMenu, "m_watch", QStringLiteral("ウォッチリスト(開催中)"));
    m_watchend = item(browserMenu, "m_watchend", QStringLiteral("ウォッチリスト(終了分)"));
    m_shuppin = item(browserMenu, "m_shuppin", QStringLiteral("出品中"));
    m_nyusatu = item(browserMenu, "m_nyusatu", QStringLiteral("入札中"));

    QMenu* favorites = MainMenu1->addMenu(QStringLiteral("お気に入り"));
    m_favadd = item(favorites, "m_favadd", QStringLiteral("お気に入りに追加"));
    m_favedit = item(favorites, "m_favedit", QStringLiteral("お気に入りの整理"));

    QMenu* user = MainMenu1->addMenu(QStringLiteral("ユーザ設定"));
    m_YahooID = item(user, "m_YahooID", QStringLiteral("Yahoo!IDを登録"));
    m_option = item(user, "m_option", QStringLiteral("オプション設定"));

    QMenu* window = MainMenu1->addMenu(QStringLiteral("ウインドウ"));
    m_showfav = item(window, "m_showfav", QStringLiteral("お気に入りの表示"));
    m_closefav = item(window, "m_closefav", QStringLiteral("お気に入りを隠す"));

    QMenu* help = MainMenu1->addMenu(QStringLiteral("ヘルプ"));
    m_help = item(help, "m_help", QStringLiteral("Lotscopeについて"));
}

void TForm1::BuildTopPanel()
{
    // Row 1: the main toolbar on its orange background.
    ToolBar1 = MakeToolBar(Panel1, "ToolBar1");
    ToolBar1->setAutoFillBackground(true);
    ToolBar1->setStyleSheet(QStringLiteral(
        "QToolBar#ToolBar1 { background: rgb(255, 204, 51); spacing: 0px; padding: 0px; border: 0px; }"));
    ToolButton1 = MakeToolButton(ToolBar1, "ToolButton1", ImageList2[0], 71);
    ToolButton2 = MakeToolButton(ToolBar1, "ToolButton2", ImageList2[1], 71);
    ToolButton3 = MakeToolButton(ToolBar1, "ToolButton3", ImageList2[2], 71);
    ComboBox1 = new QComboBox(ToolBar1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setFixedWidth(121);
    ComboBox1->setEditText(QStringLiteral("選択して下さい"));
    ToolBar1->addWidget(ComboBox1);
    ToolButton5 = MakeToolButton(ToolBar1, "ToolButton5", ImageList2[4], 71);
    ToolButton4 = MakeToolButton(ToolBar1, "ToolButton4", ImageList2[3], 71);
    ToolButton6 = MakeToolButton(ToolBar1, "ToolButton6", ImageList2[5], 71);
    ToolButton7 = MakeToolButton(ToolBar1, "ToolButton7", ImageList2[6], 71);
    ToolButton8 = MakeToolButton(ToolBar1, "ToolButton8", ImageList2[7], 71);
    ToolButton9 = MakeToolButton(ToolBar1, "ToolButton9", ImageList2[8], 71);
    ToolButton1->setEnabled(false);
    ToolButton2->setEnabled(false);

    // Row 2: the address row, and the search box with its four buttons.
    Panel3 = new QFrame(Panel1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setFrameShape(QFrame::NoFrame);
    Panel3->setFixedHeight(kRowHeight);
    Label3 = new QLabel(QStringLiteral("アドレス"), Panel3);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->move(8, 4);
    Label3->adjustSize();
    Edit3 = new QLineEdit(SjisToWide(PageAddress(m_endpoints, TPageCommand::AuctionTop)), Panel3);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    // Addresses of any length, as the dialogs' edit boxes take them.
    Edit3->setMaxLength(std::numeric_limits<int>::max());
    Edit3->setGeometry(56, 1, 200, kRowHeight - 2);
    // The label reaches exactly up to the address box.
    Label3->resize(Edit3->x() - Label3->x(), Label3->height());
    KeepTextInside(Label3, 3);
    Button7 = new QPushButton(QStringLiteral("移動"), Panel3);
    Button7->setObjectName(QStringLiteral("Button7"));
    Button7->setGeometry(200, 0, 65, kRowHeight);
    Panel3->installEventFilter(this);

    ToolBar2 = MakeToolBar(Panel1, "ToolBar2");
    ToolBar2->setFixedWidth(206);
    Edit1 = new QLineEdit(ToolBar2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(std::numeric_limits<int>::max());
    Edit1->setFixedSize(101, kRowHeight - 1);
    ToolBar2->addWidget(Edit1);
    ToolButton13 = MakeToolButton(ToolBar2, "ToolButton13", ImageList3[3], 26);
    ToolButton10 = MakeToolButton(ToolBar2, "ToolButton10", ImageList3[0], 26);
    ToolButton11 = MakeToolButton(ToolBar2, "ToolButton11", ImageList3[1], 26);
    ToolButton12 = MakeToolButton(ToolBar2, "ToolButton12", ImageList3[2], 26);

    // Names a screen reader says for the controls that show only an icon
    // (the toolbars carry no hints).
    const std::pair<QWidget*, const char*> spoken[] = {
        {ToolButton1, "戻る"}, {ToolButton2, "進む"}, {ToolButton3, "再読み込み"},
        {ComboBox1, "ログインするYahoo!ID"}, {ToolButton5, "ログイン"}, {ToolButton4, "お気に入りに追加"},
        {ToolButton6, "ウォッチリスト(開催中)"}, {ToolButton7, "出品中"}, {ToolButton8, "入札中"},
        {ToolButton9, "外部のブラウザで開く"}, {Edit1, "検索語"},
        {ToolButton13, "Yahoo!オークションで検索"}, {ToolButton10, "Amazonで検索"},
        {ToolButton11, "価格.comで検索"}, {ToolButton12, "オークファンで検索"},
    };
    for (const auto& [control, name] : spoken)
        control->setAccessibleName(QString::fromUtf8(name));

    auto* rows = new QVBoxLayout(Panel1);
    rows->setContentsMargins(1, 1, 1, 1);
    rows->setSpacing(0);
    rows->addWidget(ToolBar1);
    auto* row2 = new QHBoxLayout;
    row2->setContentsMargins(0, 0, 0, 0);
    row2->setSpacing(0);
    row2->addWidget(Panel3, 1);
    row2->addWidget(ToolBar2);
    rows->addLayout(row2);
}

void TForm1::BuildClientArea()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(client);

    Panel1 = new QFrame(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setFixedHeight(46);
    BuildTopPanel();

    // The hidden reload button comes first in the stacking order, so the
    // browser covers it.
    Button1 = new QPushButton(QStringLiteral("TreeViewの更新"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(464, 152, 97, 25);

    Splitter1 = new QSplitter(Qt::Horizontal, client);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(true);

    TreeView1 = new QTreeWidget(Splitter1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("お気に入り"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setIndentation(19);
    TreeView1->setIconSize(QSize(16, 16));
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setMouseTracking(true);
    TreeView1->setAttribute(Qt::WA_Hover);
    TreeView1->setStyleSheet(
        QStringLiteral("QTreeView#TreeView1::item:hover:!selected { color: rgb(0, 0, 255); }"));
    TreeView1->setMinimumWidth(0);
    TreeView1->viewport()->installEventFilter(this);

    QWidget* web = m_browser->Widget();
    web->setParent(Splitter1);
    web->setMinimumWidth(0);
    Splitter1->addWidget(TreeView1);
    Splitter1->addWidget(web);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kTreeWidth, kFormWidth - kTreeWidth});

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Splitter1, 1);
    Button1->lower();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(17);
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
}

void TForm1::ConnectHandlers()
{
    // Every handler runs through the error display.
    auto guarded = [this](void (TForm1::*handler)()) {
        return [this, handler] { Run([this, handler] { (this->*handler)(); }); };
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

    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] { Run([this] { SingleExpand(); }); });

    connect(m_browser.get(), &THostedBrowser::StatusTextChange, this,
            [this](const QString& text) { Run([&] { WebBrowser1StatusTextChange(text); }); });
    connect(m_browser.get(), &THostedBrowser::CommandStateChange, this,
            [this](int command, bool enable) { Run([&] { WebBrowser1CommandStateChange(command, enable); }); });
    connect(m_browser.get(), &THostedBrowser::NavigateComplete2, this,
            guarded(&TForm1::WebBrowser1NavigateComplete2));

    connect(m_browser.get(), &THostedBrowser::DownloadFinished, this,
            [this](const QString& path, const QString& failure) {
                Run([&] { WebBrowser1DownloadFinished(path, failure); });
            });
    m_browser->SetSaveFileChooser([this](const QString& proposed, THostedBrowser::SaveAnswer answer) {
        bool asked = false;
        Run([&] {
            ChooseSaveFile(proposed, answer);
            asked = true;
        });
        if (!asked)
            answer({});
    });
    connect(m_browser.get(), &THostedBrowser::RequestRefused, this,
            [this](const QString& url) { Run([&] { WebBrowser1RequestRefused(url); }); });

    // Keep the bid self-restraint stop even where going back is impossible,
    // and for what never becomes the page (a frame, an object, a script's
    // fetch, a download): the engine asks the stop before every request.
    m_browser->SetNavigationFilter([this](std::string_view url) noexcept { return BidStop.Allows(url); });
    m_browser->HideSecretParameter(QString::fromStdString(LoginAddressHead(m_endpoints)),
                                   QString::fromLatin1(kPasswordParameter.data(), kPasswordParameter.size()));
}

void TForm1::closeEvent(QCloseEvent* event)
{
    if (m_closeAgreed) {
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
    if (watched == Panel3 && event->type() == QEvent::Resize)
        Run([this] { Panel3Resize(); });
    else if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonDblClick)
        Run([this] { TreeView1DblClick(); });
    else if (watched == windowHandle() && event->type() == QEvent::MouseButtonPress && !isEnabled())
        RaiseOpenDialog();
    return QMainWindow::eventFilter(watched, event);
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

QString TForm1::ShownAddress() const
{
    return SjisToWide(MaskLoginAddress(m_endpoints, WideToSjis(Edit3->text())));
}

void TForm1::SetDialogs(QWidget* form2, QWidget* form3, QWidget* form4, QWidget* form5)
{
    m_form2 = form2;
    m_form3 = form3;
    m_form4 = form4;
    m_form5 = form5;
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

void TForm1::Button1Click()
{
    LoadFavorites();
}

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
            auto* child = new QTreeWidgetItem({SjisToWide(FavoriteLabel(entry.Name))});
            child->setIcon(0, ImageList1[0]);
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
    const QTreeWidgetItem* item = selected.first();

    // Absolute position: index in display order, collapsed children counted.
    const QTreeWidgetItem* top = item->parent() ? item->parent() : item;
    std::size_t position = 0;
    const int topIndex = TreeView1->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(top));
    for (int i = 0; i < topIndex; ++i)
        position += 1 + static_cast<std::size_t>(TreeView1->topLevelItem(i)->childCount());
    if (item != top)
        position += 1 + static_cast<std::size_t>(top->indexOfChild(const_cast<QTreeWidgetItem*>(item)));

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
    m_browser->Navigate(SjisToWide(
        AddressToOpen(m_endpoints, WideToSjis(Edit3->text()), WideToSjis(m_browser->LocationURL()))));
}

// ---- Commands ----

void TForm1::Navigate(const std::string& sjisAddress)
{
    m_browser->Navigate(SjisToWide(sjisAddress));
}

void TForm1::OpenPage(TPageCommand command)
{
    Navigate(PageAddress(m_endpoints, command));
}

void TForm1::Search(TSearchSite site)
{
    Navigate(SearchAddress(m_endpoints, site, WideToSjis(Edit1->text()), PzConv1));
}

void TForm1::ShowDialog(QWidget* dialog)
{
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
    for (QWidget* dialog : {m_form2, m_form3, m_form4, m_form5})
        if (dialog && dialog->isVisible()) {
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

void TForm1::ToolButton4Click() { ShowDialog(m_form4); }

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
void TForm1::m_favaddClick() { ShowDialog(m_form4); }
void TForm1::m_faveditClick() { ShowDialog(m_form3); }
void TForm1::m_YahooIDClick() { ShowDialog(m_form2); }
void TForm1::m_optionClick() { ShowDialog(m_form5); }
void TForm1::m_helpClick() { OpenPage(TPageCommand::Home); }

// ---- Browser events ----

void TForm1::WebBrowser1StatusTextChange(const QString& text)
{
    // The page load the stop cut short ends with an empty status text: the
    // stop's line stays instead.
    if (text.isEmpty() && std::exchange(m_bidStopShown, false)) {
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
    Edit3->setText(SjisToWide(MaskLoginAddress(m_endpoints, WideToSjis(m_browser->LocationURL()))));
    if (BidStop.MustLeave(WideToSjis(Edit3->text())))
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
    m_bidStopShown = true;
    StatusBar1->showMessage(QString::fromUtf8(kBidStopStatus));
}

void TForm1::ChooseSaveFile(const QString& proposedPath, THostedBrowser::SaveAnswer answer)
{
    ShowSaveDialog(this, proposedPath, m_dataDir, [this](const QString& message) { m_reporter.ShowMessage(message); },
                   std::move(answer));
}
