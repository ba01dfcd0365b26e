#include "ui/ShellIcons.h"

#include <QApplication>
#include <QFont>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPolygonF>
#include <QProxyStyle>
#include <QStyleOption>
#include <functional>
#include <initializer_list>

namespace {

using TDraw = std::function<void(QPainter&)>;

// An icon painted from a drawing on a 16 x 16 grid, at whatever size is
// asked for; disabled icons are drawn faded.
class TPaintedIconEngine final : public QIconEngine {
public:
    explicit TPaintedIconEngine(TDraw draw) : m_draw(std::move(draw)) { }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::TextAntialiasing);
        const qreal side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 16.0, side / 16.0);
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        m_draw(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        paint(&p, QRect(QPoint(0, 0), size), mode, state);
        return pm;
    }

    QIconEngine* clone() const override { return new TPaintedIconEngine(m_draw); }

private:
    TDraw m_draw;
};

QIcon Painted(TDraw draw) { return QIcon(new TPaintedIconEngine(std::move(draw))); }

// Text as an outline centred in the 16 x 16 cell, scaled to fill height h,
// drawn bold by stroking the outline rather than by loading the bold face
// (the bold Japanese face would cost megabytes of memory for four icons).
// Letters come from the Japanese face the window already shows, so no
// further font file is opened for them; only "e" keeps its serifs.
void DrawGlyphs(QPainter& p, const QString& text, const QColor& color, qreal h,
                const QString& family = QStringLiteral("Noto Sans CJK JP"))
{
    QFont font(family);
    font.setPixelSize(100);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    const qreal scale = qMin(h / box.height(), 15.0 / box.width());
    QTransform t;
    t.translate(8, 8);
    t.scale(scale, scale);
    t.translate(-box.center().x(), -box.center().y());
    p.setPen(QPen(color, 0.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    p.drawPath(t.map(path));
}

// A closed outline through the given corners.
QPainterPath Polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(corners));
    path.closeSubpath();
    return path;
}

const QColor kArrowGreen(0x1f, 0x8a, 0x2e);
const QColor kInk(0x20, 0x30, 0x60);

void DrawArrow(QPainter& p, bool left)
{
    QPainterPath arrow = Polygon({{2, 8}, {8, 2.5}, {8, 5.5}, {14, 5.5}, {14, 10.5}, {8, 10.5}, {8, 13.5}});
    if (!left) {
        QTransform mirror(-1, 0, 0, 1, 16, 0);
        arrow = mirror.map(arrow);
    }
    p.setPen(QPen(kArrowGreen.darker(140), 0.8));
    p.setBrush(kArrowGreen);
    p.drawPath(arrow);
}

void DrawReload(QPainter& p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kArrowGreen, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 280 * 16);
    // The arrow head at the arc's start, pointing along it.
    const QPainterPath head = Polygon({{8.5, 0.6}, {12.8, 3.2}, {8.6, 6.2}});
    p.setPen(Qt::NoPen);
    p.setBrush(kArrowGreen);
    p.drawPath(head);
}

void DrawPlus(QPainter& p)
{
    // Deep blue, to stand out on the amber toolbar.
    p.setPen(QPen(QColor(0x0c, 0x2a, 0x6e), 0.8));
    p.setBrush(QColor(0x1e, 0x5a, 0xd0));
    QPainterPath plus;
    plus.addRect(6, 2, 4, 12);
    plus.addRect(2, 6, 12, 4);
    p.drawPath(plus.simplified());
}

void DrawPaper(QPainter& p)
{
    const QPainterPath sheet = Polygon({{3, 1.5}, {10, 1.5}, {13, 4.5}, {13, 14.5}, {3, 14.5}});
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.drawLine(QPointF(10, 1.5), QPointF(10, 4.5));
    p.drawLine(QPointF(10, 4.5), QPointF(13, 4.5));
    p.setPen(QPen(QColor(0x40, 0x60, 0xa0), 1.0));
    for (qreal y : {6.5, 8.5, 10.5, 12.5})
        p.drawLine(QPointF(5, y), QPointF(11, y));
}

