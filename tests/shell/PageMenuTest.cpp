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
    const QStringList link = {"リンクのアドレスをコピー", "リンク先を保存..."},
                      image = {"画像をコピー", "画像を保存..."};
    const std::tuple<const char*, TPageMenuContext, QStringList> rows[] = {
        {"page", {}, tail},
        {"link", {.Link = true}, link + tail},
        {"linked image", {.Link = true, .Image = true}, link + image + tail},
        {"selection", {.Selection = true}, QStringList{"コピー"} + tail},
        {"text field",
         {.Editable = true},
         {"切り取り", "コピー", "貼り付け", "すべて選択", "戻る", "進む", "再読み込み", "印刷..."}},
        {"selection in a text field",
         {.Editable = true, .Selection = true},
         {"切り取り", "コピー", "貼り付け", "すべて選択", "戻る", "進む", "再読み込み", "印刷..."}},
    };
    QWebEngineProfile profile;
    QWebEnginePage page(&profile);
    TPageQuestions::Attach(&page);
    QWidget parent;
    for (const auto& [name, context, actions] : rows) {
        QMenu* menu = BuildPageMenu(&page, context, &parent);
        QStringList texts;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text();
            if (action->text() == "戻る")  // a fresh page has nowhere to go back to
                EXPECT_FALSE(action->isEnabled()) << name;
        }
        EXPECT_EQ(texts.join(" | ").toStdString(), actions.join(" | ").toStdString()) << name;
        delete menu;
    }
}

}  // namespace
