// Draws the program's icon (an SVG picture) in the sizes a window manager
// asks for, as bare pixels (premultiplied RGBA, row by row): the running
// program shows it without an SVG renderer or an image decoder, whose
// plug-ins would be loaded at every start. Run at build time, offscreen:
//   lotscope_window_icons PICTURE.svg OUTPUT-FOLDER
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: lotscope_window_icons PICTURE.svg OUTPUT-FOLDER\n");
        return 2;
    }
    QSvgRenderer picture(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (!picture.isValid() || !out.mkpath(QStringLiteral(".")))
        return 1;
    for (const int side : {16, 32, 48, 64, 128}) {
        QImage image(side, side, QImage::Format_RGBA8888_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        picture.render(&painter);
        painter.end();
        const QString name = QStringLiteral("lotscope-%1.rgba").arg(side);
        QFile file(out.filePath(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) != image.sizeInBytes() ||
            !file.flush()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
            return 1;
        }
    }
    return 0;
}
