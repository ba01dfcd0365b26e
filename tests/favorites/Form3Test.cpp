// TForm3, the favorites organizer, driven through its controls.
#include "favorites/Unit3.h"

#include "support/DialogTestWindow.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Form3Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        w.Dir.Write("search.ini", "a,ua\r\nb,ub\r\nc,uc\r\n");
        w.Dir.Write("username.ini", "u1,x1\r\nu2,x2\r\n");
        w.Dir.Write("exhibit.ini", "e1,y1\r\n");
    }
    void Open()
    {
        if (!w.Form1) {
            w.Start();
            form3 = std::make_unique<TForm3>(*w.Form1);
        }
        form3->show();
    }
    QStringList ListNames() const { return ItemTexts(form3->ListBox1); }
    // The highlighted row, -1 for none.
    int Highlighted() const
    {
        const auto selected = form3->ListBox1->selectedItems();
        return selected.isEmpty() ? -1 : form3->ListBox1->row(selected.front());
    }
    void ClickRow(int row)
    {
        QListWidget* list = form3->ListBox1;
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    TDialogTestWindow w;
    std::unique_ptr<TForm3> form3;
};

TEST_F(Form3Test, ShowListsSearchWordsWithNothingPicked)
{
    Open();
    EXPECT_FALSE(w.Form1->isEnabled());
    EXPECT_EQ(ListNames(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Highlighted(), -1);
    EXPECT_FALSE(form3->Model().CurrentEntry());
    EXPECT_TRUE(form3->Button1->isEnabled());
    EXPECT_TRUE(form3->Button2->isEnabled());
    EXPECT_TRUE(form3->Button3->isEnabled());

    // Every show starts with the search words again.
    form3->Button6->click();
    EXPECT_EQ(ListNames(), QStringList{"e1"});
    form3->Button7->click();
    form3->show();
    EXPECT_EQ(ListNames(), (QStringList{"a", "b", "c"}));
    EXPECT_FALSE(form3->Model().CurrentEntry());
}

TEST_F(Form3Test, PickingFillsTheBoxesAndCommandsMoveTheHighlight)
{
    Open();
    ClickRow(1);
    EXPECT_EQ(form3->Edit1->text(), "b");
    EXPECT_EQ(form3->Edit2->text(), "ub");
    form3->Button2->click();  // ▲ onto the first: lets go
    EXPECT_EQ(ListNames(), (QStringList{"b", "a", "c"}));
    EXPECT_EQ(Highlighted(), -1);
    form3->Button2->click();  // nothing current: nothing moves
    EXPECT_EQ(ListNames(), (QStringList{"b", "a", "c"}));

    ClickRow(0);
    form3->Button3->click();  // ▼ from the first follows the entry
    EXPECT_EQ(ListNames(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(Highlighted(), 1);
    // The moves leave the boxes alone.
    EXPECT_EQ(form3->Edit1->text(), "b");

    form3->Button1->click();  // 削除 highlights the follower
    EXPECT_EQ(ListNames(), (QStringList{"a", "c"}));
    EXPECT_EQ(Highlighted(), 1);
    form3->Button1->click();  // and deletes it too; the last one lets go
    EXPECT_EQ(ListNames(), QStringList{"a"});
    EXPECT_EQ(Highlighted(), -1);
    form3->Button1->click();
    EXPECT_EQ(ListNames(), QStringList{"a"});
}

TEST_F(Form3Test, ChangeKeepsTheEntryCurrentWithoutHighlight)
{
    Open();
    ClickRow(1);
    form3->Edit1->setText("");
    form3->Edit2->setText("new,url");
    form3->Button8->click();
    EXPECT_EQ(ListNames(), (QStringList{"a", "", "c"}));
    EXPECT_EQ(Highlighted(), -1);
    // Clicking the changed entry picks it again.
    ClickRow(1);
    EXPECT_EQ(form3->Edit2->text(), "new,url");
    form3->Button8->click();
    form3->Button1->click();  // deletes the entry just changed
    EXPECT_EQ(ListNames(), (QStringList{"a", "c"}));

    form3->OK->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,ua\r\nc,uc\r\n");
}

TEST_F(Form3Test, LongUrlGoesThroughChangeAndOkUnchanged)
{
    const std::string url = "https://x.jp/?q=" + std::string(40'000, 'u');
    w.Dir.Write("search.ini", "long," + url + "\r\n");
    Open();
    ClickRow(0);
    EXPECT_EQ(form3->Edit2->text().size(), static_cast<qsizetype>(url.size()));
    form3->Button8->click();
    form3->OK->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "long," + url + "\r\n");
}

TEST_F(Form3Test, ChangeRefusesWhatTheFileCannotHold)
{
    Open();
    // Without a current entry 変更 does nothing, and says nothing.
    form3->Edit1->setText("x,y");
    form3->Button8->click();
    EXPECT_TRUE(w.Reporter.Messages.isEmpty());

    ClickRow(0);
    struct TRow {
        QString Name;
        QString Url;
        QString Message;
    };
    const TRow rows[] = {
        {"x,y", "u", QStringLiteral("名前に「,」は使えません")},
        {QStringLiteral("\u00E9"), "u", QStringLiteral("Shift_JISで表せない文字が含まれています")},
        {"n", QStringLiteral("u\U0001F600"), QStringLiteral("Shift_JISで表せない文字が含まれています")},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Message.toStdString());
        w.Reporter.Messages.clear();
        form3->Edit1->setText(row.Name);
        form3->Edit2->setText(row.Url);
        form3->Button8->click();
        EXPECT_EQ(w.Reporter.Messages, QStringList{row.Message});
        EXPECT_EQ(ListNames(), (QStringList{"a", "b", "c"}));
        EXPECT_EQ(Highlighted(), 0);
    }
    form3->OK->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,ua\r\nb,ub\r\nc,uc\r\n");
}

TEST_F(Form3Test, KindSwitchWritesAllFilesAndCancelKeepsThem)
{
    Open();
    ClickRow(2);
    form3->Button2->click();  // a|c|b
    // A file changed behind the organizer's back: the switch writes the
    // organizer's copy first, so the change is gone.
    w.Dir.Write("exhibit.ini", "e1,y1\r\nlater\r\n");
    form3->Button5->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,ua\r\nc,uc\r\nb,ub\r\n");
    EXPECT_EQ(w.Dir.Read("username.ini"), "u1,x1\r\nu2,x2\r\n");
    EXPECT_EQ(w.Dir.Read("exhibit.ini"), "e1,y1\r\n");
    EXPECT_EQ(ListNames(), (QStringList{"u1", "u2"}));
    EXPECT_FALSE(form3->Model().CurrentEntry());
    form3->Button1->click();  // nothing current after a switch
    EXPECT_EQ(ListNames(), (QStringList{"u1", "u2"}));

    ClickRow(1);
    form3->Button1->click();
    form3->Button7->click();  // Cancel: the deletion since the switch is lost
    EXPECT_EQ(w.Dir.Read("username.ini"), "u1,x1\r\nu2,x2\r\n");
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,ua\r\nc,uc\r\nb,ub\r\n");
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form3->isVisible());
    // The tree was not reloaded: it still shows the old order.
    EXPECT_EQ(w.TreeNames(0), (QStringList{"a", "b", "c"}));
}

TEST_F(Form3Test, OkSavesAndReloadsTheTree)
{
    Open();
    form3->Button6->click();
    ClickRow(0);
    form3->Button1->click();
    form3->OK->click();
    EXPECT_EQ(w.Dir.Read("exhibit.ini"), "");
    EXPECT_EQ(w.Dir.Read("search.ini"), "a,ua\r\nb,ub\r\nc,uc\r\n");
    EXPECT_TRUE(w.TreeNames(2).isEmpty());
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form3->isVisible());
    EXPECT_TRUE(w.Reporter.Errors.isEmpty());
}

