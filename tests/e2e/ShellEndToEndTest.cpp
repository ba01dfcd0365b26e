// The main window with the real browser engine, offscreen, against an HTTP
// server on 127.0.0.1 started by each test.
#include "LocalHttpServer.h"
#include "RecordingReporter.h"
#include "accounts/StoredPassword.h"
#include "shell/Unit1.h"
#include "shell/browser/WebEngineBrowser.h"
#include "support/TestFiles.h"
#include "textconv/Cp932.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTcpServer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <iconv.h>
#include <iostream>
#include <optional>

namespace {

constexpr int kTimeout = 20000;

const QByteArray kItemPage =
    "<!DOCTYPE html><html><head><meta charset='utf-8'><title>item</title></head><body><h1>item</h1>"
    "<a id='bid' href='/test.jp/jp/show/bid_preview?aID=x1&amp;bid=100'>bid</a> "
    "<a id='redirect' href='/test.jp/go'>go</a>"
    "<form id='form' method='post' action='/test.jp/jp/show/bid_preview?aID=x1'>"
    "<input name='bid' value='100'></form></body></html>";

class ShellEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.Route("/test.jp/item", [](const THttpRequest&) { return THttpResponse::Html(kItemPage); });
        server.Route("/test.jp/go", [](const THttpRequest&) {
            return THttpResponse::Redirect("/test.jp/jp/show/bid_preview?aID=x1");
        });
        server.Fallback([](const THttpRequest& r) {
            return THttpResponse::Html("<!DOCTYPE html><html><body><p>" + r.Path + "</p></body></html>");
        });
        ASSERT_TRUE(server.Start());
        base = server.Base() + "/test.jp";
        dir.Write("search.ini", "s0," + base.toStdString() + "/fav\r\n");
        dir.Write("username.ini", "");
        dir.Write("exhibit.ini", "");
    }

    TEndpoints Endpoints() const
    {
        const std::string b = base.toStdString();
        return {b + "/home", b, b, b, b + "/am", b + "/ka", b + "/af", b + "/login"};
    }

    // Creates the window with options and one account.
    void Create(const std::string& options, const std::string& login = "taro,\r\n")
    {
        dir.Write("login.ini", login);
        dir.Write("option.ini", options);
        std::unique_ptr<TWebEngineBrowser> owned = TWebEngineBrowser::CreateOffTheRecord();
        browser = owned.get();
        form = std::make_unique<TForm1>(Endpoints(), std::move(owned), reporter, dir.path());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QObject::connect(Page(), &QWebEnginePage::loadStarted, [this] { loading = true; });
        QObject::connect(Page(), &QWebEnginePage::loadFinished, [this] { loading = false; });
        QObject::connect(browser, &THostedBrowser::StatusTextChange, [this](const QString& t) { statusTexts << t; });
    }

    QWebEnginePage* Page() const { return static_cast<QWebEngineView*>(browser->Widget())->page(); }

    // Navigates through the address box and waits until that page is loaded
    // (a load that started after the click and finished well).
    void Open(const QString& address)
    {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !loading; }, kTimeout));
        bool started = false, finished = false;
        QMetaObject::Connection a = QObject::connect(Page(), &QWebEnginePage::loadStarted, [&] { started = true; });
        QMetaObject::Connection b = QObject::connect(Page(), &QWebEnginePage::loadFinished,
                                                     [&](bool ok) { finished = finished || (started && ok); });
        form->Edit3->setText(address);
        form->Button7->click();
        const bool loaded = QTest::qWaitFor([&] { return finished; }, kTimeout);
        QObject::disconnect(a);
        QObject::disconnect(b);
        ASSERT_TRUE(loaded) << address.toStdString() << " started=" << started
                            << " url=" << Page()->url().toString().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == address; }, kTimeout))
            << form->Edit3->text().toStdString();
    }

    void RunScript(const QString& script) { Page()->runJavaScript(script); }

    // What a script evaluates to in the page shown.
    QString Script(const QString& script)
    {
        auto result = std::make_shared<std::optional<QString>>();
        Page()->runJavaScript(script, [result](const QVariant& v) { *result = v.toString(); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result->has_value(); }, kTimeout)) << script.toStdString();
        return result->value_or(QString());
    }
    QString PlainText() { return Script("document.body ? document.body.innerText : ''"); }

    // Runs script from the user's click on the page, as the engine treats
    // what a page does unasked differently (history, new windows).
    void ClickRunning(const QString& script)
    {
        RunScript("document.body.insertAdjacentHTML('beforeend', \"<div id='road' style='position: fixed; "
                  "inset: 0'></div>\"); road.onclick = () => { " +
                  script + " }; document.title = 'ready';");
        ASSERT_TRUE(QTest::qWaitFor([&] { return Page()->title() == "ready"; }, kTimeout));
        QWidget* surface = browser->Widget()->focusProxy();
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->rect().center());
    }

    static long ResidentKiB()
    {
        QFile status("/proc/self/status");
        status.open(QIODevice::ReadOnly);
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toLong();
        return 0;
    }

    testfiles::TTempDir dir;
    TLocalHttpServer server;
    QString base;
    TRecordingReporter reporter;
    TWebEngineBrowser* browser = nullptr;
    std::unique_ptr<TForm1> form;
    bool loading = false;
    QStringList statusTexts;
};

