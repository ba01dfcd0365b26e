// TForm2, the account registration dialog, driven through its controls.
#include "accounts/Unit2.h"

#include "CryptFixtures.h"

#include "accounts/StoredPassword.h"
#include "support/DialogTestWindow.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace {

class Form2Test : public ::testing::Test {
protected:
    void Open()
    {
        if (!w.Form1) {
            w.Start();
            form2 = std::make_unique<TForm2>(*w.Form1);
        }
        form2->show();
    }
    void Fill(const QStringList& six)
    {
        QLineEdit* const edits[] = {form2->Edit1, form2->Edit2, form2->Edit3, form2->Edit4, form2->Edit5, form2->Edit6};
        for (int i = 0; i < 6; ++i)
            edits[i]->setText(six[i]);
    }
    QStringList Edits() const
    {
        return {form2->Edit1->text(), form2->Edit2->text(), form2->Edit3->text(),
                form2->Edit4->text(), form2->Edit5->text(), form2->Edit6->text()};
    }
    QStringList SelectorItems() const
    {
        QStringList items;
        for (int i = 0; i < w.Form1->ComboBox1->count(); ++i)
            items.append(w.Form1->ComboBox1->itemText(i));
        return items;
    }

    TDialogTestWindow w;
    std::unique_ptr<TForm2> form2;
};

// Three lines "id,<12 characters>" with CR LF; returns the stored texts.
std::vector<std::string> StoredTexts(const std::string& bytes, const std::array<const char*, 3>& ids)
{
    const std::regex line("([^,\r]*),([A-Za-z0-9+/]{11}=)\r\n");
    std::vector<std::string> texts;
    auto it = bytes.cbegin();
    for (const char* id : ids) {
        std::smatch m;
        if (!std::regex_search(it, bytes.cend(), m, line, std::regex_constants::match_continuous) || m[1].str() != id)
            return {};
        texts.push_back(m[2].str());
        it = m[0].second;
    }
    return it == bytes.cend() ? texts : std::vector<std::string>{};
}

TEST_F(Form2Test, RegisterReopenAndSeeTheSamePasswords)
{
    Open();
    EXPECT_FALSE(w.Form1->isEnabled());
    EXPECT_EQ(Edits(), (QStringList{"", "", "", "", "", ""}));

    Fill({"alice", "a", "bob", "secret7", "carol", "secret7"});
    form2->Button1->click();
    EXPECT_TRUE(w.Reporter.Errors.isEmpty());
    EXPECT_TRUE(w.Reporter.Messages.isEmpty());
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form2->isVisible());

    const std::string bytes = w.Dir.Read("login.ini");
    const auto texts = StoredTexts(bytes, {"alice", "bob", "carol"});
    ASSERT_EQ(texts.size(), 3u) << bytes;
    EXPECT_EQ(texts[1], texts[2]);  // the same password, the same stored text
    EXPECT_EQ(DecryptPasswordText(texts[0]), "a");
    EXPECT_EQ(w.Dir.Mode("login.ini"), 0600u);
    EXPECT_EQ(w.Form1->Accounts[0].YahooId, "alice");
    EXPECT_EQ(w.Form1->Accounts[0].PasswordText, texts[0]);
    EXPECT_EQ(SelectorItems(), (QStringList{"alice", "bob", "carol"}));
    EXPECT_EQ(w.Form1->ComboBox1->currentIndex(), 0);

    // Reopening shows the same passwords; registering again stores the
    // same texts.
    Open();
    EXPECT_EQ(Edits(), (QStringList{"alice", "a", "bob", "secret7", "carol", "secret7"}));
    form2->Button1->click();
    EXPECT_EQ(w.Dir.Read("login.ini"), bytes);
}

TEST_F(Form2Test, EmptyEditsAreStoredAsTheEmptyPassword)
{
    Open();
    form2->Button1->click();
    const auto texts = StoredTexts(w.Dir.Read("login.ini"), {"", "", ""});
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], EncryptPasswordText(""));
    EXPECT_EQ(SelectorItems(), (QStringList{"", "", ""}));
    EXPECT_EQ(w.Form1->ComboBox1->currentIndex(), 0);
}

