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

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDirIterator>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

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

THttpResponse Page(const QByteArray& body)
{
    return THttpResponse::Html("<!DOCTYPE html><meta charset='utf-8'><style>a{position:absolute;left:0;width:300px;"
                               "height:60px;display:block}</style>" +
                               body);
}

THttpResponse Attachment(const QByteArray& name, const QByteArray& body)
{
    return {200, {{"Content-Disposition", "attachment; filename=\"" + name + "\""}}, body};
}

// Files below folder, relative to it, the running copies' locks left out.
QStringList FilesBelow(const QString& folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        if (const QString path = it.next(); !path.endsWith("/.lock"))
            files << QDir(folder).relativeFilePath(path);
    files.sort();
    return files;
}

class PageQuestionsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray home = QByteArray::fromStdString(homeDir.path().string());
        for (const auto& [name, value] :
             {std::pair{"HOME", home}, {"XDG_CACHE_HOME", home + "/.cache"}, {"XDG_CONFIG_HOME", home + "/.config"}}) {
            saved.append({name, qgetenv(name)});
            qputenv(name, value);
        }
        downloads = QString::fromUtf8(home) + "/Downloads";
        privateRoot = QString::fromUtf8(home) + "/.cache/lotscope/downloads";
        server.Route("/test.jp/evil", [](auto&) { return Attachment("../.config/autostart/evil.desktop", "[x]"); });
        server.Route("/test.jp/second", [](auto&) { return Attachment("login.ini", "<html>"); });
        for (const QByteArray path : {"/test.jp/auth", "/cancelled/auth"})
            server.Route(path, [](const THttpRequest& r) {
                if (!r.Header("Authorization").isEmpty())
                    return Page("ok");
                return THttpResponse{401, {{"WWW-Authenticate", "Basic realm=\"shop\""}}, "no"};
            });
        // Downloads q1 to q5.
        server.Fallback([](const THttpRequest& r) {
            return r.Path.startsWith("/test.jp/q") ? Attachment(r.Path.mid(9) + ".csv", "x") : Page(r.Path);
        });
        server.Route("/test.jp/links", [](auto&) {
            return Page("<a href='mailto:a@example.jp' style='top:0'>m</a><a href='line://x' style='top:100px'>l</a>");
        });
        server.Route("/test.jp/unload", [](auto&) {
            return Page(
                "<textarea></textarea><script>onbeforeunload = e => { e.preventDefault(); e.returnValue = ''; };"
                "let clicks = 0; onclick = () => document.title = 'clicks ' + ++clicks;</script>");
        });
        ASSERT_TRUE(server.Start());
        base = server.Base() + "/test.jp";
        for (const char* name : {"search.ini", "username.ini", "exhibit.ini", "login.ini"})
            dir.Write(name, "");
        dir.Write("option.ini", "2,1,0\r\n");
        std::unique_ptr<TWebEngineBrowser> owned = TWebEngineBrowser::CreateOffTheRecord();
        browser = owned.get();
        const std::string b = base.toStdString();
        form = std::make_unique<TForm1>(TEndpoints{b, b, b, b, b, b, b, b + "/login"}, std::move(owned), reporter,
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

    // Clicks the page at x, y until done (the first input may come before
    // the page takes any).
    void ClickUntil(int x, int y, const std::function<bool()>& done)
    {
        bool seen = false;
        for (int attempt = 0; attempt < 20 && !seen; ++attempt) {
            QTest::mouseClick(View()->focusProxy(), Qt::LeftButton, {}, QPoint(x, y));
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
    // dialog runs its own); sets answered.
    template <class T>
    void WhenShown(std::function<bool(T*)> pick, std::function<void(T*)> act)
    {
        answered = false;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [this, poll, pick, act] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (T* window = qobject_cast<T*>(w); window && window->isVisible() && pick(window)) {
                    poll->deleteLater();
                    poll->stop();
                    act(window);
                    answered = true;
                    return;
                }
        });
        poll->start(20);
    }

    // Clicks button of the message box whose text holds question; its
    // title goes to title.
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

    QList<QFileDialog*> SaveDialogs() const
    {
        QList<QFileDialog*> dialogs;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "SaveDialog" && w->isVisible())
                dialogs << static_cast<QFileDialog*>(w);
        return dialogs;
    }
    QFileDialog* SaveDialog() const { return SaveDialogs().value(0); }

    testfiles::TTempDir dir, homeDir;
    QList<QPair<const char*, QByteArray>> saved;
    QString downloads, privateRoot, base;
    TLocalHttpServer server;
    TRecordingReporter reporter;
    TWebEngineBrowser* browser = nullptr;
    std::unique_ptr<TForm1> form;
    bool answered = false;
};

