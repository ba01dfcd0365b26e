// The page's right-click menu, the program's own and in Japanese: only what
// makes sense in the one view (history, editing, links and images, print),
// never the page's source, a saved copy of the page, the inspector or
// another window.
#pragma once

class QMenu;
class QWebEnginePage;
class QWebEngineView;
class QWidget;

// What was under the pointer.
struct TPageMenuContext {
    bool Link = false;       // a link
    bool Image = false;      // an image
    bool Editable = false;   // a text field
    bool Selection = false;  // selected text
};

// The menu for page in context; its actions act on that page. Owned by
// parent.
QMenu* BuildPageMenu(QWebEnginePage* page, const TPageMenuContext& context, QWidget* parent);

// Shows the menu on view's right click, for the page shown at that moment.
void InstallPageMenu(QWebEngineView* view);