TEST_F(Form2Test, OneLineFileFillsEntryZeroOnly)
{
    w.Dir.Write("login.ini", "solo," + EncryptPasswordText("pw") + "\r\n");
    Open();
    EXPECT_EQ(Edits(), (QStringList{"solo", "pw", "", "", "", ""}));
}

TEST_F(Form2Test, MissingFileLeavesTheEditsAsTheyWere)
{
    w.Start();
    w.Dir.Remove("login.ini");
    form2 = std::make_unique<TForm2>(*w.Form1);
    form2->show();
    EXPECT_EQ(w.Reporter.Errors, QStringList{QStringLiteral("login.ini: ファイルが見つかりません")});
    EXPECT_EQ(Edits(), (QStringList{"ID1", "password", "ID2", "password", "ID3", "password"}));
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());
    form2->close();
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(w.Dir.Exists("login.ini"));
}

TEST_F(Form2Test, SecondRegisterAfterAFailedWriteStoresThePasswordsNotTheirCipherText)
{
    Open();
    Fill({"alice", "pw1", "bob", "pw2", "carol", "pw3"});
    // login.ini cannot be replaced: a directory stands under its name.
    w.Dir.Remove("login.ini");
    std::filesystem::create_directory(w.Dir.path() / "login.ini");
    form2->Button1->click();
    ASSERT_EQ(w.Reporter.Errors.size(), 1);
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());
    // Table and selector already hold the new values.
    EXPECT_EQ(SelectorItems(), (QStringList{"alice", "bob", "carol"}));
    const std::string firstText = w.Form1->Accounts[0].PasswordText;
    EXPECT_EQ(DecryptPasswordText(firstText), "pw1");

    std::filesystem::remove(w.Dir.path() / "login.ini");
    form2->Button1->click();
    EXPECT_EQ(w.Reporter.Errors.size(), 1);
    const auto texts = StoredTexts(w.Dir.Read("login.ini"), {"alice", "bob", "carol"});
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], firstText);
    EXPECT_EQ(DecryptPasswordText(texts[1]), "pw2");
    EXPECT_EQ(DecryptPasswordText(texts[2]), "pw3");
    EXPECT_FALSE(form2->isVisible());
}

// Stored texts stay byte for byte until their entry is typed over: one the
// cipher cannot read, one an older system wrote (encrypting it again would
// change it), and all of them while the cipher's provider is gone; 登録 of
// a changed entry then stores nothing and says why.
TEST_F(Form2Test, FailingCipherNeverWipesStoredPasswords)
{
    const std::string older(crypt_fixtures::StoredFull40), damaged = "QUJDREVGR0g=";
    w.Dir.Write("login.ini", "taro," + older + "\r\njiro," + damaged + "\r\n,\r\n");
    Open();
    EXPECT_EQ(Edits(), (QStringList{"taro", "hunter2", "jiro", "", "", ""}));
    EXPECT_EQ(w.Reporter.Messages, QStringList{QString::fromStdString(UnreadablePasswordsMessage({2}))});
    form2->Button1->click();
    const std::string kept = w.Dir.Read("login.ini");
    EXPECT_EQ(kept.substr(0, kept.rfind(",")), "taro," + older + "\r\njiro," + damaged + "\r\n");

    testfiles::TTempDir noModules;
    ASSERT_EQ(setenv("OPENSSL_MODULES", noModules.path().c_str(), 1), 0);
    w.Reporter.Messages.clear();
    Open();
    EXPECT_EQ(Edits(), (QStringList{"taro", "", "jiro", "", "", ""}));
    EXPECT_EQ(w.Reporter.Messages, QStringList{QString::fromStdString(UnreadablePasswordsMessage({1, 2, 3}))});
    form2->Button1->click();  // nothing typed over: nothing to encrypt
    EXPECT_EQ(w.Dir.Read("login.ini"), kept);

    Open();
    Fill({"taro2", "new", "jiro", "", "", ""});
    form2->Button1->click();
    unsetenv("OPENSSL_MODULES");
    EXPECT_EQ(w.Reporter.Errors, QStringList{QString::fromStdString(EncryptFailedMessage("CryptAcquireContext"))});
    EXPECT_EQ(w.Dir.Read("login.ini"), kept);
    EXPECT_EQ(SelectorItems(), (QStringList{"taro", "jiro", ""}));
    EXPECT_TRUE(form2->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());
}