TEST_F(ShellEndToEnd, StartupOpensTheHomePageAndLoadsTheTree)
{
    Create("0,1,0\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == base + "/home"; }, kTimeout));
    EXPECT_EQ(server.RequestsFor("/test.jp/home").size(), 1);
    EXPECT_EQ(form->TreeView1->topLevelItemCount(), 3);
    EXPECT_TRUE(reporter.Errors.isEmpty());
}

TEST_F(ShellEndToEnd, AuctionSearchReachesTheServerWithTheEncodedTerm)
{
    Create("2,1,0\r\n");
    form->Edit1->setText("日本 ｶﾞ");
    form->ToolButton13->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/search/auc").isEmpty(); }, kTimeout));
    // The engine writes the escapes in capitals; the bytes are the EUC-JP ones.
    const QByteArray query = server.RequestsFor("/test.jp/search/auc")[0].Query;
    EXPECT_EQ(query.toLower(), "p=%c6%fc%cb%dc+%a5%ac");
    EXPECT_EQ(QByteArray::fromPercentEncoding(query), "p=\xC6\xFC\xCB\xDC+\xA5\xAC");
    // The address box keeps the escapes, for the add dialog.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text().contains("search/auc"); }, kTimeout));
    EXPECT_TRUE(form->Edit3->text().endsWith("p=%c6%fc%cb%dc+%a5%ac", Qt::CaseInsensitive))
        << form->Edit3->text().toStdString();

    form->Edit1->setText("abc");
    form->ToolButton11->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/ka/txtsearch/txtsearch.asp").isEmpty(); },
                                kTimeout));
    EXPECT_EQ(server.RequestsFor("/test.jp/ka/txtsearch/txtsearch.asp")[0].Query, "TopCategoryCD=&SearchWord=abc");
}

// A query parameter as a site reads it: "+" is a space, then the escapes,
// then the site's character set (EUC-JP-MS for the auction search, UTF-8
// for the others).
QString SiteReads(const QByteArray& query, const QByteArray& name, bool eucJpMs)
{
    for (QByteArray part : query.split('&')) {
        if (!part.startsWith(name + '='))
            continue;
        const QByteArray bytes = QByteArray::fromPercentEncoding(part.mid(name.size() + 1).replace('+', ' '));
        if (!eucJpMs)
            return QString::fromUtf8(bytes);
        const iconv_t cd = iconv_open("UTF-8", "EUC-JP-MS");
        QByteArray utf8(bytes.size() * 2 + 4, '\0');
        char* in = const_cast<char*>(bytes.data());
        char* out = utf8.data();
        std::size_t inLeft = static_cast<std::size_t>(bytes.size()), outLeft = static_cast<std::size_t>(utf8.size());
        const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
        iconv_close(cd);
        return ok ? QString::fromUtf8(utf8.left(utf8.size() - static_cast<qsizetype>(outLeft))) : "(not EUC-JP-MS)";
    }
    return "(no " + QString::fromLatin1(name) + ")";
}

TEST_F(ShellEndToEnd, SearchTermsReachEachSiteIntact)
{
    struct Site {
        QToolButton* TForm1::*button;
        QByteArray path, parameter;
        qsizetype parameters;  // the address's own parameters, none split off
        bool eucJpMs;
    };
    const Site sites[] = {
        {&TForm1::ToolButton13, "/test.jp/search/auc", "p", 1, true},
        {&TForm1::ToolButton10, "/test.jp/am/exec/obidos/external-search", "keyword", 4, false},
        {&TForm1::ToolButton11, "/test.jp/ka/txtsearch/txtsearch.asp", "SearchWord", 2, false},
        {&TForm1::ToolButton12, "/test.jp/af/search0", "search", 3, false},
    };
    Create("2,1,0\r\n");
    for (const QString term : {"C++", "AT&T", "a#b", "100%", "x=y", "腕時計", "髙橋"}) {
        for (const Site& site : sites) {
            SCOPED_TRACE((term + " " + site.path).toStdString());
            const qsizetype before = server.RequestsFor(site.path).size();
            form->Edit1->setText(term);
            (form.get()->*site.button)->click();
            ASSERT_TRUE(QTest::qWaitFor([&] { return server.RequestsFor(site.path).size() > before; }, kTimeout));
            const QByteArray query = server.RequestsFor(site.path).last().Query;
            EXPECT_EQ(SiteReads(query, site.parameter, site.eucJpMs), term) << query.toStdString();
            EXPECT_EQ(query.split('&').size(), site.parameters) << query.toStdString();
        }
    }
    EXPECT_TRUE(reporter.Errors.isEmpty());
}

