// The questions pages ask, answered by the program: downloads, a script's
// alert, a site's login, a link to another program, the warning before the
// window closes. The real engine, offscreen, against a server on 127.0.0.1;
// HOME and the XDG folders point into a temporary folder.
#include "LocalHttpServer.h"
#include "RecordingReporter.h"
#include "shell/Unit1.h"
#include "shell/browser/DownloadSaver.h"
#include "shell/browser/WebEngineBrowser.h"
#include "support/TestFiles.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int kTimeout = 20000;

// Records the addresses handed to another program.
class TOtherPrograms : public QObject {
    Q_OBJECT
public:
    QStringList Opened;
public slots:
    void Open(const QUrl& url) { Opened << url.toString(); }
};

QByteArray Page(const QByteArray& body)
{
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><style>a{position:absolute;left:0;width:300px;"
           "height:60px;display:block}</style></head><body>" +
           body + "</body></html>";
}

THttpResponse Attachment(const QByteArray& name, const QByteArray& body)
{
    THttpResponse r;
    r.Headers = {{"Content-Type", "application/octet-stream"},
                 {"Content-Disposition", "attachment; filename=\"" + name + "\""}};
    r.Body = body;
    return r;
}

// Files below folder (names relative to it), the session locks left out.
QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).fileName() != QLatin1String(".lock"))
            files << QDir(folder).relativeFilePath(path);
    }
    return files;
}

class PageQuestionsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
            saved.append({name, qgetenv(name)});
        const QByteArray home = QByteArray::fromStdString(homeDir.path().string());
        QDir().mkpath(QString::fromUtf8(home));
        qputenv("HOME", home);
        qputenv("XDG_CACHE_HOME", home + "/.cache");
        qputenv("XDG_CONFIG_HOME", home + "/.config");
        downloads = QString::fromUtf8(home) + "/Downloads";
        temporaryRoot = QString::fromUtf8(home) + "/.cache/lotscope/downloads";

        server.Route("/test.jp/evil", [](const THttpRequest&) {
            return Attachment("../.config/autostart/evil.desktop", "[Desktop Entry]\n");
        });
        server.Route("/test.jp/second", [](const THttpRequest&) { return Attachment("login.ini", "<html>"); });
        server.Route("/test.jp/auth", [](const THttpRequest& r) {
            if (!r.Header("Authorization").isEmpty())
                return THttpResponse::Html(Page("<p>ok</p>"));
            THttpResponse denied = THttpResponse::Html("no");
            denied.Status = 401;
            denied.Headers.append(qMakePair(QByteArray("WWW-Authenticate"), QByteArray("Basic realm=\"shop\"")));
            return denied;
        });
        server.Route("/test.jp/links", [](const THttpRequest&) {
            return THttpResponse::Html(Page("<a href='mailto:a@example.jp' style='top:0'>m</a>"
                                            "<a href='line://msg/text/x' style='top:100px'>l</a>"));
        });
        server.Route("/test.jp/unload", [](const THttpRequest&) {
            return THttpResponse::Html(
                Page("<textarea>unsent</textarea><script>onbeforeunload = e => { e.preventDefault(); "
                     "e.returnValue = ''; }; let clicks = 0; onclick = () => document.title = 'clicks ' + ++clicks;"
                     "</script>"));
        });
        server.Fallback([](const THttpRequest& r) { return THttpResponse::Html(Page("<p>" + r.Path + "</p>")); });
        ASSERT_TRUE(server.Start());
        base = server.Base() + "/test.jp";
        for (const char* name : {"search.ini", "username.ini", "exhibit.ini"})
            dir.Write(name, "");
        dir.Write("login.ini", "taro,\r\n");
        dir.Write("option.ini", "2,1,0\r\n");
        browser = TWebEngineBrowser::CreateOffTheRecord();
        const std::string b = base.toStdString();
        form = std::make_unique<TForm1>(TEndpoints{b + "/home", b, b, b, b, b, b, b + "/login"}, browser, reporter,
                                        dir.path());
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void TearDown() override
    {
        form.reset();
        for (const auto& [name, value] : saved)
            qputenv(name, value);
    }

    QWebEngineView* View() const { return static_cast<QWebEngineView*>(browser->Widget()); }

    void Open(const QString& address)
    {
        bool loaded = false;
        const auto c = QObject::connect(View()->page(), &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
        View()->page()->load(QUrl(address));
        ASSERT_TRUE(QTest::qWaitFor([&] { return loaded; }, kTimeout)) << address.toStdString();
        QObject::disconnect(c);
    }

    void ClickPageAt(int x, int y)
    {
        QTest::mouseClick(View()->focusProxy(), Qt::LeftButton, {}, QPoint(x, y));
    }

    // Clicks the page at x, y until done (the first input may come before
    // the page takes any).
    void ClickUntil(int x, int y, const std::function<bool()>& done)
    {
        bool seen = false;
        for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
            ClickPageAt(x, y);
            seen = QTest::qWaitFor(done, 1000);
        }
        ASSERT_TRUE(seen);
    }

    // Makes the page see a click of the user's.
    void UsePage()
    {
        const QString before = View()->page()->title();
        ClickUntil(200, 200, [&] { return View()->page()->title() != before; });
    }

    // Acts on the first visible window of type T that pick accepts, as soon
    // as it shows, from inside whatever event loop runs then (a modal
    // dialog runs its own).
    template <class T>
    void WhenShown(std::function<bool(T*)> pick, std::function<void(T*)> act)
    {
        answered = false;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, pick, act] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                T* window = qobject_cast<T*>(w);
                if (window && window->isVisible() && pick(window)) {
                    poll->stop();
                    poll->deleteLater();
                    act(window);
                    answered = true;
                    return;
                }
            }
        });
        poll->start(20);
    }

    // Clicks the message box's button with text, once a box whose text
    // holds question shows.
    void AnswerBox(const QString& question, const QString& button, QString* title = nullptr)
    {
        WhenShown<QMessageBox>([question](QMessageBox* b) { return b->text().contains(question); },
                               [button, title](QMessageBox* b) {
                                   if (title)
                                       *title = b->windowTitle();
                                   for (QAbstractButton* candidate : b->buttons())
                                       if (candidate->text() == button)
                                           candidate->click();
                               });
    }

    QFileDialog* SaveDialog() const
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "SaveDialog" && w->isVisible())
                return static_cast<QFileDialog*>(w);
        return nullptr;
    }
    int SaveDialogs() const
    {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += w->objectName() == "SaveDialog" && w->isVisible();
        return n;
    }

    testfiles::TTempDir dir;
    testfiles::TTempDir homeDir;
    QList<QPair<const char*, QByteArray>> saved;
    QString downloads;
    QString temporaryRoot;
    TLocalHttpServer server;
    QString base;
    TRecordingReporter reporter;
    TWebEngineBrowser* browser = nullptr;
    std::unique_ptr<TForm1> form;
    bool answered = false;
};

