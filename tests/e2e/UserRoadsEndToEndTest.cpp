// The program's two everyday roads and the bid self-restraint mode, end to
// end: the five windows as main creates them, the real browser engine
// (off the record) and a small auction site on 127.0.0.1. The tests type
// into the real controls and press the real buttons; clicks inside a page
// go through the page's own script.
#include "AuctionSite.h"
#include "RecordingReporter.h"
#include "accounts/StoredPassword.h"
#include "accounts/Unit2.h"
#include "app/LotscopeWindows.h"
#include "favorites/Unit3.h"
#include "favorites/Unit4.h"
#include "options/Unit5.h"
#include "shell/Unit1.h"
#include "shell/browser/WebEngineBrowser.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iconv.h>
#include <set>

namespace {

constexpr int kTimeout = 20000;

// ---- Independent oracles: glibc iconv, not the program's converter ----

std::string Iconv(const char* to, const std::string& utf8)
{
    iconv_t cd = ::iconv_open(to, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return "<iconv_open failed>";
    std::string in = utf8;
    std::string out(in.size() * 4 + 16, '\0');
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    const size_t r = ::iconv(cd, &inp, &inLeft, &outp, &outLeft);
    ::iconv_close(cd);
    if (r == static_cast<size_t>(-1))
        return "<iconv failed>";
    out.resize(out.size() - outLeft);
    return out;
}

// The auction search's query value: bytes of 0x80 and above as %xx in
// lower case, a blank as "+", ASCII as it is.
std::string QueryEscaped(const std::string& bytes)
{
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x80) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += c == ' ' ? '+' : static_cast<char>(c);
        }
    }
    return out;
}

// Types text into a widget as a user would: ASCII as key presses, anything
// else as the input method's committed text (how kana and kanji arrive).
void Type(QWidget* widget, const QString& text)
{
    QString pending;
    const auto commit = [&] {
        if (pending.isEmpty())
            return;
        QInputMethodEvent event;
        event.setCommitString(pending);
        QCoreApplication::sendEvent(widget, &event);
        pending.clear();
    };
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            commit();
            QTest::keyClicks(widget, QString(c));
        } else {
            pending += c;
        }
    }
    commit();
}

// Selects all of an edit's text and types over it.
void TypeOver(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    Type(edit, text);
}