TEST_F(ShellEndToEnd, TheEngineSpeaksJapanese)
{
    Create("2,1,0\r\n");
    Open(base + "/a");
    EXPECT_EQ(server.RequestsFor("/test.jp/a").last().Header("Accept-Language"), "ja,en-US;q=0.8,en;q=0.6");
    // The engine's own page for an address nobody answers.
    QTcpServer gone;
    ASSERT_TRUE(gone.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(gone.serverPort());
    gone.close();
    form->Edit3->setText(address);
    form->Button7->click();
    // The text arrives later; the page may answer after this test is over.
    auto text = std::make_shared<QString>();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            Page()->toPlainText([text](const QString& t) { *text = t; });
            return text->contains("このサイトにアクセスできません");
        },
        kTimeout))
        << text->toStdString();
}

TEST_F(ShellEndToEnd, DownloadsAreSavedWholeOrNotAtAll)
{
    QByteArray csv = "id,name\r\n";
    for (int i = 0; csv.size() < 300000; ++i)
        csv += QByteArray::number(i) + ",\xE8\x85\x95\xE6\x99\x82\xE8\xA8\x88\r\n";
    auto file = [&](bool whole) {
        return [&, whole](const THttpRequest&) {
            THttpResponse r;
            r.Headers = {{"Content-Type", "text/csv"}, {"Content-Disposition", "attachment; filename=\"export.csv\""}};
            r.Body = csv;
            if (!whole)  // the connection closes a third of the way through
                r.Headers.append({"Content-Length", QByteArray::number(csv.size() * 3)});
            return r;
        };
    };
    server.Route("/test.jp/export.csv", file(true));
    server.Route("/test.jp/broken.csv", file(false));
    enum class Target { File, Folder, ReadOnlyFolder };
    struct Row {
        const char* name;
        const char* path;
        bool chosen;          // the save dialog's answer: the file, or cancel
        QByteArray content;   // what the chosen file holds afterwards
        const char* message;  // the one message, empty for none
        Target target = Target::File;
    };
    const Row rows[] = {
        {"cut short", "/broken.csv", true, "old", "「export.csv」を保存できませんでした: 通信が途切れました"},
        {"cancelled in the dialog", "/export.csv", false, "old", ""},
        {"saved whole", "/export.csv", true, csv, "「%1」に保存しました"},
        {"the chosen name is a folder", "/export.csv", true, "",
         "「export.csv」を保存できませんでした: 同じ名前のフォルダーがあります", Target::Folder},
        {"the folder is read-only", "/export.csv", true, "old",
         "「export.csv」を保存できませんでした: ファイルへのアクセスが拒否されました", Target::ReadOnlyFolder},
    };
    const QString privateFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + "/lotscope/downloads";
    Create("2,1,0\r\n");
    const QString folder = QString::fromStdString((dir.path() / "saved").string());
    const QString target = folder + "/export.csv";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        testfiles::TSmallFileSystem readOnly;
        if (row.target == Target::ReadOnlyFolder) {
            const std::string why = readOnly.Mount(folder.toStdString(), "1m");
            if (!why.empty()) {
                std::cout << "skipped: " << why << "\n";
                continue;
            }
        }
        if (row.target == Target::Folder)
            QDir().mkpath(target);
        else
            dir.Write("saved/export.csv", "old");
        if (row.target == Target::ReadOnlyFolder)
            ASSERT_TRUE(readOnly.Remount(true));
        reporter.Messages.clear();
        QString proposed;
        browser->SetSaveFileChooser([&](const QString& p, THostedBrowser::SaveAnswer answer) {
            proposed = p;
            answer(row.chosen ? target : QString());
        });
        QStringList status;
        QMetaObject::Connection c =
            QObject::connect(form->StatusBar1, &QStatusBar::messageChanged, [&](const QString& m) { status << m; });
        form->Edit3->setText(base + row.path);
        form->Button7->click();
        if (*row.message) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !reporter.Messages.isEmpty(); }, kTimeout));
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !proposed.isEmpty(); }, kTimeout));
        }
        QTest::qWait(300);
        QObject::disconnect(c);
        EXPECT_EQ(proposed,
                  QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)).filePath("export.csv"));
        const QString message = QString(row.message).replace("%1", target);
        EXPECT_EQ(reporter.Messages, *row.message ? QStringList{message} : QStringList{});
        if (row.target != Target::Folder)
            EXPECT_EQ(QByteArray::fromStdString(dir.Read("saved/export.csv")), row.content);
        // No temporary file is left beside it, nor in the private folder.
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                  QStringList{"export.csv"});
        QDirIterator left(privateFolder, {"*.download"}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        EXPECT_FALSE(left.hasNext()) << left.next().toStdString();
        if (row.chosen && row.content == csv) {
            EXPECT_FALSE(status.filter("export.csv をダウンロードしています").isEmpty())
                << status.join("|").toStdString();
        }
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

struct BidRow {
    const char* name;
    QString script;
    QByteArray method;
};

TEST_F(ShellEndToEnd, BidStopRefusesThePreviewPageOnlyWhileTheFlagIsOne)
{
    const BidRow rows[] = {
        {"link", "document.getElementById('bid').click()", "GET"},
        {"form post", "document.getElementById('form').submit()", "POST"},
        {"server redirect", "document.getElementById('redirect').click()", "GET"},
    };
    const QByteArray preview = "/test.jp/jp/show/bid_preview";
    Create("2,1,0\r\n");
    for (const BidRow& row : rows) {
        SCOPED_TRACE(row.name);
        for (int flag : {1, 0}) {
            SCOPED_TRACE(flag);
            form->BidRestraintFlag = flag;
            Open(base + "/item");
            const qsizetype before = server.RequestsFor(preview).size();
            QSignalSpy refused(browser, &TWebEngineBrowser::NavigationRefused);
            QSignalSpy ended(Page(), &QWebEnginePage::loadFinished);
            RunScript(row.script);
            if (flag == 1) {
                ASSERT_TRUE(QTest::qWaitFor([&] { return !refused.isEmpty(); }, kTimeout));
                // The status bar says why once the cut-short load has ended.
                ASSERT_TRUE(QTest::qWaitFor([&] { return !ended.isEmpty(); }, kTimeout));
                EXPECT_EQ(form->StatusBar1->currentMessage(), QString::fromUtf8(kBidStopStatus));
                EXPECT_TRUE(refused.first().first().toString().contains("jp/show/bid_preview"));
                EXPECT_EQ(server.RequestsFor(preview).size(), before);
                EXPECT_EQ(form->Edit3->text(), base + "/item");
            } else {
                ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text().contains("bid_preview"); }, kTimeout))
                    << [&] {
                           std::string all;
                           for (const THttpRequest& r : server.Requests())
                               all += r.RequestLine.toStdString() + "\n";
                           return all + form->Edit3->text().toStdString();
                       }();
                ASSERT_EQ(server.RequestsFor(preview).size(), before + 1);
                const THttpRequest request = server.RequestsFor(preview).last();
                EXPECT_EQ(request.Method, row.method);
                if (row.method == "POST") {
                    EXPECT_EQ(request.Body, "bid=100");
                }
                EXPECT_TRUE(refused.isEmpty());
            }
        }
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// A new window is the engine's own page, shown over its opener until it
// closes, and only when the user asked for it: what each road does on the
// wire and in the one view.
TEST_F(ShellEndToEnd, NewWindowsAreTheEnginesOwnPagesOverTheirOpener)
{
    const QString other = QString("http://localhost:%1/test.jp").arg(server.Port());
    server.Route("/test.jp/cookies", [](const THttpRequest&) {
        THttpResponse r = THttpResponse::Html("<p>cookies</p>");
        r.Headers = {{"Set-Cookie", "strict=1; SameSite=Strict; Path=/"},
                     {"Set-Cookie", "lax=1; SameSite=Lax; Path=/"}};
        return r;
    });
    server.Route("/test.jp/ad", [&](const THttpRequest&) {
        return THttpResponse::Html("<script>window.open('" + base.toUtf8() + "/opened')</script>");
    });
    server.Route("/test.jp/popup", [](const THttpRequest&) {
        return THttpResponse::Html("<p>popup</p><script>opener.postMessage('answer', '*'); window.close();</script>");
    });
    server.Route("/test.jp/popup-bid", [](const THttpRequest&) { return THttpResponse::Html("<p>popup</p>"); });
    server.Route("/test.jp/pic.png", [](const THttpRequest&) {
        QImage picture(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        THttpResponse r;
        QBuffer png(&r.Body);
        png.open(QIODevice::WriteOnly);
        picture.save(&png, "PNG");
        r.Headers = {{"Content-Type", "image/png"}};
        return r;
    });
    // A preview window its opener fills in: the written page shows, its
    // picture loads and its print() brings the print dialog (closed here).
    const auto previewShows = [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return browser->PageCount() == 2; }, kTimeout));
        ASSERT_TRUE(QTest::qWaitFor([&] { return PlainText() == "preview"; }, kTimeout)) << PlainText().toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return Script("document.images[0].naturalWidth") == "40"; }, kTimeout));
        bool asked = false;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                asked = true;
                dialog->reject();
            }
        });
        closer.start(20);
        RunScript("print()");
        EXPECT_TRUE(QTest::qWaitFor([&] { return asked; }, kTimeout));
    };
    const QString blocked = "ポップアップをブロックしました";
    const QString append = "document.body.insertAdjacentHTML('beforeend', \"%1\");";
    enum class TClick { No, Yes };
    const struct {
        const char* name;
        QString page;
        TClick click;
        QString script;
        std::function<void()> check;
    } rows[] = {
        {"a cross-site frame's window.open", base + "/item", TClick::No,
         append.arg("<iframe src='" + other + "/ad'></iframe>"),
         [&] {
             EXPECT_TRUE(QTest::qWaitFor([&] { return statusTexts.contains(blocked); }, kTimeout));
             EXPECT_TRUE(server.RequestsFor("/test.jp/opened").isEmpty());
             EXPECT_EQ(Page()->url().toString(), base + "/item");
         }},
        {"a timer's window.open", base + "/item", TClick::No, "setTimeout(() => window.open('/test.jp/opened'), 0)",
         [&] {
             EXPECT_TRUE(QTest::qWaitFor([&] { return statusTexts.contains(blocked); }, kTimeout));
             EXPECT_TRUE(server.RequestsFor("/test.jp/opened").isEmpty());
             EXPECT_EQ(browser->PageCount(), 1u);
         }},
        {"a cross-site link with a target of its own", other + "/linker", TClick::Yes,
         "const a = document.createElement('a'); a.href = '" + base +
             "/opened'; a.target = '_blank';"
             "document.body.append(a); a.click();",
         [&] {
             ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/opened").isEmpty(); }, kTimeout));
             const THttpRequest request = server.RequestsFor("/test.jp/opened").first();
             EXPECT_EQ(request.Header("Sec-Fetch-Site"), "cross-site");
             EXPECT_EQ(request.Header("Referer"), QUrl(other).adjusted(QUrl::RemovePath).toString().toUtf8() + "/")
                 << request.Header("Referer").data();
             EXPECT_TRUE(request.Header("Cookie").contains("lax=1"));
             EXPECT_FALSE(request.Header("Cookie").contains("strict=1"));
             ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == base + "/opened"; }, kTimeout));
             // Back from its first entry closes it.
             ASSERT_TRUE(QTest::qWaitFor([&] { return form->ToolButton1->isEnabled(); }, kTimeout));
             form->ToolButton1->click();
             EXPECT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == other + "/linker"; }, kTimeout));
             EXPECT_EQ(browser->PageCount(), 1u);
         }},
        {"a form sent to a new window", base + "/item", TClick::Yes,
         append.arg("<form id='nw' method='post' target='_blank' action='/test.jp/opened'>"
                    "<input name='bid' value='100'></form>") +
             "nw.submit();",
         [&] {
             ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/opened").isEmpty(); }, kTimeout));
             EXPECT_EQ(server.RequestsFor("/test.jp/opened").first().Method, "POST");
             EXPECT_EQ(server.RequestsFor("/test.jp/opened").first().Body, "bid=100");
         }},
        {"a print preview its opener writes", base + "/item", TClick::Yes,
         "const w = window.open('', 'preview'); w.document.write('<p>preview</p>'); w.document.close();",
         [&] {
             ASSERT_TRUE(QTest::qWaitFor([&] { return browser->PageCount() == 2; }, kTimeout));
             EXPECT_TRUE(QTest::qWaitFor([&] { return PlainText() == "preview"; }, kTimeout))
                 << PlainText().toStdString();
         }},
        {"a print preview written a second later", base + "/item", TClick::Yes,
         "const w = window.open('', 'pv'); setTimeout(() => { "
         "w.document.write(\"<p>preview</p><img src='/test.jp/pic.png'>\"); w.document.close(); }, 1000);",
         previewShows},
        {"a print preview filled in by its body", base + "/item", TClick::Yes,
         "const w = window.open('', 'pv'); w.document.body.innerHTML = \"<p>preview</p><img src='" + base +
             "/pic.png'>\";",
         previewShows},
        {"a login window answering its opener", base + "/item", TClick::Yes,
         "window.onmessage = (e) => { document.title = 'got ' + e.data; }; "
         "document.getElementById('typed').value = 'typed text'; window.open('/test.jp/popup');",
         [&] {
             ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/popup").isEmpty(); }, kTimeout));
             ASSERT_TRUE(QTest::qWaitFor([&] { return browser->PageCount() == 1; }, kTimeout));
             EXPECT_TRUE(QTest::qWaitFor([&] { return Page()->title() == "got answer"; }, kTimeout));
             EXPECT_EQ(Script("document.getElementById('typed').value"), "typed text");
             EXPECT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == base + "/item"; }, kTimeout));
         }},
        {"a data: document", base + "/item", TClick::Yes,
         "window.open('data:text/html,<form action=" + base +
             "/opened></form><script>document.forms[0].submit()"
             "</script>');",
         [&] {
             EXPECT_TRUE(QTest::qWaitFor(
                 [&] { return statusTexts.contains("このページは新しいウィンドウでは開けません"); }, kTimeout));
             EXPECT_EQ(browser->PageCount(), 1u);
             EXPECT_EQ(Page()->url().toString(), base + "/item");
         }},
        {"a thousand window.open calls", base + "/item", TClick::Yes,
         "for (let i = 0; i < 1000; ++i) window.open('/test.jp/opened?' + i);",
         [&] {
             const long before = ResidentKiB();
             EXPECT_TRUE(QTest::qWaitFor([&] { return statusTexts.contains(blocked); }, kTimeout));
             // A fence: a request made after the loop has reached the server.
             RunScript("opener.fetch('/test.jp/fence')");
             ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/fence").isEmpty(); }, kTimeout));
             EXPECT_LE(server.RequestsFor("/test.jp/opened").size(), 1);
             EXPECT_LE(browser->PageCount(), 2u);
             EXPECT_LT(ResidentKiB() - before, 64 * 1024);
         }},
        {"nine clicked windows: the view keeps eight, the oldest goes", base + "/item", TClick::Yes,
         "window.open('/test.jp/opened?1');",
         [&] {
             // Each window shown and loaded before the next click.
             const auto shows = [&](int window) {
                 return QTest::qWaitFor(
                     [&] {
                         return form->Edit3->text() == base + QString("/opened?%1").arg(window) &&
                                statusTexts.count("ページが表示されました") >= window;
                     },
                     kTimeout);
             };
             ASSERT_TRUE(shows(1));
             for (int window = 2; window <= 9; ++window) {
                 ClickRunning(QString("window.open('/test.jp/opened?%1');").arg(window));
                 ASSERT_TRUE(shows(window)) << form->Edit3->text().toStdString();
             }
             EXPECT_EQ(browser->PageCount(), 8u);
             // Back closes them down to the second window: the page they
             // were opened from is gone.
             for (int window = 8; window >= 2; --window) {
                 form->ToolButton1->click();
                 ASSERT_TRUE(QTest::qWaitFor(
                     [&] { return form->Edit3->text() == base + QString("/opened?%1").arg(window); }, kTimeout));
             }
             EXPECT_EQ(browser->PageCount(), 1u);
             EXPECT_TRUE(QTest::qWaitFor([&] { return !form->ToolButton1->isEnabled(); }, kTimeout));
         }},
        {"the bid preview from a page of the stack", base + "/item", TClick::Yes, "window.open('/test.jp/popup-bid');",
         [&] {
             ASSERT_TRUE(QTest::qWaitFor([&] { return PlainText() == "popup"; }, kTimeout));
             form->BidRestraintFlag = 1;
             QSignalSpy refused(browser, &TWebEngineBrowser::NavigationRefused);
             RunScript("location.href = '/test.jp/jp/show/bid_preview?aID=x1'");
             ASSERT_TRUE(QTest::qWaitFor([&] { return !refused.isEmpty(); }, kTimeout));
             EXPECT_TRUE(server.RequestsFor("/test.jp/jp/show/bid_preview").isEmpty());
             EXPECT_EQ(form->Edit3->text(), base + "/popup-bid");
         }},
        {"a new document after a blocked pop-up", base + "/item", TClick::No,
         "setTimeout(() => window.open('/test.jp/opened'), 0)",
         [&] {
             ASSERT_TRUE(QTest::qWaitFor([&] { return statusTexts.contains(blocked); }, kTimeout));
             Open(base + "/next");
             statusTexts.clear();
             RunScript("setTimeout(() => window.open('/test.jp/opened'), 0)");
             EXPECT_TRUE(QTest::qWaitFor([&] { return statusTexts.contains(blocked); }, kTimeout));
             ClickRunning("window.open('/test.jp/opened')");
             EXPECT_TRUE(QTest::qWaitFor([&] { return browser->PageCount() == 2; }, kTimeout));
         }},
        {"a clicked window.open to an https address", base + "/item", TClick::Yes,
         "window.open('https://127.0.0.1:1/')",
         [&] {
             EXPECT_TRUE(QTest::qWaitFor([&] { return browser->PageCount() == 2; }, kTimeout));
             EXPECT_FALSE(statusTexts.contains("このページは新しいウィンドウでは開けません"));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        form.reset();
        server.ClearRequests();
        Create("2,1,0\r\n");
        if (row.page.startsWith(other))
            Open(base + "/cookies");
        Open(row.page);
        RunScript(append.arg("<input id='typed'>"));
        statusTexts.clear();
        if (row.click == TClick::Yes)
            ClickRunning(row.script);
        else
            RunScript(row.script);
        row.check();
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// While the flag is 1 no request for the preview leaves the machine, by any
// road (frames, objects, scripts, new windows, redirects of navigations,
// addresses a lenient server reads as the preview's), and the page, what it
// shows, its history and the address box stay as they were; while it is 0
// every road reaches the server. A script's request the server redirects to
// the preview is the one road the engine follows before asking, so there the
// preview's answer is only proved never to reach the page. The bid API's
// preview call, the road a bid takes today, is refused the same way.
TEST_F(ShellEndToEnd, BidStopRefusesEveryRoadToThePreview)
{
    const auto append = [](const QString& html) {
        return "document.body.insertAdjacentHTML('beforeend', \"" + html + "\");";
    };
    const QString preview = "/test.jp/jp/show/bid_preview?aID=x1";
    const struct {
        const char* name;
        QString script;
        bool followedBeforeAsking = false;
        QString road = "bid_preview";  // what the road's address holds
    } rows[] = {
        {"iframe", append("<iframe src='" + preview + "'></iframe>")},
        {"object", append("<object type='text/html' data='" + preview + "'></object>")},
        {"form into a named frame", append("<iframe name='f'></iframe><form id='nf' target='f' method='post' action='" +
                                           preview + "'><input name='bid' value='100'></form>") +
                                        "document.getElementById('nf').submit();"},
        {"fetch and document.write", "window.road = fetch('" + preview +
                                         "').then(r => r.text()).then(t => { document.open(); document.write(t); "
                                         "document.close(); });"},
        {"redirect of a frame", append("<iframe src='/test.jp/go'></iframe>")},
        {"redirect of a fetch",
         "window.road = fetch('/test.jp/go').then(r => r.text()).then(t => { document.open(); document.write(t); "
         "document.close(); });",
         true},
        {"doubled slash", "location.href = '/test.jp/jp//show/bid_preview';"},
        {"escaped slashes", "location.href = '/test.jp/jp%2Fshow%2Fbid_preview';"},
        {"segment parameter", "location.href = '/test.jp/jp/show;s=1/bid_preview';"},
        {"the bid API's preview call", "window.road = fetch('/test.jp/api/bid/v1/items/x1/bid/preview?price=100');",
         false, "/bid/preview"},
    };
    const auto reached = [&](const QString& road) {
        return std::count_if(server.Requests().begin(), server.Requests().end(),
                             [&](const THttpRequest& r) { return r.Target.contains(road.toLatin1()); });
    };
    Create("2,1,0\r\n");
    int fence = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto previews = [&] { return reached(row.road); };
        for (int flag : {1, 0}) {
            SCOPED_TRACE(flag);
            form->BidRestraintFlag = flag;
            Open(base + "/item");
            const int entries = Page()->history()->count();
            const auto before = previews();
            QSignalSpy refused(browser, &TWebEngineBrowser::NavigationRefused);
            RunScript(row.script);
            if (flag == 0) {
                EXPECT_TRUE(QTest::qWaitFor([&] { return previews() > before; }, kTimeout));
                EXPECT_TRUE(refused.isEmpty());
                continue;
            }
            ASSERT_TRUE(QTest::qWaitFor([&] { return !refused.isEmpty(); }, kTimeout));
            EXPECT_TRUE(refused.first().first().toString().contains(row.road));
            // A request made after the road's own (and its script) has reached
            // the server.
            const QByteArray path = "/test.jp/fence" + QByteArray::number(++fence);
            RunScript("Promise.resolve(window.road).catch(() => 0).then(() => fetch('" + path + "'))");
            ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor(path).isEmpty(); }, kTimeout));
            if (!row.followedBeforeAsking) {
                EXPECT_EQ(previews(), before);
            }
            auto text = std::make_shared<QString>();
            Page()->toPlainText([text](const QString& t) { *text = t; });
            ASSERT_TRUE(QTest::qWaitFor([&] { return !text->isEmpty(); }, kTimeout));
            EXPECT_TRUE(text->startsWith("item")) << text->toStdString();
            EXPECT_EQ(form->Edit3->text(), base + "/item");
            EXPECT_EQ(Page()->url().toString(), base + "/item");
            EXPECT_EQ(Page()->history()->count(), entries);
        }
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// The address box shows the page's address after every completed
// navigation, also when the address stays the same.
TEST_F(ShellEndToEnd, AddressBoxFollowsReloadsRepeatsAndFrames)
{
    Create("2,1,0\r\n");
    Open(base + "/item");
    for (const char* script : {"location.reload()", "location.href = location.href",
                               "const f = document.createElement('iframe'); f.src = '/test.jp/f'; "
                               "document.body.append(f);"}) {
        SCOPED_TRACE(script);
        form->Edit3->setText("typed");
        RunScript(script);
        EXPECT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == base + "/item"; }, kTimeout));
    }
}

