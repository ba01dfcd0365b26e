// The main window driven through the fake browser: start-up, commands,
// events, the bid self-restraint stop, the favorites tree and the login.
#include "FakeBrowser.h"
#include "RecordingReporter.h"
#include "accounts/StoredPassword.h"
#include "shell/Unit1.h"
#include "support/TestFiles.h"
#include "ui/ShellIcons.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

TEndpoints TestEndpoints()
{
    return {"http://home.test/index.html",
            "http://top.test.jp",
            "http://status.test.jp",
            "http://search.test.jp",
            "http://am.test",
            "http://ka.test",
            "http://af.test",
            "http://login.test.jp"};
}

// Records what the desktop's default handler would have been asked to open.
class TUrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

class Form1Test : public ::testing::Test {
protected:
    // Three accounts, options 0,1,0, a few favorites of each kind.
    void WriteDefaults()
    {
        dir.Write("login.ini",
                  "taro," + EncryptPasswordText("pw0") + "\r\njiro," + EncryptPasswordText("pw1") + "\r\n," + "\r\n");
        dir.Write("option.ini", "0,1,0\r\n");
        dir.Write("search.ini", "s0,http://s/0\r\ns1,http://s/1\r\n");
        dir.Write("username.ini", "u0,http://u/0\r\nu1,http://u/1\r\nu2,http://u/2\r\n");
        dir.Write("exhibit.ini", "e0,http://e/0\r\n");
    }

    TForm1& Create()
    {
        auto owned = std::make_unique<TFakeBrowser>();
        browser = owned.get();
        form = std::make_unique<TForm1>(TestEndpoints(), std::move(owned), reporter, dir.path());
        return *form;
    }

    void Show()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    testfiles::TTempDir dir;
    TRecordingReporter reporter;
    TFakeBrowser* browser = nullptr;
    std::unique_ptr<TForm1> form;
};

// ---- Start-up ----

struct StartupRow {
    const char* name;
    std::optional<std::string> login;   // nullopt: file missing
    std::optional<std::string> option;  // nullopt: file missing
    bool favorites;                     // the three favorites files exist
    QStringList errors;
    QStringList navigations;
    bool paneVisible;
    int treeNodes;  // top-level nodes after start-up
    int flag;
    int selectorItems;
    QString selectorText;
};

TEST_F(Form1Test, StartupMatrix)
{
    const std::string oneAccount = "taro," + EncryptPasswordText("pw0") + "\r\n";
    const QString login0 =
        "http://login.test.jp/config/login?.src=auc&.done=http://top.test.jp/jp&login=taro&passwd=pw0";
    const QString home = "http://home.test/index.html";
    // A message names the file it is about.
    const QString notFound = ": ファイルが見つかりません";
    const StartupRow rows[] = {
        {"0,1,0 opens home, pane shown", oneAccount, "0,1,0\r\n", true, {}, {home}, true, 3, 0, 3, "taro"},
        {"empty option.ini: home, pane hidden, flag off", oneAccount, "", true, {}, {home}, false, 3, 0, 3, "taro"},
        {"1,1,1 logs in with entry 0, flag on", oneAccount, "1,1,1\r\n", true, {}, {login0}, true, 3, 1, 3, "taro"},
        {"0,0,0 home and hidden pane", oneAccount, "0,0,0\r\n", true, {}, {home}, false, 3, 0, 3, "taro"},
        {"2,1,0 leaves the browser empty", oneAccount, "2,1,0\r\n", true, {}, {}, true, 3, 0, 3, "taro"},
        {"later lines are not read", oneAccount, "0,0,0\r\n1,1,1\r\n", true, {}, {home}, false, 3, 0, 3, "taro"},
        {"two fields: empty field 2",
         oneAccount,
         "1,1\r\n",
         true,
         {"option.ini (1 行目): '' は整数ではありません"},
         {},
         true,
         0,
         0,
         3,
         "taro"},
        {"separator after field 3",
         oneAccount,
         "1,1,1,\r\n",
         true,
         {"option.ini (1 行目): '1,' は整数ではありません"},
         {},
         true,
         0,
         0,
         3,
         "taro"},
        {"a bad second line is not read", oneAccount, "0,1,1\r\nx,1,0\r\n", true, {}, {home}, true, 3, 1, 3, "taro"},
        {"missing login.ini stops everything",
         std::nullopt,
         "0,0,1\r\n",
         true,
         {"login.ini" + notFound},
         {},
         true,
         0,
         0,
         0,
         "選択して下さい"},
        {"missing option.ini", oneAccount, std::nullopt, true, {"option.ini" + notFound}, {}, true, 0, 0, 3, "taro"},
        {"missing favorites: the tree stops after its first node",
         oneAccount,
         "0,0,0\r\n",
         false,
         {"search.ini" + notFound},
         {home},
         false,
         1,
         0,
         3,
         "taro"},
        {"two login lines: three items, third empty", "a,x\r\nb,y\r\n", "2,1,0\r\n", true, {}, {}, true, 3, 0, 3, "a"},
    };
    for (const StartupRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (const char* f : {"login.ini", "option.ini", "search.ini", "username.ini", "exhibit.ini"})
            dir.Remove(f);
        if (row.login)
            dir.Write("login.ini", *row.login);
        if (row.option)
            dir.Write("option.ini", *row.option);
        if (row.favorites)
            for (const char* f : {"search.ini", "username.ini", "exhibit.ini"})
                dir.Write(f, "n,http://x/\r\n");
        reporter.Errors.clear();
        Create();
        Show();
        EXPECT_EQ(reporter.Errors, row.errors);
        EXPECT_EQ(browser->Navigations, row.navigations);
        EXPECT_EQ(form->TreeView1->width() > 0, row.paneVisible) << form->TreeView1->width();
        EXPECT_EQ(form->TreeView1->topLevelItemCount(), row.treeNodes);
        EXPECT_EQ(form->BidRestraintFlag, row.flag);
        EXPECT_EQ(form->ComboBox1->count(), row.selectorItems);
        EXPECT_EQ(form->ComboBox1->currentText(), row.selectorText);
        form.reset();
    }
}