void DrawFolder(QPainter& p)
{
    const QColor edge(0xa0, 0x78, 0x00);
    p.setPen(QPen(edge, 1.0));
    p.setBrush(QColor(0xe8, 0xc0, 0x30));
    const QPainterPath back = Polygon({{1.5, 3.5}, {6, 3.5}, {7.5, 5}, {14.5, 5}, {14.5, 13.5}, {1.5, 13.5}});
    p.drawPath(back);
    p.setBrush(QColor(0xff, 0xdc, 0x50));
    const QPainterPath front = Polygon({{1.5, 13.5}, {3, 7}, {15.5, 7}, {14.5, 13.5}});
    p.drawPath(front);
}

void DrawAmLogo(QPainter& p)
{
    DrawGlyphs(p, QStringLiteral("am"), Qt::black, 7.5);
    // The smile under the letters.
    QPainterPath smile;
    smile.moveTo(2.5, 11.5);
    smile.quadTo(8, 15, 13.5, 11.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xff, 0x99, 0x00), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(smile);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0x99, 0x00));
    const QPainterPath tip = Polygon({{12, 10.6}, {14.6, 10.8}, {13.8, 13.2}});
    p.drawPath(tip);
}

}  // namespace

QList<QIcon> MakeImageList1() { return {Painted(DrawPaper), Painted(DrawFolder)}; }

QList<QIcon> MakeImageList2()
{
    return {
        Painted([](QPainter& p) { DrawArrow(p, true); }),
        Painted([](QPainter& p) { DrawArrow(p, false); }),
        Painted(DrawReload),
        Painted(DrawPlus),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("IN"), kInk, 10); }),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("WL"), kInk, 10); }),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("出"), QColor(0xb0, 0x20, 0x20), 14); }),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("入"), QColor(0x20, 0x50, 0xb0), 14); }),
        Painted([](QPainter& p) {
            DrawGlyphs(p, QStringLiteral("e"), QColor(0x1e, 0x6f, 0xd0), 13, QStringLiteral("DejaVu Serif"));
        }),
    };
}

QList<QIcon> MakeImageList3()
{
    return {
        Painted(DrawAmLogo),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("価"), QColor(0x00, 0x40, 0x90), 14); }),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("統"), QColor(0x60, 0x30, 0x00), 14); }),
        Painted([](QPainter& p) { DrawGlyphs(p, QStringLiteral("Y"), QColor(0xe0, 0x00, 0x10), 14); }),
    };
}

QIcon MakeExtensionIcon(Qt::Orientation orientation)
{
    return Painted([orientation](QPainter& p) {
        if (orientation == Qt::Vertical) {
            p.translate(16, 0);
            p.rotate(90);
        }
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        for (const qreal x : {4.0, 8.5})
            p.drawPolyline(QPolygonF({{x, 4.5}, {x + 3.5, 8}, {x, 11.5}}));
    });
}

namespace {

// The program's style: the platform's own, except that the toolbars' and
// the menu bar's "more" buttons show a painted chevron instead of an image
// from a file, which would load every image format plug-in at start; and a
// toolbar button with the keyboard focus carries a frame that shows it on
// any background.
class TShellStyle final : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override
    {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        if (control != CC_ToolButton || !(option->state & State_HasFocus))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setBrush(Qt::NoBrush);
        painter->setPen(QPen(option->palette.color(QPalette::Highlight), 2));
        painter->drawRect(option->rect.adjusted(1, 1, -1, -1));
        painter->restore();
    }

    QIcon standardIcon(StandardPixmap pixmap, const QStyleOption* option, const QWidget* widget) const override
    {
        if (pixmap == SP_ToolBarHorizontalExtensionButton)
            return MakeExtensionIcon(Qt::Horizontal);
        if (pixmap == SP_ToolBarVerticalExtensionButton)
            return MakeExtensionIcon(Qt::Vertical);
        return QProxyStyle::standardIcon(pixmap, option, widget);
    }
};

}  // namespace

void UseShellStyle()
{
    static QPointer<QStyle> installed;
    if (installed && QApplication::style() == installed)
        return;
    installed = new TShellStyle;
    QApplication::setStyle(installed);
}