TEST_F(Form3Test, UnreadableFileOnShowIsReportedAndNothingIsOverwritten)
{
    w.Start();
    w.Dir.Remove("search.ini");
    form3 = std::make_unique<TForm3>(*w.Form1);
    form3->show();
    EXPECT_EQ(w.Reporter.Errors, QStringList{QStringLiteral("search.ini: ファイルが見つかりません")});
    EXPECT_TRUE(form3->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());
    EXPECT_TRUE(ListNames().isEmpty());
    form3->OK->click();
    EXPECT_EQ(w.Dir.Read("username.ini"), "u1,x1\r\nu2,x2\r\n");
    EXPECT_EQ(w.Dir.Read("exhibit.ini"), "e1,y1\r\n");
    EXPECT_FALSE(w.Dir.Exists("search.ini"));
    // The tree's reload fails on the same file: the dialog stays.
    EXPECT_TRUE(form3->isVisible());
    form3->close();
    EXPECT_TRUE(w.Form1->isEnabled());
}

TEST_F(Form3Test, KeyboardPicksButFocusAloneDoesNot)
{
    Open();
    form3->activateWindow();
    form3->ListBox1->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(form3->Model().CurrentEntry());
    QTest::keyClick(form3->ListBox1, Qt::Key_Down);
    QTest::keyClick(form3->ListBox1, Qt::Key_Down);
    ASSERT_TRUE(form3->Model().CurrentEntry());
    EXPECT_EQ(form3->Edit1->text(), form3->ListBox1->item(Highlighted())->text());
}

TEST_F(Form3Test, LongListsOpenAndSave)
{
    std::string content;
    for (int i = 0; i < 150; ++i)
        content += "n" + std::to_string(i) + ",u\r\n";
    w.Dir.Write("search.ini", content);
    Open();
    EXPECT_EQ(form3->ListBox1->count(), 150);
    form3->OK->click();
    EXPECT_EQ(w.Dir.Read("search.ini"), content);
}

TEST_F(Form3Test, WindowLayoutAndPicture)
{
    w.Dir.Write("search.ini", "\x83\x65\x83\x58\x83\x67,u\r\n\x83\x4A\x83\x81\x83\x89,u\r\nabc,u\r\n");
    Open();
    ClickRow(1);
    EXPECT_EQ(form3->windowTitle(), QStringLiteral("お気に入りの整理"));
    EXPECT_EQ(form3->size(), QSize(TForm3::kClientWidth, TForm3::kClientHeight));
    EXPECT_EQ(form3->minimumSize(), form3->maximumSize());
    EXPECT_EQ(form3->parentWidget(), nullptr);
    EXPECT_TRUE(form3->isEnabled());
    EXPECT_EQ(form3->Edit1->text(), QStringLiteral("カメラ"));
    EXPECT_LT(form3->Button7->x(), form3->OK->x());
    EXPECT_TRUE(QFontMetrics(form3->font()).inFont(QChar(0x691C)));
    const QImage picture = SaveArtifact(form3.get(), QStringLiteral("form3-organizer"));
    EXPECT_EQ(picture.size(), QSize(TForm3::kClientWidth, TForm3::kClientHeight));
}

}  // namespace
