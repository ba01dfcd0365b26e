// TForm4, the add-favorite dialog, driven through its controls.
#include "favorites/Unit4.h"

#include "support/DialogTestWindow.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString kSearchPage = QStringLiteral("https://auctions.yahoo.co.jp/search/auc?p=%A5%C6%A5%B9%A5%C8");

class Form4Test : public ::testing::Test {
protected:
    void Open(const QString& address)
    {
        if (!w.Form1)
            w.Start();
        if (!form4)
            form4 = std::make_unique<TForm4>(*w.Form1);
        w.Form1->Edit3->setText(address);
        form4->show();
    }

    TDialogTestWindow w;
    std::unique_ptr<TForm4> form4;
};

TEST_F(Form4Test, SearchPageAddedToTheEndOfSearchIni)
{
    w.Dir.Write("search.ini", "a,1\r\nnocomma\r\n");
    Open(kSearchPage);
    EXPECT_FALSE(w.Form1->isEnabled());
    EXPECT_EQ(form4->ComboBox1->currentText(), QStringLiteral("検索語"));
    EXPECT_EQ(form4->Edit1->text(), QStringLiteral("テスト"));
    EXPECT_EQ(form4->Edit2->text(), kSearchPage);

    form4->Button1->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,1\r\n,nocomma\r\n\x83\x65\x83\x58\x83\x67,"
                                        "https://auctions.yahoo.co.jp/search/auc?p=%A5%C6%A5%B9%A5%C8\r\n");
    EXPECT_EQ(w.Reporter.Messages, QStringList{QStringLiteral("お気に入りに「 テスト 」を追加しました")});
    EXPECT_TRUE(w.Reporter.Errors.isEmpty());
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form4->isVisible());
    // The tree was reloaded: the new entry is the last child of its kind.
    EXPECT_EQ(w.TreeNames(0), (QStringList{"a", "", QStringLiteral("テスト")}));
}

TEST_F(Form4Test, AddressAlreadyInTheKindAsksOnce)
{
    const std::string before = "x," + kSearchPage.toStdString() + "\r\n";
    w.Dir.Write("search.ini", before);
    const QStringList asked{QStringLiteral("すでにお気に入りにあります。追加しますか？")};

    w.Reporter.Answer = false;
    Open(kSearchPage);
    form4->Button1->click();
    EXPECT_EQ(w.Reporter.Questions, asked);
    EXPECT_EQ(w.Dir.Read("search.ini"), before) << "No writes nothing";
    EXPECT_TRUE(w.Reporter.Messages.isEmpty());
    EXPECT_TRUE(form4->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());

    w.Reporter.Answer = true;
    form4->Button1->click();
    EXPECT_EQ(w.Reporter.Questions, asked + asked);
    EXPECT_EQ(w.Dir.Read("search.ini"), before + "\x83\x65\x83\x58\x83\x67," + kSearchPage.toStdString() + "\r\n");
    EXPECT_EQ(w.Reporter.Messages, QStringList{QStringLiteral("お気に入りに「 テスト 」を追加しました")});
    EXPECT_FALSE(form4->isVisible());
}