TEST_F(Form1Test, StartupFillsAccountsInOrder)
{
    dir.Write("login.ini", "a,x,y\r\nb\r\n");
    dir.Write("option.ini", "2,1,0\r\n");
    Create();
    EXPECT_EQ(form->Accounts[0].YahooId, "a");
    EXPECT_EQ(form->Accounts[0].PasswordText, "x,y");
    EXPECT_EQ(form->Accounts[1].YahooId, "");
    EXPECT_EQ(form->Accounts[1].PasswordText, "b");
    EXPECT_EQ(form->ComboBox1->itemText(0), "a");
    EXPECT_EQ(form->ComboBox1->itemText(1), "");
    EXPECT_EQ(form->ComboBox1->itemText(2), "");
    EXPECT_EQ(form->ComboBox1->currentIndex(), 0);
}

// ---- Window, controls, menu ----

TEST_F(Form1Test, WindowAndControlsAtDesignSettings)
{
    WriteDefaults();
    Create();
    Show();
    EXPECT_EQ(form->windowTitle(), "Lotscope");
    EXPECT_EQ(form->size(), QSize(771, 609));
    EXPECT_EQ(form->font().pixelSize(), 12);
    EXPECT_EQ(form->Panel1->height(), 46);
    EXPECT_EQ(form->ToolBar1->height(), 22);
    for (QToolButton* b :
         {form->ToolButton1, form->ToolButton2, form->ToolButton3, form->ToolButton5, form->ToolButton4,
          form->ToolButton6, form->ToolButton7, form->ToolButton8, form->ToolButton9}) {
        EXPECT_EQ(b->width(), 71) << b->objectName().toStdString();
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonIconOnly);
        EXPECT_FALSE(b->icon().isNull());
        EXPECT_TRUE(b->text().isEmpty() && b->toolTip().isEmpty());
    }
    for (QToolButton* b : {form->ToolButton13, form->ToolButton10, form->ToolButton11, form->ToolButton12})
        EXPECT_EQ(b->width(), 26) << b->objectName().toStdString();
    // A screen reader can name every control that shows only an icon, each
    // by a name of its own.
    QSet<QString> spoken;
    for (QWidget* w : form->findChildren<QWidget*>())
        if (w->objectName().startsWith("ToolButton") || w == form->TreeView1) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
            spoken.insert(w->accessibleName());
        }
    EXPECT_EQ(spoken.size(), 14);
    // The address box is named too, and the tree's column by its name, not
    // its number.
    EXPECT_EQ(form->Edit3->accessibleName(), "アドレス");
    EXPECT_EQ(form->TreeView1->headerItem()->text(0), "お気に入り");
    EXPECT_EQ(form->ComboBox1->width(), 121);
    EXPECT_TRUE(form->ComboBox1->isEditable());
    EXPECT_EQ(form->ToolBar2->width(), 206);
    EXPECT_EQ(form->Edit1->width(), 101);
    EXPECT_TRUE(form->Edit1->text().isEmpty());
    EXPECT_EQ(form->Label3->text(), "アドレス");
    EXPECT_EQ(form->Label3->x(), 8);
    EXPECT_EQ(form->Edit3->x(), 56);
    EXPECT_EQ(form->Edit3->text(), "http://top.test.jp/");
    EXPECT_EQ(form->Button7->text(), "移動");
    EXPECT_EQ(form->Button7->width(), 65);
    EXPECT_EQ(form->TreeView1->width(), 121);
    EXPECT_EQ(form->Splitter1->handleWidth(), 3);
    EXPECT_EQ(form->StatusBar1->height(), 17);
    EXPECT_EQ(form->TreeView1->indentation(), 19);
    EXPECT_FALSE(form->TreeView1->rootIsDecorated());
    EXPECT_EQ(form->TreeView1->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Toolbar order, left to right.
    QList<QWidget*> expectedOrder = {form->ToolButton1, form->ToolButton2, form->ToolButton3, form->ComboBox1,
                                     form->ToolButton5, form->ToolButton4, form->ToolButton6, form->ToolButton7,
                                     form->ToolButton8, form->ToolButton9};
    for (int i = 1; i < expectedOrder.size(); ++i)
        EXPECT_LT(expectedOrder[i - 1]->x(), expectedOrder[i]->x()) << i;
    QList<QWidget*> searchOrder = {form->Edit1, form->ToolButton13, form->ToolButton10, form->ToolButton11,
                                   form->ToolButton12};
    for (int i = 1; i < searchOrder.size(); ++i)
        EXPECT_LT(searchOrder[i - 1]->x(), searchOrder[i]->x()) << i;

    // The toolbar's colour.
    const QImage shot = form->ToolBar1->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() - 2, shot.height() / 2), QColor(255, 204, 51));

    // The reload button sits under the browser, at its design place.
    EXPECT_EQ(form->Button1->text(), "TreeViewの更新");
    EXPECT_EQ(form->Button1->geometry(), QRect(464, 152, 97, 25));
    QWidget* client = form->centralWidget();
    EXPECT_NE(client->childAt(form->Button1->geometry().center()), form->Button1);

    // Back and forward start disabled, the rest enabled.
    EXPECT_FALSE(form->ToolButton1->isEnabled());
    EXPECT_FALSE(form->ToolButton2->isEnabled());
    EXPECT_TRUE(form->ToolButton3->isEnabled());
    EXPECT_TRUE(form->ToolButton9->isEnabled());
}

