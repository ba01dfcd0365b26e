#include "shell/browser/EngineLogging.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QtGlobal>

void QuietEngineLogging()
{
    if (qEnvironmentVariableIsSet(kEngineLogVariable) && qgetenv(kEngineLogVariable) != "0")
        return;
    // The engine's report of its settings, its note on a disabled sandbox
    // (both informational) and whatever the pages write to their console.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\n"
                                                    "default.info=false\n"
                                                    "js.*=false"));
    // The engine's own log (its GPU process's complaints about a virtual
    // display among them): fatal errors only.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--log-level")) {
        flags += flags.isEmpty() ? "--log-level=3" : " --log-level=3";
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    }
}
