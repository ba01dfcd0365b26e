// The font every window is designed in.
#pragma once

#include <QFont>

// "ＭＳ Ｐゴシック", 12 pixels, or the first installed Japanese font standing
// in for it.
QFont DesignFont();