class UserRoadsEndToEnd : public ::testing::Test {
protected:
    // The engine's visited-link table under root: a 24-byte header ("VLnk",
    // version, table length, entries used, 8 bytes of salt), then the table
    // of 64-bit fingerprints, each the first 8 bytes of MD5(salt + address).
    std::set<quint64> VisitedLinkFingerprints(const std::filesystem::path& root)
    {
        std::set<quint64> fingerprints;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.path().filename() != "Visited Links")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            EXPECT_TRUE(bytes.starts_with("VLnk"));
            salt = bytes.substr(16, 8);
            for (std::size_t at = 24; at + 8 <= bytes.size(); at += 8) {
                quint64 fingerprint = 0;
                std::memcpy(&fingerprint, bytes.data() + at, 8);
                if (fingerprint != 0)
                    fingerprints.insert(fingerprint);
            }
        }
        return fingerprints;
    }
    quint64 Fingerprint(const std::string& address) const
    {
        const QByteArray digest =
            QCryptographicHash::hash(QByteArray::fromStdString(salt + address), QCryptographicHash::Md5);
        quint64 fingerprint = 0;
        std::memcpy(&fingerprint, digest.constData(), 8);
        return fingerprint;
    }
    std::string salt;

    void SetUp() override
    {
        ASSERT_TRUE(site.Start());
        base = site.Base();
    }

    void WriteDataFiles(const std::string& options, const std::string& login = ",\r\n,\r\n,\r\n")
    {
        dir.Write("search.ini", "old term,http://example.jp/old\r\n");
        dir.Write("username.ini", "");
        dir.Write("exhibit.ini", "");
        dir.Write("login.ini", login);
        dir.Write("option.ini", options);
    }

    // Creates the five windows on the data directory, as main does, and
    // shows the main window.
    void Start()
    {
        std::unique_ptr<TWebEngineBrowser> owned = TWebEngineBrowser::CreateOffTheRecord();
        browser = owned.get();
        windows = CreateWindows(site.Endpoints(), std::move(owned), reporter, dir.path());
        form = windows.Form1.get();
        form2 = static_cast<TForm2*>(windows.Form2());
        form3 = static_cast<TForm3*>(windows.Form3());
        form4 = static_cast<TForm4*>(windows.Form4());
        form5 = static_cast<TForm5*>(windows.Form5());
        QObject::connect(Page(), &QWebEnginePage::urlChanged,
                         [this](const QUrl& url) { committed.append(url.toString(QUrl::FullyEncoded)); });
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    }

    // Program end: the windows go, dialogs first, the engine with the main
    // window. Nothing is written.
    void Stop()
    {
        windows = TLotscopeWindows{};
        form = nullptr;
        browser = nullptr;
    }

    QWebEnginePage* Page() const { return static_cast<QWebEngineView*>(browser->Widget())->page(); }

    // Waits for a condition, failing with what was awaited.
    static ::testing::AssertionResult WaitFor(const std::function<bool()>& condition, const char* what)
    {
        if (QTest::qWaitFor(condition, kTimeout))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "timed out waiting for " << what;
    }

    // Runs an action that makes the engine load a page and waits until that
    // page has loaded and the address box shows its address.
    void Load(const std::function<void()>& action, const QString& address)
    {
        QSignalSpy finished(Page(), &QWebEnginePage::loadFinished);
        action();
        ASSERT_TRUE(WaitFor(
            [&] {
                return !finished.isEmpty() && Page()->url().toString(QUrl::FullyEncoded) == address &&
                       form->Edit3->text() == address;
            },
            "the page"))
            << "wanted " << address.toStdString() << "\nshows " << form->Edit3->text().toStdString();
        EXPECT_TRUE(finished.last().first().toBool());
    }

    // Opens an address by typing it into the address box and pressing 移動.
    void OpenByAddressBox(const QString& address)
    {
        Load(
            [&] {
                TypeOver(form->Edit3, address);
                QTest::mouseClick(form->Button7, Qt::LeftButton);
            },
            address);
    }

    QString PageText()
    {
        QString text;
        bool done = false;
        Page()->toPlainText([&](const QString& t) {
            text = t;
            done = true;
        });
        (void)QTest::qWaitFor([&] { return done; }, kTimeout);
        return text;
    }

    void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

    // Sets the options dialog's bid self-restraint box and presses OK.
    void SetBidRestraint(bool on)
    {
        form->m_option->trigger();
        ASSERT_TRUE(form5->isVisible());
        if (form5->CheckBox3->isChecked() != on) {
            form5->CheckBox3->setFocus();
            QTest::keyClick(form5->CheckBox3, Qt::Key_Space);
        }
        ASSERT_EQ(form5->CheckBox3->isChecked(), on);
        Click(form5->Button1);
        ASSERT_FALSE(form5->isVisible());
        ASSERT_TRUE(form->isEnabled());
    }

    testfiles::TTempDir dir;
    TAuctionSite site;
    QString base;
    TRecordingReporter reporter;
    TLotscopeWindows windows;
    TForm1* form = nullptr;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;
    TForm4* form4 = nullptr;
    TForm5* form5 = nullptr;
    TWebEngineBrowser* browser = nullptr;
    QStringList committed;  // every address the page committed, in order
};