TEST_F(Form1Test, MenuItemsCaptionsAndEnabledState)
{
    WriteDefaults();
    Create();
    struct Row {
        QString menu;
        QStringList items;  // "-" for a separator
    };
    const Row rows[] = {
        {"ファイル",
         {"開く", "保存", "閉じる", "-", "お気に入りのインポート", "お気に入りのエクスポート", "-", "終了"}},
        {"ブラウザ",
         {"Yahoo!オークション", "-", "マイ・オークション", "ウォッチリスト(開催中)", "ウォッチリスト(終了分)", "出品中",
          "入札中"}},
        {"お気に入り", {"お気に入りに追加", "お気に入りの整理"}},
        {"ユーザ設定", {"Yahoo!IDを登録", "オプション設定"}},
        {"ウインドウ", {"お気に入りの表示", "お気に入りを隠す"}},
        {"ヘルプ", {"Lotscopeについて"}},
    };
    const QList<QAction*> menus = form->MainMenu1->actions();
    ASSERT_EQ(menus.size(), 6);
    for (int m = 0; m < 6; ++m) {
        EXPECT_EQ(menus[m]->text(), rows[m].menu);
        QStringList items;
        for (QAction* a : menus[m]->menu()->actions()) {
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
            EXPECT_TRUE(a->shortcut().isEmpty());
        }
        EXPECT_EQ(items, rows[m].items) << rows[m].menu.toStdString();
    }
    for (QAction* a : {form->m_open, form->m_save, form->m_close, form->N13, form->N14})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    for (QAction* a : {form->m_exit, form->m_yahoo, form->m_help, form->m_option})
        EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
}

TEST_F(Form1Test, AddressRowFollowsThePanelWidth)
{
    WriteDefaults();
    Create();
    Show();
    for (int width : {771, 600, 420, 1000}) {
        form->resize(width, 500);
        QCoreApplication::processEvents();
        const int w = form->Panel3->width();
        EXPECT_EQ(form->Edit3->width(), w - 120) << width;
        EXPECT_EQ(form->Button7->x(), w - 65) << width;
        EXPECT_EQ(form->Button7->geometry().right(), w - 1) << width;
    }
}

TEST_F(Form1Test, FavoritesPaneShowAndHide)
{
    WriteDefaults();
    Create();
    Show();
    form->m_closefav->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->TreeView1->width(), 0);
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 3);  // content kept
    EXPECT_TRUE(form->Splitter1->handle(1)->isVisible());
    form->m_showfav->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->TreeView1->width(), 121);
}

// ---- Commands ----

TEST_F(Form1Test, PageCommandsNavigateAndLeaveTheAddressBox)
{
    dir.Write("login.ini", "");
    dir.Write("option.ini", "2,1,0\r\n");
    WriteDefaults();
    dir.Write("option.ini", "2,1,0\r\n");
    Create();
    struct Row {
        const char* name;
        std::function<void()> act;
        QString expected;
    };
    const QString st = "http://status.test.jp/jp/show/mystatus";
    const Row rows[] = {
        {"m_yahoo", [&] { form->m_yahoo->trigger(); }, "http://top.test.jp/"},
        {"m_myaucttion", [&] { form->m_myaucttion->trigger(); }, st},
        {"m_watch", [&] { form->m_watch->trigger(); }, st + "?select=watchlist&watchclosed=0"},
        {"m_watchend", [&] { form->m_watchend->trigger(); }, st + "?select=watchlist&s1=end&watchclosed=1"},
        {"m_shuppin", [&] { form->m_shuppin->trigger(); }, st + "?select=selling"},
        {"m_nyusatu", [&] { form->m_nyusatu->trigger(); }, st + "?select=bidding"},
        {"ToolButton6", [&] { form->ToolButton6->click(); }, st + "?select=watchlist&watchclosed=0"},
        {"ToolButton7", [&] { form->ToolButton7->click(); }, st + "?select=selling"},
        {"ToolButton8", [&] { form->ToolButton8->click(); }, st + "?select=bidding"},
        {"m_help", [&] { form->m_help->trigger(); }, "http://home.test/index.html"},
    };
    for (const Row& row : rows) {
        browser->Navigations.clear();
        form->Edit3->setText("typed");
        row.act();
        EXPECT_EQ(browser->Navigations, QStringList{row.expected}) << row.name;
        EXPECT_EQ(form->Edit3->text(), "typed") << row.name;
    }
    EXPECT_TRUE(reporter.Errors.isEmpty());
}

TEST_F(Form1Test, SearchButtonsSendTheTermToFourSites)
{
    WriteDefaults();
    dir.Write("option.ini", "2,1,0\r\n");
    Create();
    const QString amazonTail = "&mode=blended&tag=quillbrookmer-22&encoding-string-jp=日本語";
    struct Row {
        QString term;
        QToolButton* button;
        QString expected;
    };
    const Row rows[] = {
        {"", form->ToolButton13, "http://search.test.jp/search/auc?p="},
        {"", form->ToolButton10, "http://am.test/exec/obidos/external-search?keyword=" + amazonTail},
        {"", form->ToolButton11, "http://ka.test/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord="},
        {"", form->ToolButton12, "http://af.test/search0?code=あ&ym=-1&search="},
        {"日本 ｶﾞ", form->ToolButton13, "http://search.test.jp/search/auc?p=%c6%fc%cb%dc+%a5%ac"},
        {"日本 ｶﾞ", form->ToolButton10, "http://am.test/exec/obidos/external-search?keyword=日本 ｶﾞ" + amazonTail},
        {"a&b", form->ToolButton11, "http://ka.test/txtsearch/txtsearch.asp?TopCategoryCD=&SearchWord=a%26b"},
        {"abc def", form->ToolButton12, "http://af.test/search0?code=あ&ym=-1&search=abc def"},
    };
    for (const Row& row : rows) {
        browser->Navigations.clear();
        form->Edit1->setText(row.term);
        row.button->click();
        EXPECT_EQ(browser->Navigations, QStringList{row.expected}) << row.term.toStdString();
    }
}

