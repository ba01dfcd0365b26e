// How a page takes in the engine's new window safely. The engine keeps the
// display preferences of a window a page script opened only once something
// computes them; until then the first real paint of its document (the
// opener writing into it, or filling its body) reads preferences that do
// not exist and the program dies. Computing them needs a navigation, which
// would take the empty document the opener writes into away from it; a
// page whose settings already hold the engine's preferences hands them to
// the contents it adopts instead.
#pragma once

#include <functional>

class QWebEnginePage;

namespace newwindow {

// Before page adopts a new window: makes the engine start page's own
// (empty) contents, so its settings take a copy of the preferences.
void Prepare(QWebEnginePage* page);

// After page has adopted the window: hands its settings to the adopted
// contents and calls show once they have them, never before. show may run
// after page has left the program's stack; it must check.
void Adopted(QWebEnginePage* page, std::function<void()> show);

}  // namespace newwindow