TEST_F(Form4Test, LongAddressIsAddedWhole)
{
    const QString address = QStringLiteral("https://x.jp/jp/auction/x1?q=") + QString(40'000, u'u');
    Open(address);
    EXPECT_EQ(w.Form1->Edit3->text(), address);
    form4->Button1->click();
    EXPECT_TRUE(w.Reporter.Errors.isEmpty()) << w.Reporter.Errors.join("|").toStdString();
    EXPECT_TRUE(w.Dir.Read("exhibit.ini") == (address.mid(24) + QStringLiteral(",") + address).toStdString() + "\r\n");
}

TEST_F(Form4Test, PrefillByPageKind)
{
    struct TRow {
        const char* Label;
        QString Address;
        QString Kind;
        QString Name;
        QString Url;
    };
    const TRow rows[] = {
        {"top page", "https://auctions.yahoo.co.jp/", QStringLiteral("検索語"), "", ""},
        {"user page with a query", "https://auctions.yahoo.co.jp/jp/user/abc?u=1", QStringLiteral("ユーザ"), "abc",
         "https://auctions.yahoo.co.jp/jp/user/abc?u=1"},
        {"user page ending in ?", "https://x.jp/user/abc?", QStringLiteral("ユーザ"), "abc", "https://x.jp/user/abc"},
        {"item page", "https://page.auctions.yahoo.co.jp/jp/auction/x123", QStringLiteral("出品物"), "x123",
         "https://page.auctions.yahoo.co.jp/jp/auction/x123"},
        {"auction list", "https://x.jp/show/auctions?userID=abc&sort=1", QStringLiteral("ユーザ"), "abc",
         "https://x.jp/show/auctions?userID=abc&sort=1"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        // Whatever the boxes held before, every show fills them anew.
        if (form4) {
            form4->ComboBox1->setEditText("typed");
            form4->Edit1->setText("old");
            form4->Edit2->setText("old");
            form4->Button2->click();
        }
        Open(row.Address);
        EXPECT_EQ(form4->ComboBox1->currentText(), row.Kind);
        EXPECT_EQ(form4->SelectedKind(), form4->ComboBox1->findText(row.Kind));
        EXPECT_EQ(form4->Edit1->text(), row.Name);
        EXPECT_EQ(form4->Edit2->text(), row.Url);
    }
}

TEST_F(Form4Test, RefusedInputWritesNothingAndKeepsTheDialogOpen)
{
    struct TRow {
        const char* Label;
        QString Kind;  // text typed into the kind list
        QString Name;
        QString Url;
        QString Message;
    };
    const QString missing = QStringLiteral("入力されていない項目があります");
    const TRow rows[] = {
        {"empty name", QStringLiteral("ユーザ"), "", "http://x/", missing},
        {"empty URL", QStringLiteral("ユーザ"), "n", "", missing},
        {"kind typed over", QStringLiteral("ユーザー"), "n", "http://x/", missing},
        {"comma in name", QStringLiteral("ユーザ"), "a,b", "http://x/", QStringLiteral("名前に「,」は使えません")},
        {"emoji in name", QStringLiteral("ユーザ"), QStringLiteral("a\U0001F600"), "http://x/",
         QStringLiteral("Shift_JISで表せない文字が含まれています")},
        {"accent in URL", QStringLiteral("ユーザ"), "n", QStringLiteral("http://x/\u00E9"),
         QStringLiteral("Shift_JISで表せない文字が含まれています")},
        {"CR in name", QStringLiteral("ユーザ"), "a\rb", "http://x/",
         QStringLiteral("名前とURLに改行などの制御文字は使えません")},
    };
    w.Dir.Write("username.ini", "keep,1\r\n");
    Open("https://auctions.yahoo.co.jp/");
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        w.Reporter.Messages.clear();
        form4->ComboBox1->setEditText(row.Kind);
        form4->Edit1->setText(row.Name);
        form4->Edit2->setText(row.Url);
        form4->Button1->click();
        EXPECT_EQ(w.Reporter.Messages, QStringList{row.Message});
        EXPECT_EQ(w.Dir.Read("username.ini"), "keep,1\r\n");
        EXPECT_TRUE(form4->isVisible());
        EXPECT_FALSE(w.Form1->isEnabled());
    }
    EXPECT_TRUE(w.Reporter.Errors.isEmpty());
}

TEST_F(Form4Test, KindChangedByHandGoesToThatFile)
{
    Open(kSearchPage);
    form4->ComboBox1->setCurrentIndex(2);
    form4->Button1->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "");
    EXPECT_EQ(w.Dir.Read("exhibit.ini"), "\x83\x65\x83\x58\x83\x67," + kSearchPage.toStdString() + "\r\n");
    EXPECT_EQ(w.TreeNames(2), QStringList{QStringLiteral("テスト")});
}