TEST_F(PageQuestionsEndToEnd, EveryQuestionIsAnsweredByTheProgram)
{
    const QString killed = privateRoot + "/00000000deadbeef";
    const std::pair<const char*, std::function<void()>> rows[] = {
        {"a hostile suggested name is offered in the download folder under its base name",
         [&] {
             Open(base + "/start");
             View()->page()->runJavaScript("location.href = '/test.jp/evil'");
             ASSERT_TRUE(QTest::qWaitFor([&] { return SaveDialog(); }, kTimeout));
             EXPECT_EQ(SaveDialog()->selectedFiles(), QStringList{downloads + "/evil.desktop"});
         }},
        {"the page's requests go on while the save question is open",
         [&] {
             View()->page()->runJavaScript("fetch('/test.jp/ping')");
             EXPECT_TRUE(QTest::qWaitFor([&] { return !server.RequestsFor("/test.jp/ping").isEmpty(); }, kTimeout));
         }},
        {"a second download runs but waits for its question",
         [&] {
             View()->page()->runJavaScript("location.href = '/test.jp/second'");
             EXPECT_TRUE(QTest::qWaitFor([&] { return FilesBelow(privateRoot).size() == 2; }, kTimeout));
             EXPECT_EQ(SaveDialogs().size(), 1);
         }},
        {"a later start removes what a killed download left, and only that",
         [&] {
             const QStringList running = FilesBelow(privateRoot);
             QDir().mkpath(killed);
             QDir().mkpath(privateRoot + "/other");  // not named as the program names its folders
             for (const QString& file : {killed + "/.lock", killed + "/1.download", privateRoot + "/notes",
                                         privateRoot + "/other/.lock", privateRoot + "/other/1.download"})
                 QFile(file).open(QIODevice::WriteOnly);
             QWebEngineProfile profile;
             TDownloadSaver later(&profile);
             QStringList kept = running + QStringList{"notes", "other/1.download"};
             kept.sort();
             EXPECT_EQ(FilesBelow(privateRoot), kept);
             EXPECT_FALSE(QFileInfo::exists(killed));
             QFile::remove(privateRoot + "/notes");
             QDir(privateRoot + "/other").removeRecursively();
         }},
        {"saved under the base name, nothing written outside the download folder",
         [&] {
             static_cast<QDialog*>(SaveDialog())->accept();
             ASSERT_TRUE(QTest::qWaitFor([&] { return !reporter.Messages.isEmpty(); }, kTimeout));
             EXPECT_EQ(reporter.Messages, QStringList{"「" + downloads + "/evil.desktop」に保存しました"});
             QFile saved(downloads + "/evil.desktop");
             EXPECT_TRUE(saved.open(QIODevice::ReadOnly) && saved.readAll() == "[x]");
             EXPECT_FALSE(QFileInfo::exists(QDir::homePath() + "/.config/autostart"));
         }},
        {"the data files are refused as targets",
         [&] {
             reporter.Messages.clear();
             ASSERT_TRUE(QTest::qWaitFor([&] { return SaveDialog(); }, kTimeout));
             SaveDialog()->selectFile(QString::fromStdString((dir.path() / "login.ini").string()));
             static_cast<QDialog*>(SaveDialog())->accept();
             EXPECT_EQ(reporter.Messages, QStringList{QString::fromUtf8(kDataFolderTargetMessage)});
             ASSERT_TRUE(SaveDialog());
             SaveDialog()->reject();
             EXPECT_TRUE(QTest::qWaitFor([&] { return FilesBelow(privateRoot).isEmpty(); }, kTimeout));
             EXPECT_EQ(dir.Read("login.ini"), "");
         }},
        {"one question open, three waiting, the fifth refused; cancelled ones leave nothing",
         [&] {
             QList<QPointer<QWebEngineDownloadRequest>> started;
             const auto c = QObject::connect(View()->page()->profile(), &QWebEngineProfile::downloadRequested,
                                             [&](QWebEngineDownloadRequest* d) { started << d; });
             QStringList status;
             const auto s = QObject::connect(browser, &THostedBrowser::StatusTextChange,
                                             [&](const QString& text) { status << text; });
             const QString frames = "for (const q of %1) document.body.insertAdjacentHTML('beforeend', "
                                    "`<iframe src='/test.jp/${q}'></iframe>`)";
             View()->page()->runJavaScript(frames.arg("['q1', 'q2', 'q3', 'q4']"));
             const auto ended = [&](int n) {
                 return started.size() == 4 && std::count_if(started.begin(), started.end(),
                                                             [](auto d) { return !d || d->isFinished(); }) == n;
             };
             ASSERT_TRUE(QTest::qWaitFor([&] { return ended(4) && SaveDialog(); }, kTimeout)) << [&] {
                 std::string states;
                 for (const auto& d : started)
                     states += d ? d->url().toString().toStdString() + std::to_string(d->state()) + " " : "gone ";
                 return states;
             }();
             EXPECT_EQ(FilesBelow(privateRoot).size(), 4);
             View()->page()->runJavaScript(frames.arg("['q5']"));
             EXPECT_TRUE(QTest::qWaitFor(
                 [&] {
                     return status.contains("保存の確認を待つダウンロードが多すぎるため、q5.csv を保存しませんでした");
                 },
                 kTimeout))
                 << status.join("|").toStdString();
             for (int question = 0; question < 4; ++question) {
                 ASSERT_TRUE(QTest::qWaitFor([&] { return SaveDialog(); }, kTimeout)) << question;
                 SaveDialog()->reject();
             }
             EXPECT_TRUE(QTest::qWaitFor([&] { return FilesBelow(privateRoot).isEmpty(); }, kTimeout))
                 << FilesBelow(privateRoot).join("|").toStdString();
             EXPECT_FALSE(SaveDialog());
             QObject::disconnect(c);
             QObject::disconnect(s);
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
        {"a script's text shows 2,000 characters whole, 2,001 cut",
         [&] {
             for (const int length : {2000, 2001}) {
                 QString text;
                 WhenShown<QMessageBox>([](QMessageBox* b) { return b->text().startsWith("xxx"); },
                                        [&text](QMessageBox* b) {
                                            text = b->text();
                                            b->buttons().first()->click();
                                        });
                 View()->page()->runJavaScript(QString("alert('x'.repeat(%1))").arg(length));
                 ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, kTimeout)) << length;
                 EXPECT_EQ(text, length == 2000 ? QString(2000, 'x') : QString(2000, 'x') + "…") << length;
             }
         }},
        {"a cancelled site login sends no credentials",
         [&] {
             int asked = 0;
             QTimer cancel;
             QObject::connect(&cancel, &QTimer::timeout, [&] {
                 for (QWidget* w : QApplication::topLevelWidgets())
                     if (auto* d = qobject_cast<QDialog*>(w);
                         d && d->isVisible() && d->windowTitle() == "認証が必要です") {
                         ++asked;
                         d->reject();
                     }
             });
             cancel.start(20);
             QSignalSpy finished(View()->page(), &QWebEnginePage::loadFinished);
             View()->page()->load(QUrl(server.Base() + "/cancelled/auth"));
             ASSERT_TRUE(QTest::qWaitFor([&] { return !finished.isEmpty(); }, kTimeout));
             QByteArrayList headers;
             for (const THttpRequest& r : server.RequestsFor("/cancelled/auth"))
                 headers << r.Header("Authorization");
             EXPECT_EQ(headers, QByteArrayList{""});
             EXPECT_EQ(asked, 1);
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
             QByteArrayList headers;
             for (const THttpRequest& r : server.RequestsFor("/test.jp/auth"))
                 headers << r.Header("Authorization");
             EXPECT_EQ(headers, (QByteArrayList{"", "Basic " + QByteArray("taro:pass").toBase64()}));
         }},
        {"another program's link starts nothing without a yes",
         [&] {
             TOtherPrograms programs;
             for (const char* scheme : {"mailto", "line"})
                 QDesktopServices::setUrlHandler(scheme, &programs, "Open");
             Open(base + "/links");
             AnswerBox("mailto: のリンクを外部アプリケーションで開きますか？", "いいえ");
             ClickUntil(50, 30, [&] { return answered; });
             AnswerBox("line: のリンクを外部アプリケーションで開きますか？", "はい");
             ClickUntil(50, 130, [&] { return !programs.Opened.isEmpty(); });
             EXPECT_EQ(programs.Opened, QStringList{"line://x"});
             for (const char* scheme : {"mailto", "line"})
                 QDesktopServices::unsetUrlHandler(scheme);
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
    for (const auto& [name, step] : rows) {
        SCOPED_TRACE(name);
        step();
        if (HasFatalFailure())
            return;
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

}  // namespace

#include "PageQuestionsEndToEndTest.moc"