TEST_F(Form1Test, AddressBoxBackForwardReload)
{
    WriteDefaults();
    dir.Write("option.ini", "2,1,0\r\n");
    Create();
    form->Edit3->setText(" example.com ");
    form->Button7->click();
    EXPECT_EQ(browser->Navigations, QStringList{" example.com "});
    // Enter in the address box starts nothing.
    QTest::keyClick(form->Edit3, Qt::Key_Return);
    EXPECT_EQ(browser->Navigations.size(), 1);

    // Reload only with a document.
    form->ToolButton3->click();
    EXPECT_EQ(browser->RefreshCount, 0);
    browser->Document = true;
    form->ToolButton3->click();
    EXPECT_EQ(browser->RefreshCount, 1);

    form->ToolButton1->setEnabled(true);
    form->ToolButton2->setEnabled(true);
    form->ToolButton1->click();
    form->ToolButton2->click();
    EXPECT_EQ(browser->GoBackCount, 1);
    EXPECT_EQ(browser->GoForwardCount, 1);

    // A refused go-back reaches the error display; the program goes on.
    browser->GoBackThrows = true;
    form->ToolButton1->click();
    EXPECT_EQ(reporter.Errors, QStringList{"エラーを特定できません"});
    form->m_yahoo->trigger();
    EXPECT_EQ(browser->Navigations.last(), "http://top.test.jp/");
}

