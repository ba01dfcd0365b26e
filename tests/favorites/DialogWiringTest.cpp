// The program's five windows as main creates them: each command of the main
// window shows its dialog, which disables the main window until it closes;
// the dialogs are owned by the main window, made the first time they are
// opened, and a click on the disabled main window brings the open one to the
// front.
#include "app/LotscopeWindows.h"

#include "support/FakeBrowser.h"
#include "support/RecordingReporter.h"
#include "support/TestFiles.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>

namespace {

TEST(DialogWiring, EveryCommandShowsItsDialog)
{
    testfiles::TTempDir dir;
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini"})
        dir.Write(name, "");
    dir.Write("login.ini", "id,\r\n,\r\n,\r\n");
    dir.Write("option.ini", "0,0,0\r\n");
    TRecordingReporter reporter;
    TLotscopeWindows w = CreateWindows(TEndpoints::Defaults(), std::make_unique<TFakeBrowser>(), reporter, dir.path());
    w.Form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.Form1.get()));

    const auto windowsOwned = [&] {
        QList<QWidget*> owned;
        for (QWidget* child : w.Form1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isWindow())
                owned.append(child);
        return owned;
    };
    // No dialog is built before it is opened.
    EXPECT_TRUE(windowsOwned().isEmpty());

    struct TRow {
        const char* Label;
        std::function<void()> Command;
        TForm1::TDialog Which;
        QString Title;
        qsizetype DialogsMade;  // after the command
    };
    const TRow rows[] = {
        {"m_YahooID", [&] { w.Form1->m_YahooID->trigger(); }, TForm1::TDialog::Form2, QStringLiteral("Yahoo!IDの登録"),
         1},
        {"m_favedit", [&] { w.Form1->m_favedit->trigger(); }, TForm1::TDialog::Form3,
         QStringLiteral("お気に入りの整理"), 2},
        {"m_favadd", [&] { w.Form1->m_favadd->trigger(); }, TForm1::TDialog::Form4, QStringLiteral("お気に入りの追加"),
         3},
        {"ToolButton4", [&] { w.Form1->ToolButton4->click(); }, TForm1::TDialog::Form4,
         QStringLiteral("お気に入りの追加"), 3},
        {"m_option", [&] { w.Form1->m_option->trigger(); }, TForm1::TDialog::Form5, QStringLiteral("オプション設定"),
         4},
    };
    int shift = 0;
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        w.Form1->move(20 + 40 * shift, 10 + 30 * shift);
        ++shift;
        row.Command();
        EXPECT_EQ(windowsOwned().size(), row.DialogsMade);
        QWidget* const dialog = w.Form1->Dialog(row.Which);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->windowTitle(), row.Title);
        EXPECT_FALSE(w.Form1->isEnabled());
        EXPECT_TRUE(dialog->isEnabled());
        // Owned by the main window: a dialog window above it, centred on it.
        EXPECT_EQ(dialog->parentWidget(), w.Form1.get());
        EXPECT_EQ(dialog->windowType(), Qt::Dialog);
        EXPECT_EQ(dialog->windowHandle()->transientParent(), w.Form1->windowHandle());
        EXPECT_LE((dialog->frameGeometry().center() - w.Form1->frameGeometry().center()).manhattanLength(), 2);
        // A click on the disabled main window brings the dialog to the front.
        w.Form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w.Form1.get(); }));
        QTest::mouseClick(w.Form1->windowHandle(), Qt::LeftButton, {}, QPoint(300, 300));
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog; }));
        dialog->close();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(w.Form1->isEnabled());
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("\n").toStdString();
    // Nothing was written by showing and closing.
    EXPECT_EQ(dir.Read("login.ini"), "id,\r\n,\r\n,\r\n");
    EXPECT_EQ(dir.Read("option.ini"), "0,0,0\r\n");
}

