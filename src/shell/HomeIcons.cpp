// Writes the main window's painted icons as PNG files for the bundled home
// page, which shows the toolbar it explains. Run at build time, offscreen:
//   lotscope_home_icons OUTPUT-FOLDER
#include "ui/ShellIcons.h"

#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: lotscope_home_icons OUTPUT-FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral(".")))
        return 1;
    // The file names the page refers to, in the order of the image lists.
    const struct {
        QList<QIcon> icons;
        QStringList names;
    } lists[] = {
        {MakeImageList1(), {"entry", "folder"}},
        {MakeImageList2(), {"back", "forward", "reload", "add", "login", "watch", "selling", "bidding", "outside"}},
        {MakeImageList3(), {"search-amazon", "search-kakaku", "search-aucfan", "search-auction"}},
    };
    // Twice the toolbar's size, so the page stays sharp on a dense screen.
    for (const auto& list : lists)
        for (qsizetype i = 0; i < list.names.size(); ++i)
            if (!list.icons.value(i).pixmap(32, 32).save(out.filePath(list.names[i] + QStringLiteral(".png")))) {
                std::fprintf(stderr, "cannot write %s.png\n", qPrintable(list.names[i]));
                return 1;
            }
    return 0;
}
