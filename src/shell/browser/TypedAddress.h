// How a typed text becomes the address the engine loads.
#pragma once

#include <QString>
#include <QUrl>

// A text with a scheme as it is, anything else (a bare host) the way a
// typed address is completed (http://).
QUrl AddressFromText(const QString& text);
