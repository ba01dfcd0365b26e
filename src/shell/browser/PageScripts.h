// The scripts the program injects into its pages, in one table: each with
// its name, the world it runs in, when it runs and its source. A page asks
// for a script by name; a name the table lacks is an error, never a script
// silently left out. Plain Qt: the page maps worlds and injection points to
// the engine's.
#pragma once

#include <QString>
#include <QStringView>

// The worlds a script may run in, named once. Nothing runs in a page's main
// world unless the page could not work otherwise.
enum class TScriptWorld {
    Program,  // the program's own world: the page can neither see nor call it
};

// When a script runs in each new document.
enum class TScriptPoint {
    DocumentCreation,  // before the page's own scripts and requests
};

struct TPageScript {
    QStringView Name;
    TScriptWorld World;
    TScriptPoint Point;
    bool SubFrames;  // in every frame's document too, not only the page's
    // The source; "%1" stands for the argument the page gives it.
    QStringView Source;
};

// Tells the page's own navigations apart from frames': in a frame's
// document it writes the page's secret token to the console.
inline constexpr QStringView kFrameCompleteScript = u"lotscope-frame-complete";
// Drops a secret query parameter from the page's address (see
// LoginSecret.h); its argument is the JSON array [head, parameter].
inline constexpr QStringView kHideSecretScript = u"lotscope-hide-secret";

// The row of the script named name; throws std::out_of_range when the table
// has none.
const TPageScript& PageScript(QStringView name);
// The source of the script named name with its argument filled in.
QString PageScriptSource(const TPageScript& script, const QString& argument);
