// A main window for dialog tests: a temporary data directory holding the
// five data files, the fake browser and a recording reporter. Also saves
// pictures of windows as test artifacts.
#pragma once

#include "shell/Unit1.h"
#include "support/FakeBrowser.h"
#include "support/RecordingReporter.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QTreeWidget>
#include <QWidget>
#include <memory>

// The names under a kind node of a main window's tree.
inline QStringList TreeNames(const TForm1& form, int kind)
{
    QStringList names;
    const QTreeWidgetItem* node = form.TreeView1->topLevelItem(kind);
    for (int i = 0; node && i < node->childCount(); ++i)
        names.append(node->child(i)->text(0));
    return names;
}

// The texts of a list box's items, in order.
inline QStringList ItemTexts(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

class TDialogTestWindow {
public:
    // Writes the data files (empty favorites, three empty accounts, options
    // 0,0,0) unless a test wrote them first, then creates the main window.
    void Start()
    {
        const auto ensure = [this](const char* name, const char* bytes) {
            if (!Dir.Exists(name))
                Dir.Write(name, bytes);
        };
        ensure("search.ini", "");
        ensure("username.ini", "");
        ensure("exhibit.ini", "");
        ensure("login.ini", ",\r\n,\r\n,\r\n");
        ensure("option.ini", "0,0,0\r\n");
        auto browser = std::make_unique<TFakeBrowser>();
        Browser = browser.get();
        Form1 = std::make_unique<TForm1>(TEndpoints::Defaults(), std::move(browser), Reporter, Dir.path());
        Form1->show();
    }

    // The names under a kind node of the main window's tree.
    QStringList TreeNames(int kind) const { return ::TreeNames(*Form1, kind); }

    testfiles::TTempDir Dir;
    TRecordingReporter Reporter;
    TFakeBrowser* Browser = nullptr;  // owned by Form1
    std::unique_ptr<TForm1> Form1;
};

// The widgets that Tab visits, in order, going round the focus chain from
// first. Like Tab itself it passes over a widget that hands its focus to a
// proxy (an editable combo box's line edit hands it to the combo box).
inline QList<QWidget*> TabChain(QWidget* first)
{
    QList<QWidget*> chain;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->isEnabled() && w->isVisibleTo(w->window()))
            chain.append(w);
        w = w->nextInFocusChain();
    } while (w && w != first);
    return chain;
}

// Saves a picture of a window to <build>/artifacts/<name>.png and returns it.
inline QImage SaveArtifact(QWidget* window, const QString& name)
{
    const QImage image = window->grab().toImage();
    const QString dir = QStringLiteral(LOTSCOPE_ARTIFACT_DIR);
    QDir().mkpath(dir);
    image.save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    return image;
}
