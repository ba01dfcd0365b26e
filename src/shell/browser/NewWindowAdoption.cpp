#include "shell/browser/NewWindowAdoption.h"

#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineSettings>

namespace newwindow {

void Prepare(QWebEnginePage* page) { page->triggerAction(QWebEnginePage::NoWebAction); }

// Changing a setting (to the value it has) makes the settings apply
// themselves to the page's contents on a zero timer of their own; a zero
// timer started after it fires after it.
void Adopted(QWebEnginePage* page, std::function<void()> show)
{
    QWebEngineSettings* settings = page->settings();
    const auto attribute = QWebEngineSettings::JavascriptCanOpenWindows;
    settings->setAttribute(attribute, settings->testAttribute(attribute));
    auto* applied = new QTimer(page);
    applied->setSingleShot(true);
    applied->setInterval(0);
    QObject::connect(applied, &QTimer::timeout, page, [applied, show = std::move(show)] {
        applied->deleteLater();
        show();
    });
    applied->start();
}

}  // namespace newwindow
