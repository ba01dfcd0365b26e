// TForm5, the options dialog, driven through its controls.
#include "options/Unit5.h"

#include "support/DialogTestWindow.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class Form5Test : public ::testing::Test {
protected:
    void Open()
    {
        if (!w.Form1) {
            w.Start();
            form5 = std::make_unique<TForm5>(*w.Form1);
        }
        form5->show();
    }
    TDialogTestWindow w;
    std::unique_ptr<TForm5> form5;
};

TEST_F(Form5Test, ShowSetsTheBoxesFromTheFile)
{
    struct TRow {
        const char* Label;
        const char* File;  // nullptr: no file
        TOptionChecks Before;
        TOptionChecks After;
        QString Error;
    };
    const TRow rows[] = {
        {"1,0,1", "1,0,1\r\n", {false, true, false}, {true, false, true}, ""},
        {"empty file", "", {true, true, true}, {false, false, false}, ""},
        {"2 leaves box 1", "2,1,1\r\n", {true, false, false}, {true, true, true}, ""},
        {"later lines are not read", "0,0,0\r\n1,1,1\r\n", {true, true, true}, {false, false, false}, ""},
        {"separator after field 3",
         "1,1,1,\r\n",
         {false, true, false},
         {false, true, false},
         QStringLiteral("option.ini (1 行目): '1,' は整数ではありません")},
        {"two fields",
         "1,1\r\n",
         {false, false, true},
         {false, false, true},
         QStringLiteral("option.ini (1 行目): '' は整数ではありません")},
        {"a bad second line is not read", "1,1,1\r\nx\r\n", {false, false, false}, {true, true, true}, ""},
        {"no file",
         nullptr,
         {true, false, true},
         {true, false, true},
         QStringLiteral("option.ini: ファイルが見つかりません")},
    };
    w.Start();
    form5 = std::make_unique<TForm5>(*w.Form1);
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        w.Reporter.Errors.clear();
        if (row.File)
            w.Dir.Write("option.ini", row.File);
        else
            w.Dir.Remove("option.ini");
        form5->CheckBox1->setChecked(row.Before[0]);
        form5->CheckBox2->setChecked(row.Before[1]);
        form5->CheckBox3->setChecked(row.Before[2]);
        form5->show();
        EXPECT_EQ(form5->Checks(), row.After);
        EXPECT_EQ(w.Reporter.Errors, row.Error.isEmpty() ? QStringList{} : QStringList{row.Error});
        EXPECT_TRUE(form5->isVisible());
        EXPECT_FALSE(w.Form1->isEnabled());
        form5->Button2->click();
    }
}

TEST_F(Form5Test, OkWritesOneLineAndSetsTheFlagAtOnce)
{
    Open();
    EXPECT_EQ(w.Form1->BidRestraintFlag, 0);
    form5->CheckBox1->setChecked(true);
    form5->CheckBox2->setChecked(true);
    form5->CheckBox3->setChecked(true);
    form5->Button1->click();
    EXPECT_EQ(w.Dir.Read("option.ini"), "1,1,1\r\n");
    EXPECT_EQ(w.Form1->BidRestraintFlag, 1);
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form5->isVisible());

    Open();
    form5->CheckBox2->setChecked(false);
    form5->CheckBox3->setChecked(false);
    form5->Button1->click();
    EXPECT_EQ(w.Dir.Read("option.ini"), "1,0,0\r\n");
    EXPECT_EQ(w.Form1->BidRestraintFlag, 0);

    // OK creates the file when it was missing.
    w.Dir.Remove("option.ini");
    Open();
    form5->Button1->click();
    EXPECT_EQ(w.Dir.Read("option.ini"), "1,0,0\r\n");
}

TEST_F(Form5Test, FailedWriteKeepsTheDialogAndTheFlag)
{
    w.Dir.Write("option.ini", "0,0,1\r\n");
    Open();
    EXPECT_EQ(w.Form1->BidRestraintFlag, 1);
    w.Dir.Remove("option.ini");
    std::filesystem::create_directory(w.Dir.path() / "option.ini");
    form5->CheckBox3->setChecked(false);
    form5->Button1->click();
    EXPECT_EQ(w.Reporter.Errors.size(), 1);
    EXPECT_EQ(w.Form1->BidRestraintFlag, 1);
    EXPECT_TRUE(form5->isVisible());
    EXPECT_FALSE(w.Form1->isEnabled());
    form5->close();
    EXPECT_TRUE(w.Form1->isEnabled());
}

TEST_F(Form5Test, CancelAndCloseBoxChangeNothing)
{
    w.Dir.Write("option.ini", "0,1,0\r\n");
    Open();
    form5->CheckBox3->setChecked(true);
    form5->Button2->click();
    EXPECT_EQ(w.Dir.Read("option.ini"), "0,1,0\r\n");
    EXPECT_EQ(w.Form1->BidRestraintFlag, 0);
    EXPECT_TRUE(w.Form1->isEnabled());
    EXPECT_FALSE(form5->isVisible());
    // The next show reads the file again...
    Open();
    EXPECT_EQ(form5->Checks(), (TOptionChecks{false, true, false}));
    // ...and without a file the boxes keep the toggled state.
    form5->CheckBox1->setChecked(true);
    QPointer<TForm5> alive(form5.get());
    form5->close();
    EXPECT_TRUE(alive);
    EXPECT_TRUE(w.Form1->isEnabled());
    w.Dir.Remove("option.ini");
    Open();
    EXPECT_EQ(form5->Checks(), (TOptionChecks{true, true, false}));
}

TEST_F(Form5Test, WindowLayoutTabOrderAndPicture)
{
    w.Dir.Write("option.ini", "1,0,1\r\n");
    Open();
    EXPECT_EQ(form5->windowTitle(), QStringLiteral("オプション設定"));
    EXPECT_EQ(form5->size(), QSize(TForm5::kClientWidth, TForm5::kClientHeight));
    EXPECT_EQ(form5->minimumSize(), form5->maximumSize());
    EXPECT_EQ(form5->parentWidget(), nullptr);
    EXPECT_TRUE(form5->isEnabled());
    // Designed at 16, 32, 225 x 17; only a wider font widens it.
    EXPECT_EQ(form5->CheckBox1->pos(), QPoint(16, 32));
    EXPECT_EQ(form5->CheckBox1->height(), 17);
    EXPECT_GE(form5->CheckBox1->width(), 225);
    EXPECT_GE(form5->CheckBox1->width(), form5->CheckBox1->sizeHint().width());
    EXPECT_EQ(form5->Button1->geometry(), QRect(240, 184, 75, 25));
    EXPECT_EQ(TabChain(form5->CheckBox3),
              (QList<QWidget*>{form5->CheckBox3, form5->CheckBox1, form5->Button1, form5->Button2, form5->CheckBox2}));
    EXPECT_TRUE(QFontMetrics(form5->font()).inFont(QChar(0x5165)));  // 入
    const QImage picture = SaveArtifact(form5.get(), QStringLiteral("form5-options"));
    EXPECT_EQ(picture.size(), QSize(TForm5::kClientWidth, TForm5::kClientHeight));
}

}  // namespace