TEST_F(Form4Test, MissingKindFileIsReportedAndNothingIsWritten)
{
    Open(kSearchPage);
    w.Dir.Remove("search.ini");
    form4->Button1->click();
    EXPECT_EQ(w.Reporter.Errors, QStringList{QStringLiteral("search.ini: ファイルが見つかりません")});
    EXPECT_TRUE(w.Reporter.Messages.isEmpty());
    EXPECT_FALSE(w.Dir.Exists("search.ini"));
    EXPECT_TRUE(form4->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());
    // Cancel still closes it.
    form4->Button2->click();
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form4->isVisible());
}

TEST_F(Form4Test, FailedReloadAfterTheWriteLeavesTheDialogShown)
{
    Open(kSearchPage);
    w.Dir.Remove("username.ini");
    form4->Button1->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "\x83\x65\x83\x58\x83\x67," + kSearchPage.toStdString() + "\r\n");
    EXPECT_EQ(w.Reporter.Messages.size(), 1);
    EXPECT_EQ(w.Reporter.Errors, QStringList{QStringLiteral("username.ini: ファイルが見つかりません")});
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_TRUE(form4->isVisible());
}

TEST_F(Form4Test, CancelAndCloseBoxWriteNothingAndKeepTheDialog)
{
    w.Dir.Write("search.ini", "a,1\r\n");
    Open(kSearchPage);
    form4->Edit1->setText("edited");
    // A file change the tree has not seen: Cancel must not reload the tree.
    w.Dir.Write("search.ini", "a,1\r\nb,2\r\n");
    form4->Button2->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,1\r\nb,2\r\n");
    EXPECT_EQ(w.TreeNames(0), QStringList{"a"});
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form4->isVisible());
    EXPECT_EQ(form4->Edit1->text(), "edited");

    QPointer<TForm4> alive(form4.get());
    Open(kSearchPage);
    EXPECT_FALSE(w.Form1->isEnabled());
    form4->close();
    EXPECT_TRUE(alive);
    EXPECT_FALSE(form4->isVisible());
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,1\r\nb,2\r\n");
    EXPECT_TRUE(w.Reporter.Messages.isEmpty());
}

TEST_F(Form4Test, AddsToFilesOfAnyLength)
{
    std::string content;
    for (int i = 0; i < 520; ++i)
        content += "n" + std::to_string(i) + ",u\r\n";
    w.Dir.Write("username.ini", content);
    Open("https://x.jp/user/abc");
    form4->Button1->click();
    EXPECT_EQ(w.Dir.Read("username.ini"), content + "abc,https://x.jp/user/abc\r\n");
    EXPECT_EQ(w.TreeNames(1).size(), 521);
}

TEST_F(Form4Test, WindowLayoutTabOrderAndPicture)
{
    Open(kSearchPage);
    EXPECT_EQ(form4->windowTitle(), QStringLiteral("お気に入りの追加"));
    EXPECT_EQ(form4->size(), QSize(TForm4::kClientWidth, TForm4::kClientHeight));
    EXPECT_EQ(form4->minimumSize(), form4->maximumSize());
    EXPECT_EQ(form4->parentWidget(), nullptr);
    EXPECT_TRUE(form4->isEnabled());  // the disabled main window does not disable it
    EXPECT_EQ(form4->Button2->text(), QStringLiteral("キャンセル"));
    EXPECT_LT(form4->Button2->x(), form4->Button1->x());  // OK right of Cancel
    EXPECT_EQ(TabChain(form4->ComboBox1),
              (QList<QWidget*>{form4->ComboBox1, form4->Edit1, form4->Edit2, form4->Button2, form4->Button1}));
    EXPECT_TRUE(QFontMetrics(form4->font()).inFont(QChar(0x691C)));  // 検
    const QImage picture = SaveArtifact(form4.get(), QStringLiteral("form4-add-favorite"));
    EXPECT_EQ(picture.size(), QSize(TForm4::kClientWidth, TForm4::kClientHeight));
}

}  // namespace
