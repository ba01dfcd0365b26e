// The font every window is designed in.
#pragma once

#include <QFont>

// "ＭＳ Ｐゴシック", 12 pixels, falling back to the installed Japanese fonts.
QFont DesignFont();
