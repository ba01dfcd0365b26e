#include "shell/browser/PageScripts.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

const TPageScript kScripts[] = {
    {kFrameCompleteScript, TScriptWorld::Program, TScriptPoint::DocumentCreation, true,
     u"if (window !== window.top) console.debug('%1');"},
    // Drops every occurrence of the parameter from the query as written,
    // keeping the other parameters' bytes, and replaces the document's
    // history entry with the result (same document, so nothing is loaded).
    {kHideSecretScript, TScriptWorld::Program, TScriptPoint::DocumentCreation, false,
     u"(() => {"
     u"  const [head, name] = %1;"
     u"  const url = new URL(location.href);"
     u"  if (!url.href.toLowerCase().startsWith(head)) return;"
     u"  const all = url.search.slice(1).split('&');"
     u"  const kept = all.filter((p) => p.split('=')[0] !== name);"
     u"  if (kept.length === all.length) return;"
     u"  url.search = kept.join('&');"
     u"  history.replaceState(history.state, '', url.href);"
     u"})();"},
};

}  // namespace

const TPageScript& PageScript(QStringView name)
{
    const auto it =
        std::find_if(std::begin(kScripts), std::end(kScripts), [&](const TPageScript& s) { return s.Name == name; });
    if (it == std::end(kScripts))
        throw std::out_of_range("no injected script named " + name.toString().toStdString());
    return *it;
}

QString PageScriptSource(const TPageScript& script, const QString& argument)
{
    return script.Source.toString().arg(argument);
}