TEST_F(ShellEndToEnd, BackAndForwardFollowTheEngineHistory)
{
    Create("2,1,0\r\n");
    EXPECT_FALSE(form->ToolButton1->isEnabled());
    Open(base + "/a");
    // Refused: there is no earlier page.
    RunGuarded(reporter, [&] { form->ToolButton1Click(); });
    EXPECT_EQ(reporter.Errors, QStringList{"エラーを特定できません"});
    Open(base + "/b");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->ToolButton1->isEnabled(); }, kTimeout));
    EXPECT_FALSE(form->ToolButton2->isEnabled());
    form->ToolButton1->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == base + "/a"; }, kTimeout));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->ToolButton2->isEnabled() && !form->ToolButton1->isEnabled(); }, kTimeout));
    form->ToolButton2->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Edit3->text() == base + "/b"; }, kTimeout));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return form->ToolButton1->isEnabled() && !form->ToolButton2->isEnabled(); }, kTimeout));
}

TEST_F(ShellEndToEnd, LoginRequestCarriesTheIdAndTheDecryptedPassword)
{
    // Each page shows a picture, which the engine asks for as soon as it
    // reads the page.
    const QByteArray path = "/test.jp/login/config/login";
    for (const QByteArray& page : {path, QByteArray("/test.jp/next")})
        server.Route(page,
                     [page](const THttpRequest&) { return THttpResponse::Html("<img src='" + page + "/pixel'>"); });
    Create("1,1,0\r\n", "taro," + EncryptPasswordText("s3cret-pw") + "\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor(path).isEmpty(); }, kTimeout));
    EXPECT_EQ(server.RequestsFor(path)[0].Query, ".src=auc&.done=" + base.toUtf8() + "/jp&login=taro&passwd=s3cret-pw");
    // Once answered, the page's own address drops the password, so the next
    // page's Referer and document.referrer hold none; what the login page
    // itself asks for goes with the site alone as Referer, what the next
    // page asks for with its address as usual.
    const QString answered = base + "/login/config/login?.src=auc&.done=" + base + "/jp&login=taro";
    ASSERT_TRUE(QTest::qWaitFor([&] { return Page()->url().toString() == answered && !loading; }, kTimeout))
        << Page()->url().toString().toStdString();
    // The address was replaced, not followed by a new entry: no entry holds
    // the password, and Back cannot return to it.
    for (const QWebEngineHistoryItem& item : Page()->history()->items())
        EXPECT_FALSE(item.url().toString().contains("passwd")) << item.url().toString().toStdString();
    RunScript("location.href = '/test.jp/next'");
    const struct {
        QByteArray path;
        QString referer;
    } rows[] = {
        {path + "/pixel", server.Base() + "/"},
        {"/test.jp/next", answered},
        {"/test.jp/next/pixel", base + "/next"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor(row.path).isEmpty(); }, kTimeout))
            << row.path.data();
        EXPECT_EQ(server.RequestsFor(row.path)[0].Header("Referer").toStdString(), row.referer.toStdString())
            << row.path.data();
    }
}