TEST_F(Form1Test, OutsideBrowserGetsTheTypedText)
{
    WriteDefaults();
    Create();
    TUrlRecorder recorder;
    for (const char* scheme : {"http", "https", "qrc"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &recorder, "Open");
    browser->Location = "http://shown.test/page";
    form->Edit3->setText("example.org/typed");
    form->ToolButton9->click();
    form->Edit3->setText("https://x.test/a?b=%c6");
    form->ToolButton9->click();
    // The bundled home page stays inside; the status bar says why.
    form->Edit3->setText(" QRC:/lotscope/home.html");
    form->ToolButton9->click();
    EXPECT_EQ(form->StatusBar1->currentMessage(), QString::fromUtf8(kBuiltInAddressRefusedMessage));
    for (const char* scheme : {"http", "https", "qrc"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    ASSERT_EQ(recorder.Opened.size(), 2);
    EXPECT_EQ(recorder.Opened[0].toString(), "http://example.org/typed");
    // QUrl writes escapes in capitals.
    EXPECT_EQ(recorder.Opened[1].toString(QUrl::FullyEncoded), "https://x.test/a?b=%C6");
    EXPECT_TRUE(browser->Navigations.size() <= 1);  // only start-up's
}

// The window's icon and the toolbars' chevron are drawn, in every size a
// window manager asks for, without an image file being decoded.
TEST_F(Form1Test, WindowIconAndChevronAreDrawnPictures)
{
    WriteDefaults();
    Create();
    const QList<QSize> sides = {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}};
    EXPECT_EQ(form->windowIcon().availableSizes(), sides);
    for (const QSize& side : sides) {
        const QImage image = form->windowIcon().pixmap(side).toImage();
        EXPECT_EQ(image.size(), side);
        EXPECT_EQ(qAlpha(image.pixel(side.width() / 2, side.height() / 2)), 255) << side.width();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << side.width();  // the rounded corner
    }
    UseShellStyle();
    const QStyle* style = QApplication::style();
    UseShellStyle();
    EXPECT_EQ(QApplication::style(), style);
    const QImage chevron = style->standardIcon(QStyle::SP_ToolBarHorizontalExtensionButton).pixmap(16, 16).toImage();
    int inked = 0;
    for (int y = 0; y < chevron.height(); ++y)
        for (int x = 0; x < chevron.width(); ++x)
            inked += qAlpha(chevron.pixel(x, y)) > 128;
    EXPECT_GT(inked, 10);
}

TEST_F(Form1Test, DialogCommandsShowTheirDialogs)
{
    WriteDefaults();
    Create();
    QWidget f2, f3, f4, f5;
    const auto made = [](QWidget& dialog) { return [&dialog](TForm1&) { return &dialog; }; };
    form->SetDialogMakers({made(f2), made(f3), made(f4), made(f5)});
    struct Row {
        const char* name;
        std::function<void()> act;
        QWidget* dialog;
    };
    const Row rows[] = {
        {"m_favadd", [&] { form->m_favadd->trigger(); }, &f4},
        {"ToolButton4", [&] { form->ToolButton4->click(); }, &f4},
        {"m_favedit", [&] { form->m_favedit->trigger(); }, &f3},
        {"m_YahooID", [&] { form->m_YahooID->trigger(); }, &f2},
        {"m_option", [&] { form->m_option->trigger(); }, &f5},
    };
    for (const Row& row : rows) {
        for (QWidget* w : {&f2, &f3, &f4, &f5})
            w->hide();
        row.act();
        for (QWidget* w : {&f2, &f3, &f4, &f5})
            EXPECT_EQ(w->isVisible(), w == row.dialog) << row.name;
    }
}

TEST_F(Form1Test, ExitClosesTheWindowOnceThePageAgrees)
{
    WriteDefaults();
    Create();
    Show();
    for (const bool agrees : {false, true}) {
        browser->PageAgreesToClose = agrees;
        form->m_exit->trigger();
        QCoreApplication::processEvents();
        EXPECT_EQ(form->isVisible(), !agrees) << agrees;
    }
    EXPECT_EQ(browser->CloseQuestions, 2);
}

// ---- Browser events and the bid self-restraint stop ----

TEST_F(Form1Test, StatusAndCommandStateEvents)
{
    WriteDefaults();
    Create();
    browser->FireStatusText("http://link.test/日本");
    EXPECT_EQ(form->StatusBar1->currentMessage(), "http://link.test/日本");
    browser->FireStatusText("한");  // no code page 932 form
    EXPECT_EQ(form->StatusBar1->currentMessage(), "?");

    struct Row {
        int command;
        bool enable;
        bool back, forward;
    };
    const Row rows[] = {
        {1, true, false, true},  {2, true, true, true},   {3, false, true, true},   {0, false, true, true},
        {-1, false, true, true}, {1, false, true, false}, {2, false, false, false},
    };
    for (const Row& row : rows) {
        browser->FireCommandState(row.command, row.enable);
        EXPECT_EQ(form->ToolButton1->isEnabled(), row.back) << row.command << row.enable;
        EXPECT_EQ(form->ToolButton2->isEnabled(), row.forward) << row.command << row.enable;
    }
}

TEST_F(Form1Test, NavigateCompleteShowsTheLocationAndAppliesTheBidStop)
{
    WriteDefaults();
    Create();
    struct Row {
        const char* name;
        int flag;
        QString location;
        bool goesBack;
        bool refused;  // by the filter, before the page loads
    };
    const QString preview = "http://x.test.jp/jp/show/bid_preview?aID=b1&bid=100";
    const Row rows[] = {
        {"flag 1 stops", 1, preview, true, true},
        {"flag 0 shows", 0, preview, false, false},
        {"flag 2 shows", 2, preview, false, false},
        {"flag -1 shows", -1, preview, false, false},
        {"capitals do not stop, but are refused", 1, "http://x.test.jp/JP/SHOW/BID_PREVIEW?aID=1", false, true},
        {"another page", 1, "http://x.test.jp/jp/show/mystatus", false, false},
    };
    for (const Row& row : rows) {
        form->BidRestraintFlag = row.flag;
        form->Edit3->setText("typed over");
        const int before = browser->GoBackCount;
        browser->Commit(row.location);
        EXPECT_EQ(form->Edit3->text(), row.location) << row.name;
        // Shown from its beginning, the site's name.
        EXPECT_EQ(form->Edit3->cursorPosition(), 0) << row.name;
        EXPECT_EQ(browser->GoBackCount - before, row.goesBack ? 1 : 0) << row.name;
        // The filter refuses the pages before they load, leniently.
        EXPECT_EQ(browser->Offer(row.location), !row.refused) << row.name;
    }
    EXPECT_TRUE(reporter.Errors.isEmpty());

    // The flag is read at the moment of the event.
    form->BidRestraintFlag = 0;
    EXPECT_TRUE(browser->Offer(preview));
    form->BidRestraintFlag = 1;
    EXPECT_FALSE(browser->Offer(preview));

    // Every event counts, also one with no new address (a reload, a frame).
    browser->Commit(preview);
    const int stops = browser->GoBackCount;
    for (int i = 0; i < 2; ++i) {
        form->Edit3->setText("typed over");
        browser->FireNavigateComplete();
        EXPECT_EQ(form->Edit3->text(), preview);
    }
    EXPECT_EQ(browser->GoBackCount - stops, 2);

    // A go-back the engine refuses ends in the error display.
    browser->GoBackThrows = true;
    browser->Commit(preview);
    EXPECT_EQ(reporter.Errors, QStringList{"エラーを特定できません"});
}

// ---- Favorites tree ----

class TreeTest : public Form1Test {
protected:
    QList<QTreeWidgetItem*> DisplayOrder() const
    {
        QList<QTreeWidgetItem*> all;
        for (int i = 0; i < form->TreeView1->topLevelItemCount(); ++i) {
            QTreeWidgetItem* top = form->TreeView1->topLevelItem(i);
            all << top;
            for (int c = 0; c < top->childCount(); ++c)
                all << top->child(c);
        }
        return all;
    }
    void Select(QTreeWidgetItem* item)
    {
        form->TreeView1->clearSelection();
        item->setSelected(true);
    }
};

TEST_F(TreeTest, LoadShowsThreeCollapsedKindsWithTheirEntries)
{
    WriteDefaults();
    dir.Write("search.ini", "a,b,c\r\nno comma here\r\n\r\n");
    dir.Write("username.ini", "");
    dir.Write("exhibit.ini", "\x93\xFA\x96\x7B,http://e/\x93\xFA\r\n" + std::string(300, 'L') + ",http://long/");
    Create();
    QTreeWidget* tree = form->TreeView1;
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "検索語");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "ユーザ");
    EXPECT_EQ(tree->topLevelItem(2)->text(0), "出品物");
    QStringList names;
    for (int c = 0; c < tree->topLevelItem(0)->childCount(); ++c)
        names << tree->topLevelItem(0)->child(c)->text(0);
    EXPECT_EQ(names, (QStringList{"a", "", ""}));
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 0);
    EXPECT_EQ(tree->topLevelItem(2)->child(0)->text(0), "日本");
    // A name cut with "…" shows whole on hover; a short one needs no hint.
    EXPECT_EQ(tree->topLevelItem(2)->child(1)->text(0), QString(256, 'L') + "…");
    EXPECT_EQ(tree->topLevelItem(2)->child(1)->toolTip(0), QString(300, 'L'));
    EXPECT_TRUE(tree->topLevelItem(2)->child(0)->toolTip(0).isEmpty());
    EXPECT_EQ(form->FavoriteTables[fkSearchWord][0].Url, "b,c");
    EXPECT_EQ(form->FavoriteTables[fkSearchWord][1].Url, "no comma here");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(tree->topLevelItem(i)->isExpanded());
        EXPECT_EQ(tree->topLevelItem(i)->icon(0).cacheKey(), form->ImageList1[1].cacheKey());
    }
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->icon(0).cacheKey(), form->ImageList1[0].cacheKey());
    EXPECT_TRUE(tree->selectedItems().isEmpty());
}

TEST_F(TreeTest, ReloadRebuildsFromTheFilesAndClearsSelection)
{
    WriteDefaults();
    Create();
    QTreeWidget* tree = form->TreeView1;
    Select(tree->topLevelItem(1)->child(0));
    dir.Write("username.ini", "new,http://new/\r\n");
    form->Button1->click();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 1);
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), "new");
    EXPECT_TRUE(tree->selectedItems().isEmpty());
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(tree->topLevelItem(i)->isExpanded());
    // Nothing selected: a double-click opens nothing.
    browser->Navigations.clear();
    form->TreeView1DblClick();
    EXPECT_TRUE(browser->Navigations.isEmpty());

    // A missing file stops the load at its kind.
    dir.Remove("username.ini");
    form->Button1->click();
    EXPECT_EQ(reporter.Errors, QStringList{"username.ini: ファイルが見つかりません"});
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(1)->childCount(), 0);
}

