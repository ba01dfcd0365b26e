// The page menu: only what makes sense in the one view, in Japanese, for
// what was under the pointer.
#include "shell/browser/PageMenu.h"
#include "shell/browser/PageQuestions.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

TEST(PageMenu, ActionsForWhatIsUnderThePointer)
{
    const QStringList tail = {"戻る", "進む", "再読み込み", "すべて選択", "印刷..."};
    struct Row {
        const char* name;
        TPageMenuContext context;
        QStringList actions;
    };
    const Row rows[] = {
        {"page", {}, tail},
        {"link", {.Link = true}, QStringList{"リンクのアドレスをコピー", "リンク先を保存..."} + tail},
        {"image", {.Image = true}, QStringList{"画像をコピー", "画像を保存..."} + tail},
        {"linked image", {.Link = true, .Image = true},
         QStringList{"リンクのアドレスをコピー", "リンク先を保存...", "画像をコピー", "画像を保存..."} + tail},
        {"selection", {.Selection = true}, QStringList{"コピー"} + tail},
        {"text field", {.Editable = true, .Selection = true},
         {"切り取り", "コピー", "貼り付け", "すべて選択", "戻る", "進む", "再読み込み", "印刷..."}},
    };
    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    TPageQuestions::Attach(&page);
    QWidget parent;
    for (const Row& row : rows) {
        QMenu* menu = BuildPageMenu(&page, row.context, &parent);
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                texts << action->text();
        EXPECT_EQ(texts.join(" | ").toStdString(), row.actions.join(" | ").toStdString()) << row.name;
        // A fresh page has nowhere to go back or forward to.
        for (QAction* action : menu->actions())
            if (action->text() == "戻る" || action->text() == "進む")
                EXPECT_FALSE(action->isEnabled()) << row.name;
        delete menu;
    }
}

}  // namespace