TEST_F(ShellEndToEnd, FavoriteDoubleClickOpensItsAddress)
{
    Create("2,1,0\r\n");
    form->TreeView1->topLevelItem(0)->child(0)->setSelected(true);
    form->TreeView1DblClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/fav").isEmpty(); }, kTimeout));
}

TEST_F(ShellEndToEnd, MainWindowPicture)
{
    // The bundled home page (offline, with its pictures), the favorites
    // tree and the toolbars.
    dir.Write("search.ini", cp932::FromUtf8("カメラ,http://s/1\r\nレンズ,http://s/2\r\n").value());
    dir.Write("username.ini", "seller,http://u/1\r\n");
    dir.Write("login.ini", "taro,\r\njiro,\r\n,\r\n");
    dir.Write("option.ini", "0,1,0\r\n");
    std::unique_ptr<TWebEngineBrowser> owned = TWebEngineBrowser::CreateOffTheRecord();
    browser = owned.get();
    QSignalSpy loaded(Page(), &QWebEnginePage::loadFinished);
    TEndpoints endpoints = TEndpoints::Defaults();
    form = std::make_unique<TForm1>(endpoints, std::move(owned), reporter, dir.path());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_TRUE(loaded.wait(kTimeout) || !loaded.isEmpty());
    EXPECT_TRUE(loaded.first().first().toBool());
    EXPECT_EQ(form->Edit3->text(), "qrc:/lotscope/home.html");

    // The guide's pictures are the window's icons, bundled with the page,
    // and its links are the addresses of the window's page commands.
    QVariantMap page;
    Page()->runJavaScript("({ broken: [...document.images].filter(i => !i.naturalWidth).length,"
                          "   icons: new Set([...document.images].map(i => i.src)).size,"
                          "   links: [...new Set([...document.links].map(a => a.href))].sort() })",
                          [&](const QVariant& result) { page = result.toMap(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.isEmpty(); }, kTimeout));
    EXPECT_EQ(page["broken"].toInt(), 0);
    EXPECT_EQ(page["icons"].toInt(), 15);
    QStringList commands;
    for (TPageCommand c : {TPageCommand::AuctionTop, TPageCommand::MyStatus, TPageCommand::WatchOpen,
                           TPageCommand::WatchEnded, TPageCommand::Selling, TPageCommand::Bidding})
        commands << QString::fromStdString(PageAddress(endpoints, c));
    commands.sort();
    EXPECT_EQ(page["links"].toStringList().join(' ').toStdString(), commands.join(' ').toStdString());

    form->TreeView1->topLevelItem(0)->setExpanded(true);
    // Give the compositor its first frame of the page.
    (void)QTest::qWaitFor(
        [&] {
            const QImage shot = browser->Widget()->grab().toImage();
            return shot.pixelColor(shot.width() / 2, 60) != shot.pixelColor(2, 2) ||
                   shot.pixelColor(30, 30) != QColor(Qt::white);
        },
        5000);
    const QString dirPath = QStringLiteral(LOTSCOPE_ARTIFACT_DIR);
    QDir().mkpath(dirPath);
    const QImage picture = form->grab().toImage();
    EXPECT_EQ(picture.size(), QSize(771, 609) * picture.devicePixelRatio());
    ASSERT_TRUE(picture.save(dirPath + "/main_window.png"));
}

}  // namespace
