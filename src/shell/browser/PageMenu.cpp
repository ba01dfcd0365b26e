#include "shell/browser/PageMenu.h"

#include "shell/browser/PageQuestions.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QWebEngineContextMenuRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

// An item that triggers the engine's action on page while the engine
// allows it.
void AddEngineAction(QMenu* menu, QWebEnginePage* page, QWebEnginePage::WebAction action, const QString& text)
{
    QAction* item = menu->addAction(text);
    item->setEnabled(page->action(action)->isEnabled());
    QPointer<QWebEnginePage> target(page);
    QObject::connect(item, &QAction::triggered, menu, [target, action] {
        if (target)
            target->triggerAction(action);
    });
}

}  // namespace

QMenu* BuildPageMenu(QWebEnginePage* page, const TPageMenuContext& context, QWidget* parent)
{
    using A = QWebEnginePage;
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("PageMenu"));
    if (context.Link) {
        AddEngineAction(menu, page, A::CopyLinkToClipboard, QStringLiteral("リンクのアドレスをコピー"));
        AddEngineAction(menu, page, A::DownloadLinkToDisk, QStringLiteral("リンク先を保存..."));
        menu->addSeparator();
    }
    if (context.Image) {
        AddEngineAction(menu, page, A::CopyImageToClipboard, QStringLiteral("画像をコピー"));
        AddEngineAction(menu, page, A::DownloadImageToDisk, QStringLiteral("画像を保存..."));
        menu->addSeparator();
    }
    if (context.Editable) {
        AddEngineAction(menu, page, A::Cut, QStringLiteral("切り取り"));
        AddEngineAction(menu, page, A::Copy, QStringLiteral("コピー"));
        AddEngineAction(menu, page, A::Paste, QStringLiteral("貼り付け"));
        AddEngineAction(menu, page, A::SelectAll, QStringLiteral("すべて選択"));
        menu->addSeparator();
    } else if (context.Selection) {
        AddEngineAction(menu, page, A::Copy, QStringLiteral("コピー"));
        menu->addSeparator();
    }
    AddEngineAction(menu, page, A::Back, QStringLiteral("戻る"));
    AddEngineAction(menu, page, A::Forward, QStringLiteral("進む"));
    AddEngineAction(menu, page, A::Reload, QStringLiteral("再読み込み"));
    if (!context.Editable)
        AddEngineAction(menu, page, A::SelectAll, QStringLiteral("すべて選択"));
    menu->addSeparator();
    QAction* print = menu->addAction(QStringLiteral("印刷..."));
    QPointer<QWebEnginePage> target(page);
    QObject::connect(print, &QAction::triggered, menu, [target] {
        if (TPageQuestions* questions = TPageQuestions::Of(target))
            questions->Print();
    });
    return menu;
}

void InstallPageMenu(QWebEngineView* view)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, view, [view](const QPoint& position) {
        const QWebEngineContextMenuRequest* request = view->lastContextMenuRequest();
        if (!request || !view->page())
            return;
        TPageMenuContext context;
        context.Link = !request->linkUrl().isEmpty();
        context.Image = request->mediaType() == QWebEngineContextMenuRequest::MediaTypeImage;
        context.Editable = request->isContentEditable();
        context.Selection = !request->selectedText().isEmpty();
        QMenu* menu = BuildPageMenu(view->page(), context, view);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(view->mapToGlobal(position));
    });
}