// Search, add the result page as a favorite, open it again from the tree.
TEST_F(UserRoadsEndToEnd, SearchAddFavoriteAndOpenItAgain)
{
    WriteDataFiles("0,1,0\r\n");
    const std::string searchBefore = dir.Read("search.ini");
    Start();
    ASSERT_TRUE(WaitFor([&] { return form->Edit3->text() == base + "/home"; }, "the home page"));

    // Kanji, kana, half-width kana with a voiced mark, a blank, ASCII.
    const QString typed = QStringLiteral("漢字かなｶﾞ x");
    // The site receives EUC-JP, with the half-width pair widened to one
    // full-width character.
    const std::string widened = "漢字かなガ x";
    const std::string euc = Iconv("EUC-JP", widened);
    const std::string escaped = QueryEscaped(euc);
    ASSERT_EQ(escaped, "%b4%c1%bb%fa%a4%ab%a4%ca%a5%ac+x");

    Click(form->Edit1);
    Type(form->Edit1, typed);
    ASSERT_EQ(form->Edit1->text(), typed);
    const QString resultAddress = base + "/search/auc?p=" + QString::fromStdString(escaped);
    QSignalSpy finished(Page(), &QWebEnginePage::loadFinished);
    Click(form->ToolButton13);

    ASSERT_TRUE(WaitFor([&] { return !site.RequestsFor(TAuctionSite::kSearchPath).isEmpty(); }, "the search"));
    const THttpRequest search = site.RequestsFor(TAuctionSite::kSearchPath).first();
    std::string wire = euc;
    std::replace(wire.begin(), wire.end(), ' ', '+');
    EXPECT_EQ(QByteArray::fromPercentEncoding(search.Query).toStdString(), "p=" + wire);
    // The engine writes the escapes in capitals (the same address).
    EXPECT_EQ(search.Query.toLower().toStdString(), "p=" + escaped);

    // The address box shows the result address (as the engine wrote it:
    // escapes in capitals); the page shows the term the site decoded.
    ASSERT_TRUE(WaitFor([&] { return form->Edit3->text().compare(resultAddress, Qt::CaseInsensitive) == 0; },
                        "the result address"))
        << form->Edit3->text().toStdString();
    ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, "the result page"));
    EXPECT_TRUE(finished.first().first().toBool());
    EXPECT_TRUE(PageText().contains(QString::fromStdString(widened))) << PageText().toStdString();
    const QString shownAddress = form->Edit3->text();

    // The add dialog proposes the search word.
    Click(form->ToolButton4);
    ASSERT_TRUE(form4->isVisible());
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(form4->ComboBox1->currentText(), QStringLiteral("検索語"));
    EXPECT_EQ(form4->Edit1->text(), QString::fromStdString(widened));
    EXPECT_EQ(form4->Edit2->text(), shownAddress);

    Click(form4->Button1);
    ASSERT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
    EXPECT_EQ(reporter.Messages, QStringList{QStringLiteral("お気に入りに「 漢字かなガ x 」を追加しました")});
    EXPECT_FALSE(form4->isVisible());
    EXPECT_TRUE(form->isEnabled());
    // search.ini: the old line, then the new entry in Shift_JIS.
    EXPECT_EQ(dir.Read("search.ini"),
              searchBefore + Iconv("CP932", widened) + "," + shownAddress.toStdString() + "\r\n");
    EXPECT_EQ(dir.Read("username.ini"), "");
    EXPECT_EQ(dir.Read("exhibit.ini"), "");

    // The tree was reloaded: the new entry is the last search word.
    QTreeWidgetItem* words = form->TreeView1->topLevelItem(0);
    ASSERT_NE(words, nullptr);
    ASSERT_EQ(words->childCount(), 2);
    QTreeWidgetItem* added = words->child(1);
    EXPECT_EQ(added->text(0), QString::fromStdString(widened));

    // Elsewhere first, so that the double-click visibly goes back.
    Load([&] { form->m_help->trigger(); }, base + "/home");
    const qsizetype searches = site.RequestsFor(TAuctionSite::kSearchPath).size();
    form->TreeView1->expandItem(words);
    form->TreeView1->scrollToItem(added);
    const QPoint at = form->TreeView1->visualItemRect(added).center();
    QTest::mouseClick(form->TreeView1->viewport(), Qt::LeftButton, {}, at);
    Load([&] { QTest::mouseDClick(form->TreeView1->viewport(), Qt::LeftButton, {}, at); }, shownAddress);
    ASSERT_EQ(site.RequestsFor(TAuctionSite::kSearchPath).size(), searches + 1);
    EXPECT_EQ(site.RequestsFor(TAuctionSite::kSearchPath).last().Query, search.Query);
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// The add dialog on the site's user and item pages, reached through the
// engine (the address box holds what the engine committed).
TEST_F(UserRoadsEndToEnd, AddDialogRecognisesUserAndItemPages)
{
    WriteDataFiles("0,1,0\r\n");
    Start();
    struct TRow {
        const char* Label;
        QString Address;
        QString Kind;
        QString Name;
        const char* File;
    };
    const TRow rows[] = {
        {"user page", site.UserAddress("seller_1"), QStringLiteral("ユーザ"), "seller_1", "username.ini"},
        {"item page", site.ItemAddress("x123456"), QStringLiteral("出品物"), "x123456", "exhibit.ini"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        OpenByAddressBox(row.Address);
        form->m_favadd->trigger();
        ASSERT_TRUE(form4->isVisible());
        EXPECT_EQ(form4->ComboBox1->currentText(), row.Kind);
        EXPECT_EQ(form4->Edit1->text(), row.Name);
        EXPECT_EQ(form4->Edit2->text(), row.Address);
        Click(form4->Button1);
        EXPECT_FALSE(form4->isVisible());
        EXPECT_EQ(dir.Read(row.File), (row.Name + "," + row.Address).toStdString() + "\r\n");
    }
    EXPECT_EQ(form->TreeView1->topLevelItem(1)->child(0)->text(0), "seller_1");
    EXPECT_EQ(form->TreeView1->topLevelItem(2)->child(0)->text(0), "x123456");
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// Register an ID, switch auto-login on, restart: the site receives the
// login with the ID and the password, which login.ini does not hold.
TEST_F(UserRoadsEndToEnd, RegisterThenAutoLoginAfterRestart)
{
    WriteDataFiles("0,1,0\r\n");
    Start();
    const QString id = QStringLiteral("taro_e2e");
    const std::string password = "pa55-Word!9";

    form->m_YahooID->trigger();
    ASSERT_TRUE(form2->isVisible());
    EXPECT_FALSE(form->isEnabled());
    TypeOver(form2->Edit1, id);
    TypeOver(form2->Edit2, QString::fromStdString(password));
    Click(form2->Button1);
    ASSERT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
    EXPECT_FALSE(form2->isVisible());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(form->ComboBox1->itemText(0), id);

    // login.ini: the ID and a stored text (Base64 of whole cipher blocks),
    // never the password itself.
    const std::string login = dir.Read("login.ini");
    EXPECT_EQ(login.find(password), std::string::npos) << login;
    const std::string first = login.substr(0, login.find("\r\n"));
    ASSERT_EQ(first.rfind(id.toStdString() + ",", 0), 0u) << login;
    const QByteArray stored = QByteArray::fromStdString(first.substr(id.size() + 1));
    const auto decoded = QByteArray::fromBase64Encoding(stored, QByteArray::AbortOnBase64DecodingErrors);
    ASSERT_TRUE(decoded) << first;
    EXPECT_FALSE(decoded.decoded.isEmpty());
    EXPECT_EQ(decoded.decoded.size() % 8, 0);
    EXPECT_EQ(std::count(login.begin(), login.end(), '\n'), 3) << login;
    EXPECT_EQ(std::filesystem::status(dir.path() / "login.ini").permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // Auto-login on, through the options dialog.
    form->m_option->trigger();
    ASSERT_TRUE(form5->isVisible());
    form5->CheckBox1->setFocus();
    QTest::keyClick(form5->CheckBox1, Qt::Key_Space);
    Click(form5->Button1);
    EXPECT_EQ(dir.Read("option.ini"), "1,1,0\r\n");
    EXPECT_TRUE(site.Logins().isEmpty());

    Stop();
    Start();
    ASSERT_TRUE(WaitFor([&] { return !site.Logins().isEmpty(); }, "the login request"));
    EXPECT_EQ(site.Logins().first().Login.toStdString(), id.toStdString());
    EXPECT_EQ(site.Logins().first().Passwd.toStdString(), password);
    EXPECT_EQ(site.RequestsFor(TAuctionSite::kLoginPath).first().Query.toStdString(),
              ".src=auc&.done=" + base.toStdString() + "/jp&login=taro_e2e&passwd=pa55-Word%219");
    EXPECT_EQ(form->ComboBox1->itemText(0), id);
    EXPECT_TRUE(site.RequestsFor(TAuctionSite::kHomePath).isEmpty());
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// The options dialog switches the bid stop at once: a bid link and a bid
// form never show the preview page while it is on, and do once it is off.
TEST_F(UserRoadsEndToEnd, BidRestraintModeFromTheOptionsDialog)
{
    WriteDataFiles("0,1,0\r\n");
    Start();
    const QString item = site.ItemAddress("b777");
    struct TRow {
        const char* Label;
        QString Script;
        QByteArray Method;
        QByteArray Body;
    };
    const TRow rows[] = {
        {"bid link", "document.getElementById('bid').click()", "GET", ""},
        {"bid form", "document.getElementById('submit').click()", "POST", "bid=100"},
    };

    SetBidRestraint(true);
    EXPECT_EQ(dir.Read("option.ini"), "0,1,1\r\n");
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        OpenByAddressBox(item);
        QSignalSpy refused(browser, &TWebEngineBrowser::NavigationRefused);
        Page()->runJavaScript(row.Script);
        ASSERT_TRUE(WaitFor([&] { return !refused.isEmpty(); }, "the refusal"));
        EXPECT_TRUE(refused.first().first().toString().contains("jp/show/bid_preview"));
        EXPECT_EQ(form->Edit3->text(), item);
    }
    // A page after the refusals: anything they had started has had its turn.
    OpenByAddressBox(site.UserAddress("after"));
    EXPECT_TRUE(site.RequestsFor(TAuctionSite::kBidPreviewPath).isEmpty());
    for (const QString& address : committed)
        EXPECT_FALSE(address.contains("bid_preview")) << address.toStdString();

    SetBidRestraint(false);
    EXPECT_EQ(dir.Read("option.ini"), "0,1,0\r\n");
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        OpenByAddressBox(item);
        const qsizetype before = site.RequestsFor(TAuctionSite::kBidPreviewPath).size();
        QSignalSpy finished(Page(), &QWebEnginePage::loadFinished);
        Page()->runJavaScript(row.Script);
        ASSERT_TRUE(WaitFor([&] { return form->Edit3->text().contains("/jp/show/bid_preview"); }, "the preview"));
        ASSERT_TRUE(WaitFor([&] { return !finished.isEmpty(); }, "the preview's load"));
        ASSERT_EQ(site.RequestsFor(TAuctionSite::kBidPreviewPath).size(), before + 1);
        const THttpRequest request = site.RequestsFor(TAuctionSite::kBidPreviewPath).last();
        EXPECT_EQ(request.Method, row.Method);
        EXPECT_EQ(request.Body, row.Body);
        EXPECT_EQ(PageText(), QString::fromLatin1(row.Method));
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("|").toStdString();
}

// Log in once answered by a cacheable page and once by a redirect, each
// time in the program that then closes normally: no file under the data
// folder or the engine's storage and cache folders holds the password,
// plain or percent-encoded, nor does the engine's visited-link table hold a
// fingerprint of either login address (computed with the file's own salt);
// no request of the answering page, to its own site or another, carries it
// as Referer.
TEST_F(UserRoadsEndToEnd, LoginLeavesThePasswordInNoFile)
{
    testfiles::TTempDir engineHome;
    const std::filesystem::path storage = engineHome.path() / "data", cache = engineHome.path() / "cache";
    const std::string password = "Qx7v-Lotscope&Secret#9";
    const std::string needles[] = {password, "Qx7v-Lotscope%26Secret%239"};
    for (const char* id : {"cached", TAuctionSite::kRedirectedLogin}) {
        SCOPED_TRACE(id);
        WriteDataFiles("1,1,0\r\n", std::string(id) + "," + EncryptPasswordText(password) + "\r\n,\r\n,\r\n");
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", QString::fromStdString(storage.string()));
        env.insert("XDG_CACHE_HOME", QString::fromStdString(cache.string()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.setWorkingDirectory(QString::fromStdString(dir.path().string()));
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const qsizetype before = site.Logins().size();
        child.start(LOTSCOPE_LOGIN_CHILD, {base});
        ASSERT_TRUE(WaitFor([&] { return child.state() == QProcess::NotRunning; }, "the program's close"));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0);
        ASSERT_EQ(site.Logins().size(), before + 1);
        EXPECT_EQ(site.Logins().last().Passwd.toStdString(), password);
    }
    EXPECT_EQ(site.RequestsFor(TAuctionSite::kHomePath).size(), 1);  // the redirect's target

    int files = 0;
    QStringList holding;
    for (const std::filesystem::path& root : {dir.path(), storage, cache}) {
        if (!std::filesystem::exists(root))
            continue;  // nothing was kept there
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            ++files;
            std::ifstream in(entry.path(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(in), {}};
            for (const std::string& needle : needles)
                if (bytes.find(needle) != std::string::npos)
                    holding.append(QString::fromStdString(entry.path().string() + ": " + needle));
        }
    }
    EXPECT_GT(files, 5);  // the engine did keep its storage there
    EXPECT_TRUE(holding.isEmpty()) << holding.join("\n").toStdString();

    ASSERT_FALSE(site.RequestsFor("/test.jp/third-party").isEmpty());
    for (const THttpRequest& request : site.Server().Requests())
        EXPECT_FALSE(request.Header("Referer").contains("passwd")) << request.Target.data();

    const std::set<quint64> visited = VisitedLinkFingerprints(dir.path());
    EXPECT_TRUE(visited.contains(Fingerprint(base.toStdString() + "/home")));  // the table was read right
    for (const char* id : {"cached", TAuctionSite::kRedirectedLogin})
        EXPECT_FALSE(visited.contains(Fingerprint(LoginAddress(site.Endpoints(), id, password)))) << id;
}

}  // namespace