// Esc closes a dialog as its キャンセル does; Enter in an edit box presses
// its OK (登録), Enter on a button presses that button. The options dialog
// keeps to its buttons.
TEST(DialogWiring, EscAndEnterInTheDialogs)
{
    testfiles::TTempDir dir;
    TRecordingReporter reporter;
    TLotscopeWindows w;
    const auto restart = [&] {
        for (const char* name : {"search.ini", "username.ini", "exhibit.ini"})
            dir.Write(name, "");
        dir.Write("login.ini", "id,\r\n,\r\n,\r\n");
        dir.Write("option.ini", "0,0,0\r\n");
        w = CreateWindows(TEndpoints::Defaults(), std::make_unique<TFakeBrowser>(), reporter, dir.path());
        w.Form1->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.Form1.get()));
    };
    const auto field = [&](QWidget* dialog, const char* name) { return dialog->findChild<QWidget*>(name); };

    struct TRow {
        const char* Label;
        QAction*(TForm1::*Command);
        TForm1::TDialog Which;
        const char* Focus;  // object name in the dialog
        Qt::Key Key;
        bool Closes;
        const char* File;
        std::optional<std::string> Bytes;  // what the file holds after the key; nullopt: rewritten
    };
    const TRow rows[] = {
        {"ID dialog: Esc cancels", &TForm1::m_YahooID, TForm1::TDialog::Form2, "Edit1", Qt::Key_Escape, true,
         "login.ini", "id,\r\n,\r\n,\r\n"},
        {"ID dialog: Enter registers", &TForm1::m_YahooID, TForm1::TDialog::Form2, "Edit2", Qt::Key_Return, true,
         "login.ini", std::nullopt},
        {"ID dialog: Enter on キャンセル cancels", &TForm1::m_YahooID, TForm1::TDialog::Form2, "Button2",
         Qt::Key_Return, true, "login.ini", "id,\r\n,\r\n,\r\n"},
        {"organizer: Esc cancels", &TForm1::m_favedit, TForm1::TDialog::Form3, "ListBox1", Qt::Key_Escape, true,
         "search.ini", ""},
        {"organizer: Enter in the name box is OK", &TForm1::m_favedit, TForm1::TDialog::Form3, "Edit1", Qt::Key_Enter,
         true, "search.ini", ""},
        {"add dialog: Esc cancels", &TForm1::m_favadd, TForm1::TDialog::Form4, "Edit1", Qt::Key_Escape, true,
         "search.ini", ""},
        {"add dialog: Enter in the URL box is OK", &TForm1::m_favadd, TForm1::TDialog::Form4, "Edit2", Qt::Key_Return,
         true, "search.ini", "n,http://u/\r\n"},
        {"add dialog: Enter in the kind box is OK", &TForm1::m_favadd, TForm1::TDialog::Form4, "ComboBox1",
         Qt::Key_Return, true, "search.ini", "n,http://u/\r\n"},
        {"options: Esc does nothing", &TForm1::m_option, TForm1::TDialog::Form5, "Button1", Qt::Key_Escape, false,
         "option.ini", "0,0,0\r\n"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        restart();
        (w.Form1.get()->*row.Command)->trigger();
        QWidget* const dialog = w.Form1->Dialog(row.Which);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
        if (row.Which == TForm1::TDialog::Form4) {
            static_cast<QLineEdit*>(field(dialog, "Edit1"))->setText("n");
            static_cast<QLineEdit*>(field(dialog, "Edit2"))->setText("http://u/");
        }
        QWidget* const focus = field(dialog, row.Focus);
        ASSERT_NE(focus, nullptr);
        dialog->activateWindow();
        focus->setFocus();
        QTest::keyClick(focus, row.Key);
        EXPECT_EQ(dialog->isVisible(), !row.Closes);
        EXPECT_EQ(w.Form1->isEnabled(), row.Closes);
        if (row.Bytes)
            EXPECT_EQ(dir.Read(row.File), *row.Bytes);
        else
            EXPECT_NE(dir.Read(row.File), "id,\r\n,\r\n,\r\n");
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("\n").toStdString();
}

// A screen reader names what the labels leave open.
TEST(DialogWiring, AccessibleNamesInTheDialogs)
{
    testfiles::TTempDir dir;
    for (const char* name : {"search.ini", "username.ini", "exhibit.ini"})
        dir.Write(name, "");
    dir.Write("login.ini", ",\r\n,\r\n,\r\n");
    dir.Write("option.ini", "0,0,0\r\n");
    TRecordingReporter reporter;
    TLotscopeWindows w = CreateWindows(TEndpoints::Defaults(), std::make_unique<TFakeBrowser>(), reporter, dir.path());
    const struct {
        QWidget* Dialog;
        const char* Control;
        QString Name;
    } rows[] = {
        {w.Form2(), "Edit2", "ID 1 のパスワード"}, {w.Form2(), "Edit4", "ID 2 のパスワード"},
        {w.Form2(), "Edit6", "ID 3 のパスワード"}, {w.Form3(), "ListBox1", "お気に入りの一覧"},
        {w.Form3(), "Button2", "上へ移動"},        {w.Form3(), "Button3", "下へ移動"},
    };
    for (const auto& row : rows) {
        const QWidget* control = row.Dialog->findChild<QWidget*>(row.Control);
        ASSERT_NE(control, nullptr) << row.Control;
        EXPECT_EQ(control->accessibleName(), row.Name) << row.Control;
    }
}

}  // namespace