TEST_F(TreeTest, DoubleClickOpensTheEntryAtItsPosition)
{
    WriteDefaults();
    Create();
    // Oracle: the URLs straight from the files' lines, in display order;
    // kind nodes open nothing.
    const QStringList expected = {"",           "http://s/0", "http://s/1", "",          "http://u/0",
                                  "http://u/1", "http://u/2", "",           "http://e/0"};
    for (bool expandAll : {false, true}) {
        const QList<QTreeWidgetItem*> nodes = DisplayOrder();
        ASSERT_EQ(nodes.size(), expected.size());
        for (int p = 0; p < nodes.size(); ++p) {
            if (expandAll)
                form->TreeView1->expandAll();
            else
                form->TreeView1->collapseAll();
            browser->Navigations.clear();
            Select(nodes[p]);
            form->TreeView1DblClick();
            const QStringList want = expected[p].isEmpty() ? QStringList{} : QStringList{expected[p]};
            EXPECT_EQ(browser->Navigations, want) << "p=" << p << " expanded=" << expandAll;
            EXPECT_TRUE(nodes[p]->isSelected());
        }
    }
}

TEST_F(TreeTest, RealDoubleClicksAndSingleExpand)
{
    WriteDefaults();
    Create();
    Show();
    QTreeWidget* tree = form->TreeView1;
    QTreeWidgetItem* users = tree->topLevelItem(1);
    // Selecting a kind expands it; selecting another collapses the first.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(users).center());
    EXPECT_TRUE(users->isExpanded());
    QTreeWidgetItem* second = users->child(1);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(second).center());
    EXPECT_TRUE(users->isExpanded());
    browser->Navigations.clear();
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(second).center());
    EXPECT_EQ(browser->Navigations, QStringList{"http://u/1"});
    // Empty space acts on the node selected before.
    browser->Navigations.clear();
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, QPoint(5, tree->viewport()->height() - 3));
    EXPECT_EQ(browser->Navigations, QStringList{"http://u/1"});
    QTreeWidgetItem* searches = tree->topLevelItem(0);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(searches).center());
    EXPECT_TRUE(searches->isExpanded());
    EXPECT_FALSE(users->isExpanded());
}

TEST_F(TreeTest, LargeListsHaveNoCap)
{
    WriteDefaults();
    std::string lines;
    for (int i = 0; i < 1200; ++i)
        lines += "n" + std::to_string(i) + ",http://big/" + std::to_string(i) + "\r\n";
    dir.Write("exhibit.ini", lines);
    Create();
    ASSERT_EQ(form->TreeView1->topLevelItem(2)->childCount(), 1200);
    form->TreeView1->topLevelItem(2)->child(1100)->setSelected(true);
    browser->Navigations.clear();
    form->TreeView1DblClick();
    EXPECT_EQ(browser->Navigations, QStringList{"http://big/1100"});
}

// ---- Keyboard ----

class KeyboardTest : public Form1Test {
protected:
    void ShowActive()
    {
        WriteDefaults();
        Create();
        Show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
};

TEST_F(KeyboardTest, TabVisitsEveryControlOnceInOrder)
{
    ShowActive();
    // Back and forward are disabled at start and passed over.
    const QList<QWidget*> expected = {form->ToolButton3,  form->ComboBox1,    form->ToolButton5,  form->ToolButton4,
                                      form->ToolButton6,  form->ToolButton7,  form->ToolButton8,  form->ToolButton9,
                                      form->Edit3,        form->Button7,      form->Edit1,        form->ToolButton13,
                                      form->ToolButton10, form->ToolButton11, form->ToolButton12, form->TreeView1};
    form->ToolButton3->setFocus(Qt::TabFocusReason);
    QList<QWidget*> visited = {QApplication::focusWidget()};
    while (visited.size() < expected.size()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget());
    }
    EXPECT_EQ(visited, expected);
    // Shift+Tab walks back; the hidden reload button is never a stop.
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), form->ToolButton10);
    EXPECT_EQ(form->Button1->focusPolicy(), Qt::NoFocus);
}

TEST_F(KeyboardTest, KeysDoWhatTheMouseDoes)
{
    ShowActive();
    QTreeWidget* tree = form->TreeView1;
    form->Edit1->setText("abc");
    const QString watch = "http://status.test.jp/jp/show/mystatus?select=watchlist&watchclosed=0";
    struct Row {
        const char* name;
        QWidget* focus;
        Qt::Key key;
        QStringList navigations;
        QWidget* focusAfter;                 // nullptr: where it was
        QTreeWidgetItem* current = nullptr;  // the tree's entry
    };
    const Row rows[] = {
        {"Enter in the search box: auction search",
         form->Edit1,
         Qt::Key_Return,
         {"http://search.test.jp/search/auc?p=abc"},
         nullptr},
        {"Enter in the address box starts nothing", form->Edit3, Qt::Key_Return, {}, nullptr},
        {"Enter on a favorite opens it",
         tree,
         Qt::Key_Return,
         {"http://u/2"},
         nullptr,
         tree->topLevelItem(1)->child(2)},
        {"Enter on a kind opens nothing", tree, Qt::Key_Return, {}, nullptr, tree->topLevelItem(0)},
        {"Enter presses a toolbar button", form->ToolButton6, Qt::Key_Return, {watch}, nullptr},
        {"Right: the next control of the toolbar", form->ToolButton3, Qt::Key_Right, {}, form->ComboBox1},
        {"Left: the one before", form->ToolButton5, Qt::Key_Left, {}, form->ComboBox1},
        {"Left: disabled buttons passed, stops at the edge", form->ToolButton3, Qt::Key_Left, {}, form->ToolButton3},
        {"Right: stops at the toolbar's end", form->ToolButton9, Qt::Key_Right, {}, form->ToolButton9},
    };
    for (const Row& row : rows) {
        row.focus->setFocus(Qt::TabFocusReason);
        if (row.current)
            tree->setCurrentItem(row.current);
        browser->Navigations.clear();
        QTest::keyClick(row.focus, row.key);
        EXPECT_EQ(browser->Navigations, row.navigations) << row.name;
        EXPECT_EQ(QApplication::focusWidget(), row.focusAfter ? row.focusAfter : row.focus) << row.name;
    }
    EXPECT_TRUE(reporter.Errors.isEmpty());
}