TEST_F(PageQuestionsEndToEnd, EveryQuestionIsAnsweredByTheProgram)
{
    struct Row {
        const char* name;
        std::function<void()> step;
    };
    const std::string loginBefore = dir.Read("login.ini");
    const Row rows[] = {
        {"a hostile suggested name is offered in the download folder under its base name",
         [&] {
             Open(base + "/start");
             View()->page()->runJavaScript("location.href = '/test.jp/evil'");
             ASSERT_TRUE(QTest::qWaitFor([&] { return SaveDialog() != nullptr; }, kTimeout));
             EXPECT_EQ(SaveDialog()->directory().absolutePath(), downloads);
             EXPECT_EQ(SaveDialog()->selectedFiles(), QStringList{downloads + "/evil.desktop"});
         }},
        {"the page's requests go on while the save question is open",
         [&] {
             View()->page()->runJavaScript("fetch('/test.jp/ping')");
             EXPECT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/ping").isEmpty(); }, kTimeout));
         }},
        {"a second download waits for the first question",
         [&] {
             View()->page()->runJavaScript("location.href = '/test.jp/second'");
             ASSERT_TRUE(QTest::qWaitFor([&] { return FilesBelow(temporaryRoot).size() == 2; }, kTimeout))
                 << FilesBelow(temporaryRoot).join("|").toStdString();
             EXPECT_EQ(SaveDialogs(), 1);
         }},
        {"a later start removes what a killed download left, and only that",
         [&] {
             const QString killed = temporaryRoot + "/00000000deadbeef";
             QDir().mkpath(killed);
             QFile(killed + "/.lock").open(QIODevice::WriteOnly);
             QFile part(killed + "/1.download");
             ASSERT_TRUE(part.open(QIODevice::WriteOnly));
             part.close();
             QFile foreign(temporaryRoot + "/notes.txt");
             ASSERT_TRUE(foreign.open(QIODevice::WriteOnly));
             foreign.close();
             const QStringList running = FilesBelow(temporaryRoot);
             QWebEngineProfile profile;
             TDownloadSaver later(&profile);
             EXPECT_FALSE(QFileInfo::exists(killed));
             QStringList kept = running;
             kept.removeAll("00000000deadbeef/1.download");
             EXPECT_EQ(FilesBelow(temporaryRoot), kept);
             QFile::remove(temporaryRoot + "/notes.txt");
         }},
        {"saved under the base name, nothing written outside the download folder",
         [&] {
             static_cast<QDialog*>(SaveDialog())->accept();
             ASSERT_TRUE(QTest::qWaitFor([&] { return !reporter.Messages.isEmpty(); }, kTimeout));
             EXPECT_EQ(reporter.Messages, QStringList{"「" + downloads + "/evil.desktop」に保存しました"});
             QFile saved(downloads + "/evil.desktop");
             ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
             EXPECT_EQ(saved.readAll(), "[Desktop Entry]\n");
             EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/.config/autostart"));
         }},
        {"the data files are refused as targets",
         [&] {
             reporter.Messages.clear();
             ASSERT_TRUE(QTest::qWaitFor([&] { return SaveDialog() != nullptr; }, kTimeout));
             EXPECT_EQ(SaveDialog()->selectedFiles(), QStringList{downloads + "/login.ini"});
             SaveDialog()->selectFile(QString::fromStdString((dir.path() / "login.ini").string()));
             static_cast<QDialog*>(SaveDialog())->accept();
             EXPECT_EQ(reporter.Messages, QStringList{QString::fromUtf8(kDataFolderTargetMessage)});
             ASSERT_NE(SaveDialog(), nullptr);
             SaveDialog()->reject();
             EXPECT_TRUE(QTest::qWaitFor([&] { return FilesBelow(temporaryRoot).isEmpty(); }, kTimeout))
                 << FilesBelow(temporaryRoot).join("|").toStdString();
             EXPECT_EQ(dir.Read("login.ini"), loginBefore);
         }},
        {"an alert's title is the host only",
         [&] {
             Open(base + "/login/config/login?login=taro&passwd=Secret123");
             QString title;
             AnswerBox("こんにちは", "OK", &title);
             View()->page()->runJavaScript("alert('こんにちは')");
             ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, kTimeout));
             EXPECT_EQ(title, "127.0.0.1");
         }},
        {"a site's login asked once gives one request with the credentials",
         [&] {
             WhenShown<QDialog>([](QDialog* d) { return d->windowTitle() == "認証が必要です"; },
                                [](QDialog* d) {
                                    d->findChild<QLineEdit*>("user")->setText("taro");
                                    d->findChild<QLineEdit*>("password")->setText("pass");
                                    d->accept();
                                });
             Open(base + "/auth");
             EXPECT_TRUE(answered);
             QByteArrayList headers;
             for (const THttpRequest& r : server.RequestsFor("/test.jp/auth"))
                 headers << r.Header("Authorization");
             EXPECT_EQ(headers, (QByteArrayList{"", "Basic " + QByteArray("taro:pass").toBase64()}));
         }},
        {"another program's link starts nothing without a yes",
         [&] {
             TOtherPrograms programs;
             QDesktopServices::setUrlHandler("mailto", &programs, "Open");
             QDesktopServices::setUrlHandler("line", &programs, "Open");
             Open(base + "/links");
             AnswerBox("mailto: のリンクを外部アプリケーションで開きますか？", "いいえ");
             ClickUntil(50, 30, [&] { return answered; });
             AnswerBox("line: のリンクを外部アプリケーションで開きますか？", "はい");
             ClickUntil(50, 130, [&] { return !programs.Opened.isEmpty(); });
             EXPECT_EQ(programs.Opened, QStringList{"line://msg/text/x"});
             QDesktopServices::unsetUrlHandler("mailto");
             QDesktopServices::unsetUrlHandler("line");
         }},
        {"closing asks the page; no keeps the window, yes closes it",
         [&] {
             Open(base + "/unload");
             UsePage();  // a page may warn only once the user has used it
             AnswerBox("このページを離れますか？", "このページにとどまる");
             form->close();
             ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, kTimeout));
             QCoreApplication::processEvents();
             EXPECT_TRUE(form->isVisible());
             UsePage();
             AnswerBox("このページを離れますか？", "離れる");
             form->close();
             EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, kTimeout));
             EXPECT_TRUE(answered);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        row.step();
        if (HasFatalFailure())
            return;
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

}  // namespace

#include "PageQuestionsEndToEndTest.moc"
