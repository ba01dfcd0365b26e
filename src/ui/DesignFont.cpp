#include "ui/DesignFont.h"

#include <QString>
#include <QStringList>

QFont DesignFont()
{
    static const QString family = QStringLiteral("ＭＳ Ｐゴシック");
    static const bool substituted = [] {
        QFont::insertSubstitutions(family, {QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                            QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                                            QStringLiteral("Noto Sans")});
        return true;
    }();
    (void)substituted;
    QFont font(family);
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
