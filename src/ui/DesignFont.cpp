#include "ui/DesignFont.h"

#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace {

const QString kDesignFamily = QStringLiteral("ＭＳ Ｐゴシック");

// The design's family where it is installed, else the first installed of
// the Japanese families that stand in for it. A family named as it is
// installed is found at once; a missing one costs a search through every
// font on the system for each script the first time it is drawn.
QString InstalledFamily()
{
    const QStringList standIns = {QStringLiteral("MS PGothic"), QStringLiteral("Noto Sans CJK JP"),
                                  QStringLiteral("IPAPGothic"), QStringLiteral("VL PGothic"),
                                  QStringLiteral("Noto Sans")};
    if (QFontDatabase::hasFamily(kDesignFamily))
        return kDesignFamily;
    for (const QString& family : standIns) {
        if (QFontDatabase::hasFamily(family))
            return family;
    }
    return kDesignFamily;  // none: the system's sans-serif font stands in
}

}  // namespace

QFont DesignFont()
{
    static const QString family = InstalledFamily();
    QFont font(family);
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
