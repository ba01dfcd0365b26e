// The program's five windows as main creates them: each command of the main
// window shows its dialog, which disables the main window until it closes;
// the dialogs are owned by the main window, and a click on the disabled main
// window brings the open one to the front.
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
    TLotscopeWindows w = CreateWindows(TEndpoints::Defaults(), new TFakeBrowser, reporter, dir.path());
    w.Form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.Form1.get()));

    struct TRow {
        const char* Label;
        std::function<void()> Command;
        QWidget* Dialog;
        QString Title;
    };
    const TRow rows[] = {
        {"m_YahooID", [&] { w.Form1->m_YahooID->trigger(); }, w.Form2.get(), QStringLiteral("Yahoo!IDの登録")},
        {"m_favedit", [&] { w.Form1->m_favedit->trigger(); }, w.Form3.get(), QStringLiteral("お気に入りの整理")},
        {"m_favadd", [&] { w.Form1->m_favadd->trigger(); }, w.Form4.get(), QStringLiteral("お気に入りの追加")},
        {"ToolButton4", [&] { w.Form1->ToolButton4->click(); }, w.Form4.get(), QStringLiteral("お気に入りの追加")},
        {"m_option", [&] { w.Form1->m_option->trigger(); }, w.Form5.get(), QStringLiteral("オプション設定")},
    };
    int shift = 0;
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        EXPECT_FALSE(row.Dialog->isVisible());
        w.Form1->move(20 + 40 * shift, 10 + 30 * shift);
        ++shift;
        row.Command();
        EXPECT_TRUE(row.Dialog->isVisible());
        EXPECT_EQ(row.Dialog->windowTitle(), row.Title);
        EXPECT_FALSE(w.Form1->isEnabled());
        EXPECT_TRUE(row.Dialog->isEnabled());
        // Owned by the main window: a dialog window above it, centred on it.
        EXPECT_EQ(row.Dialog->parentWidget(), w.Form1.get());
        EXPECT_EQ(row.Dialog->windowType(), Qt::Dialog);
        EXPECT_EQ(row.Dialog->windowHandle()->transientParent(), w.Form1->windowHandle());
        EXPECT_LE((row.Dialog->frameGeometry().center() - w.Form1->frameGeometry().center()).manhattanLength(), 2);
        // A click on the disabled main window brings the dialog to the front.
        w.Form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == w.Form1.get(); }));
        QTest::mouseClick(w.Form1->windowHandle(), Qt::LeftButton, {}, QPoint(300, 300));
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == row.Dialog; }));
        row.Dialog->close();
        EXPECT_FALSE(row.Dialog->isVisible());
        EXPECT_TRUE(w.Form1->isEnabled());
    }
    EXPECT_TRUE(reporter.Errors.isEmpty()) << reporter.Errors.join("\n").toStdString();
    // Nothing was written by showing and closing.
    EXPECT_EQ(dir.Read("login.ini"), "id,\r\n,\r\n,\r\n");
    EXPECT_EQ(dir.Read("option.ini"), "0,0,0\r\n");
}

}  // namespace