TEST_F(KeyboardTest, AToolbarButtonShowsItsFocus)
{
    UseShellStyle();  // the program's style, as the program starts with it
    ShowActive();
    form->ToolButton6->setFocus(Qt::TabFocusReason);
    const QImage focused = form->ToolButton6->grab().toImage();
    form->ToolButton7->setFocus(Qt::TabFocusReason);
    const QImage unfocused = form->ToolButton6->grab().toImage();
    EXPECT_NE(focused, unfocused);
}

// ---- The window's place ----

class WindowPlaceTest : public Form1Test {
protected:
    QRect Available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    // The window with room for a title bar and borders.
    static QRect Outer(const QWidget& w) { return w.geometry().adjusted(-4, -30, 4, 4); }
};

TEST_F(WindowPlaceTest, StartsFittedAndComesBackWhereItWasLeft)
{
    WriteDefaults();
    const QRect area = Available();
    struct Row {
        const char* name;
        std::optional<std::string> saved;  // the state file; nullopt: none
        QRect expected;                    // empty: the designed size, centred, fitted
        int treeWidth;
    };
    const QString base = QString::number(area.x() + 40) + "," + QString::number(area.y() + 50);
    const Row rows[] = {
        {"first start", std::nullopt, {}, 121},
        {"damaged file: as a first start", "40,50,300,garbage\r\n", {}, 121},
        {"left place and tree width come back", base.toStdString() + ",320,240,150,0\r\n",
         QRect(area.x() + 40, area.y() + 50, 320, 240), 150},
        {"hidden tree comes back at its width", base.toStdString() + ",320,240,0,0\r\n",
         QRect(area.x() + 40, area.y() + 50, 320, 240), 121},
        {"tree leaving the page no room: designed width", base.toStdString() + ",320,240,300,0\r\n",
         QRect(area.x() + 40, area.y() + 50, 320, 240), 121},
        {"larger than the screen: fitted", "-500,-400,9000,7000,150,0\r\n", area.marginsRemoved({4, 30, 4, 4}), 150},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::filesystem::remove_all(dir.path() / "engine");
        if (row.saved) {
            std::filesystem::create_directory(dir.path() / "engine");
            dir.Write("engine/window.ini", *row.saved);
        }
        Create();
        Show();
        EXPECT_TRUE(area.contains(Outer(*form))) << Outer(*form).x() << "," << Outer(*form).y();
        if (row.expected.isEmpty())
            EXPECT_EQ(form->size(), QSize(771, 609).boundedTo(area.marginsRemoved({4, 30, 4, 4}).size()));
        else
            EXPECT_EQ(form->geometry(), row.expected);
        EXPECT_EQ(form->Splitter1->sizes().value(0), row.treeWidth);
    }

    // Closing keeps the place for the next start; the five files stay as
    // they were.
    const auto fiveFiles = [&] {
        std::string bytes;
        for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini", "option.ini"})
            bytes += testfiles::ReadBytes(dir.path() / name) + "|";
        return bytes;
    };
    const std::string before = fiveFiles();
    const QRect left(area.x() + 60, area.y() + 70, 400, 300);
    form->setGeometry(left);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->geometry() == left; }));
    form->Splitter1->setSizes({180, 220});
    form->m_exit->trigger();
    QCoreApplication::processEvents();
    ASSERT_FALSE(form->isVisible());
    EXPECT_EQ(fiveFiles(), before);
    EXPECT_EQ(testfiles::Names(dir.path()), (std::vector<std::string>{"engine", "exhibit.ini", "login.ini",
                                                                      "option.ini", "search.ini", "username.ini"}));
    Create();
    Show();
    EXPECT_EQ(form->geometry(), left);
    EXPECT_EQ(form->Splitter1->sizes().value(0), 180);
}

// ---- Login ----

