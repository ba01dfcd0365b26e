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

}  // namespace
