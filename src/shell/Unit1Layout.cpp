// TForm1's form: the window's size and place, its image lists, the menu
// bar, the main toolbar, the address row beside the search box, the
// favorites tree and the browser side by side, and the status bar. Every
// control gets its object name, its place and its size as designed, and
// nothing more: what the controls do, and which handler each one runs, is
// in Unit1.cpp.
#include "shell/Unit1.h"

#include "settings/WindowState.h"
#include "ui/DesignFont.h"
#include "ui/ShellIcons.h"
#include "ui/WideText.h"

#include <QComboBox>
#include <QFile>
#include <QFontMetricsF>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kFormWidth = 771;
constexpr int kFormHeight = 609;
constexpr int kRowHeight = 22;

QToolButton* MakeToolButton(QToolBar* bar, const char* name, const QIcon& icon, int width)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setFixedSize(width, kRowHeight);
    // Reached by Tab (the mouse does not take the focus from the page).
    button->setFocusPolicy(Qt::TabFocus);
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

// The program's picture in the sizes drawn for it at build time.
QIcon ProgramIcon()
{
    QIcon icon;
    for (const int side : {16, 32, 48, 64, 128}) {
        QFile pixels(QStringLiteral(":/lotscope/icon/lotscope-%1.rgba").arg(side));
        if (!pixels.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = pixels.readAll();
        if (bytes.size() != qsizetype(side) * side * 4)
            continue;
        icon.addPixmap(QPixmap::fromImage(QImage(reinterpret_cast<const uchar*>(bytes.constData()), side, side,
                                                 QImage::Format_RGBA8888_Premultiplied)));
    }
    return icon;
}

}  // namespace

void TForm1::BuildForm()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kApplicationTitle);
    setWindowIcon(ProgramIcon());
    setFont(DesignFont());
    resize(kFormWidth, kFormHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kFormWidth / 2, kFormHeight / 2));

    ImageList1 = MakeImageList1();
    ImageList2 = MakeImageList2();
    ImageList3 = MakeImageList3();

    BuildMenu();
    BuildClientArea();
    // Where the last run left the window, or the place just given, fitted
    // to the screens there are now.
    PlaceWindow();
}

namespace {

// The title bar and borders around the window, as far as they can be known
// before the window is first shown: enough to keep the title bar on screen.
constexpr QMargins kFrameAllowance(4, 30, 4, 4);

TScreenRect ToScreenRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect ToQRect(const TScreenRect& r) { return {r.X, r.Y, r.Width, r.Height}; }

}  // namespace

void TForm1::PlaceWindow()
{
    std::vector<TScreenRect> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas.push_back(ToScreenRect(primary->availableGeometry()));
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != QGuiApplication::primaryScreen())
            areas.push_back(ToScreenRect(screen->availableGeometry()));

    // The window with room for its title bar and borders (before the first
    // show, pos() is where the frame goes).
    const std::optional<TWindowState> saved = ReadWindowState(m_dataDir);
    const QRect outer =
        saved ? ToQRect(saved->Window).marginsAdded(kFrameAllowance) : QRect(pos(), size().grownBy(kFrameAllowance));
    const QRect fitted = ToQRect(FitToScreens(ToScreenRect(outer), areas));
    if (saved || fitted != outer)
        setGeometry(fitted.marginsRemoved(kFrameAllowance));
    if (!saved)
        return;
    // The tree keeps its width while the page keeps some room; a hidden
    // tree comes back at its designed width.
    const int total = width();
    if (saved->TreeWidth > 0 && saved->TreeWidth <= total - kMinPageWidth)
        Splitter1->setSizes({saved->TreeWidth, total - saved->TreeWidth});
    if (saved->Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TForm1::SaveWindowPlace() const
{
    TWindowState state;
    state.Maximized = isMaximized();
    state.Window = ToScreenRect(state.Maximized ? normalGeometry() : geometry());
    state.TreeWidth = Splitter1->sizes().value(0);
    WriteWindowState(m_dataDir, state);
}

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
    Edit3->setAccessibleName(QStringLiteral("アドレス"));
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
        {ToolButton1, "戻る"},
        {ToolButton2, "進む"},
        {ToolButton3, "再読み込み"},
        {ComboBox1, "ログインするYahoo!ID"},
        {ToolButton5, "ログイン"},
        {ToolButton4, "お気に入りに追加"},
        {ToolButton6, "ウォッチリスト(開催中)"},
        {ToolButton7, "出品中"},
        {ToolButton8, "入札中"},
        {ToolButton9, "外部のブラウザで開く"},
        {Edit1, "検索語"},
        {ToolButton13, "Yahoo!オークションで検索"},
        {ToolButton10, "Amazonで検索"},
        {ToolButton11, "価格.comで検索"},
        {ToolButton12, "オークファンで検索"},
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
    // Covered by the browser: Tab never lands on it.
    Button1->setFocusPolicy(Qt::NoFocus);

    Splitter1 = new QSplitter(Qt::Horizontal, client);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(true);

    TreeView1 = new QTreeWidget(Splitter1);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setAccessibleName(QStringLiteral("お気に入り"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setColumnCount(1);
    // What a screen reader says for the column, instead of its number.
    TreeView1->setHeaderLabel(QStringLiteral("お気に入り"));
    TreeView1->setRootIsDecorated(false);
    TreeView1->setIndentation(19);
    TreeView1->setIconSize(QSize(16, 16));
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setMouseTracking(true);
    TreeView1->setAttribute(Qt::WA_Hover);
    TreeView1->setStyleSheet(QStringLiteral("QTreeView#TreeView1::item:hover:!selected { color: rgb(0, 0, 255); }"));
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

    // Tab walks the window from left to right and top to bottom: the main
    // toolbar, the address row, the search box and its buttons, the tree,
    // the page. (Disabled buttons are passed over.)
    QWidget* const chain[] = {ToolButton1,  ToolButton2,  ToolButton3, ComboBox1,    ToolButton5,
                              ToolButton4,  ToolButton6,  ToolButton7, ToolButton8,  ToolButton9,
                              Edit3,        Button7,      Edit1,       ToolButton13, ToolButton10,
                              ToolButton11, ToolButton12, TreeView1,   web};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        setTabOrder(chain[i], chain[i + 1]);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(17);
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
}