TEST_F(Form1Test, LoginUsesTheSelectedEntry)
{
    WriteDefaults();
    dir.Write("login.ini",
              "taro," + EncryptPasswordText("pw0") + "\r\na&b=c," + EncryptPasswordText("p#q+r%s t") + "\r\n,\r\n");
    dir.Write("option.ini", "2,1,0\r\n");
    Create();
    const QString head = "http://login.test.jp/config/login?.src=auc&.done=http://top.test.jp/jp";
    struct Row {
        int index;
        QString expected;
    };
    const Row rows[] = {
        {0, head + "&login=taro&passwd=pw0"}, {1, head + "&login=a%26b%3Dc&passwd=p%23q%2Br%25s%20t"},
        {2, head + "&login=&passwd="},        {0, head + "&login=taro&passwd=pw0"},
        {0, head + "&login=taro&passwd=pw0"},
    };
    for (const Row& row : rows) {
        browser->Navigations.clear();
        form->ComboBox1->setCurrentIndex(row.index);
        form->ToolButton5->click();
        EXPECT_EQ(browser->Navigations, QStringList{row.expected}) << row.index;
    }
    // Typed text in the selector: no entry is selected, nothing happens.
    browser->Navigations.clear();
    form->ComboBox1->setEditText("someone else");
    form->ToolButton5->click();
    EXPECT_TRUE(browser->Navigations.isEmpty());
    // A damaged stored text gives an empty password.
    form->Accounts[0].PasswordText = "!!!";
    form->FillAccountSelector();
    form->ToolButton5->click();
    EXPECT_EQ(browser->Navigations, QStringList{head + "&login=taro&passwd="});
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// After a login the address box, the status bar and the add dialog's
// address show the password masked; 「e」 refuses the login address and
// 移動 on the masked address opens the real one.
TEST_F(Form1Test, LoginAddressNeverShowsThePassword)
{
    WriteDefaults();
    Create();
    form->ComboBox1->setCurrentIndex(0);
    form->ToolButton5->click();
    const QString login = browser->Navigations.last();
    const QString masked = login.left(login.indexOf("passwd=")) + "passwd=********";
    ASSERT_TRUE(login.endsWith("&passwd=pw0"));
    browser->Commit(login);
    EXPECT_EQ(form->Edit3->text(), masked);
    EXPECT_EQ(form->ShownAddress(), masked);
    browser->FireStatusText(login);
    EXPECT_EQ(form->StatusBar1->currentMessage(), masked);

    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler("http", &recorder, "Open");
    form->ToolButton9->click();
    form->Edit3->setText(login);  // typed with its password: still refused, and never shown to a dialog
    form->ToolButton9->click();
    EXPECT_EQ(form->ShownAddress(), masked);
    QDesktopServices::unsetUrlHandler("http");
    EXPECT_TRUE(recorder.Opened.isEmpty());
    EXPECT_EQ(reporter.Messages, QStringList(2, QString::fromUtf8(kLoginAddressRefusedMessage)));

    browser->Navigations.clear();
    form->Edit3->setText(masked);
    form->Button7->click();
    EXPECT_EQ(browser->Navigations, QStringList{login});
}

TEST_F(Form1Test, LoginWithNoItemsDoesNothing)
{
    Create();  // no files at all: login.ini fails first
    EXPECT_EQ(form->ComboBox1->count(), 0);
    form->ToolButton5->click();
    EXPECT_TRUE(browser->Navigations.isEmpty());
    EXPECT_EQ(reporter.Errors, QStringList{"login.ini: ファイルが見つかりません"});
}

TEST_F(Form1Test, FillAccountSelectorRefillsFromAccounts)
{
    WriteDefaults();
    Create();
    form->ComboBox1->setEditText("typed");
    form->Accounts = {TAccountEntry{"x", ""}, TAccountEntry{"y", ""}, TAccountEntry{"z", ""}};
    form->FillAccountSelector();
    EXPECT_EQ(form->ComboBox1->count(), 3);
    EXPECT_EQ(form->ComboBox1->itemText(2), "z");
    EXPECT_EQ(form->ComboBox1->currentIndex(), 0);
    EXPECT_EQ(form->ComboBox1->currentText(), "x");
}

// ---- Icons ----

// Share of pixels the icon paints (alpha above half) at a size and mode.
double Coverage(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    const QImage img = icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
    int painted = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            painted += qAlpha(img.pixel(x, y)) > 128;
    return double(painted) / (img.width() * img.height());
}

TEST_F(Form1Test, ImageListsAreDrawnAtEverySize)
{
    WriteDefaults();
    Create();
    EXPECT_EQ(form->ImageList1.size(), 2);
    EXPECT_EQ(form->ImageList2.size(), 9);
    EXPECT_EQ(form->ImageList3.size(), 4);
    for (const QList<QIcon>* list : {&form->ImageList1, &form->ImageList2, &form->ImageList3}) {
        for (int i = 0; i < list->size(); ++i) {
            const QIcon& icon = (*list)[i];
            const double small = Coverage(icon, 16), large = Coverage(icon, 64);
            EXPECT_GT(small, 0.03) << i;
            // Drawn, not stretched: the share painted stays about the same.
            EXPECT_NEAR(small, large, 0.12) << i;
            const QImage big = icon.pixmap(QSize(64, 64)).toImage();
            EXPECT_EQ(big.size(), QSize(64, 64)) << i;
        }
    }
    // The left and right arrows mirror each other.
    const QImage left = form->ImageList2[0].pixmap(QSize(32, 32)).toImage().mirrored(true, false);
    const QImage right = form->ImageList2[1].pixmap(QSize(32, 32)).toImage();
    int differing = 0;
    for (int yy = 0; yy < 32; ++yy)
        for (int xx = 0; xx < 32; ++xx)
            differing += std::abs(qAlpha(left.pixel(xx, yy)) - qAlpha(right.pixel(xx, yy))) > 64;
    EXPECT_LE(differing, 6);
    EXPECT_GT(std::abs(Coverage(form->ImageList2[0], 32) - 0.0), 0.1);
    // The "Y" is red; the folder yellow.
    const QImage y = form->ImageList3[3].pixmap(QSize(32, 32)).toImage();
    EXPECT_GT(qRed(y.pixel(16, 24)), 180);
    EXPECT_LT(qGreen(y.pixel(16, 24)), 80);
    const QImage folder = form->ImageList1[1].pixmap(QSize(32, 32)).toImage();
    EXPECT_GT(qRed(folder.pixel(16, 22)), 200);
    EXPECT_GT(qGreen(folder.pixel(16, 22)), 160);
    EXPECT_LT(qBlue(folder.pixel(16, 22)), 120);
}

// ---- The error display and the bundled home page ----

TEST(MessageBoxReporter, CriticalBoxCaptionedLotscopeWithThePoint)
{
    TMessageBoxReporter reporter;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    reporter.ShowError("ファイルが見つかりません");
    EXPECT_EQ(title, "Lotscope");
    EXPECT_EQ(text, "ファイルが見つかりません.");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}

TEST(HomePage, BundledPageNamesTheProgramAndLinksTheAuctionPages)
{
    QFile page(":/lotscope/home.html");
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    EXPECT_TRUE(html.contains("Lotscope"));
    EXPECT_TRUE(html.contains(QString::fromStdString(TEndpoints::Defaults().AuctionTop) + "/\""));
    EXPECT_TRUE(html.contains("/jp/show/mystatus?select=bidding"));
    EXPECT_EQ(TEndpoints::Defaults().Home, "qrc:/lotscope/home.html");
}

}  // namespace

#include "Form1Test.moc"