TEST_F(Form2Test, CancelAndCloseBoxStoreNothing)
{
    w.Dir.Write("login.ini", "old," + EncryptPasswordText("x") + "\r\n,\r\n,\r\n");
    Open();
    const std::string before = w.Dir.Read("login.ini");
    Fill({"new", "y", "", "", "", ""});
    form2->Button2->click();
    EXPECT_EQ(w.Dir.Read("login.ini"), before);
    EXPECT_EQ(w.Form1->Accounts[0].YahooId, "old");
    EXPECT_EQ(w.Form1->ComboBox1->itemText(0), "old");
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form2->isVisible());

    QPointer<TForm2> alive(form2.get());
    Open();
    Fill({"new", "y", "", "", "", ""});
    form2->close();
    EXPECT_TRUE(alive);
    EXPECT_EQ(w.Dir.Read("login.ini"), before);
    EXPECT_TRUE(w.Form1->isEnabled());
}

TEST_F(Form2Test, RefusesIdsAndPasswordsLoginIniCannotHold)
{
    Open();
    const std::string before = w.Dir.Read("login.ini");
    struct TRow {
        QStringList Six;
        QString Message;
    };
    const TRow rows[] = {
        {{"a,b", "", "", "", "", ""}, QStringLiteral("Yahoo!IDに「,」は使えません")},
        {{"a", "", QStringLiteral("ta\u001Aro"), "", "", ""},
         QStringLiteral("Yahoo!IDに改行などの制御文字は使えません")},
        {{"a", QStringLiteral("p\u00E9"), "", "", "", ""}, QStringLiteral("Shift_JISで表せない文字が含まれています")},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message.toStdString());
        w.Reporter.Messages.clear();
        Fill(row.Six);
        form2->Button1->click();
        EXPECT_EQ(w.Reporter.Messages, QStringList{row.Message});
        EXPECT_EQ(w.Dir.Read("login.ini"), before);
        EXPECT_EQ(form2->Edit2->text(), row.Six[1]);  // not encrypted
        EXPECT_TRUE(form2->isVisible());
    }
}

TEST_F(Form2Test, WindowLayoutTabOrderAndPicture)
{
    w.Dir.Write("login.ini",
                "taro," + EncryptPasswordText("secret") + "\r\nhanako," + EncryptPasswordText("pw") + "\r\n,\r\n");
    Open();
    EXPECT_EQ(form2->windowTitle(), QStringLiteral("Yahoo!IDの登録"));
    EXPECT_EQ(form2->size(), QSize(TForm2::kClientWidth, TForm2::kClientHeight));
    EXPECT_EQ(form2->minimumSize(), form2->maximumSize());
    EXPECT_EQ(form2->parentWidget(), nullptr);
    EXPECT_TRUE(form2->isEnabled());
    EXPECT_EQ(form2->Edit2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form2->Button1->geometry(), QRect(272, 240, 75, 25));
    // The encrypt and decrypt steps lie beyond the client area and out of
    // the tab order.
    EXPECT_GE(form2->Button3->x(), TForm2::kClientWidth);
    EXPECT_GE(form2->Button4->x(), TForm2::kClientWidth);
    EXPECT_EQ(form2->Button3->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(form2->Button4->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(TabChain(form2->Edit1), (QList<QWidget*>{form2->Edit1, form2->Edit2, form2->Edit3, form2->Edit4,
                                                       form2->Edit5, form2->Edit6, form2->Button1, form2->Button2}));
    EXPECT_TRUE(QFontMetrics(form2->font()).inFont(QChar(0x767B)));  // 登
    const QImage picture = SaveArtifact(form2.get(), QStringLiteral("form2-id-registration"));
    EXPECT_EQ(picture.size(), QSize(TForm2::kClientWidth, TForm2::kClientHeight));
}

}  // namespace
