#include "shell/browser/EngineProfile.h"

#include <QDir>
#include <QLocale>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

// Japanese first in every request.
constexpr const char* kAcceptLanguage = "ja,en-US;q=0.8,en;q=0.6";

// The engine takes the language of its own pages and messages (error pages,
// form validation) from the application's default locale when it starts:
// make that Japanese, whatever the desktop's language, before the first
// profile starts the engine.
void SpeakJapanese()
{
    if (QLocale().language() != QLocale::Japanese)
        QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
}

std::unique_ptr<QWebEngineProfile> Japanese(std::unique_ptr<QWebEngineProfile> profile)
{
    profile->setHttpAcceptLanguage(QString::fromLatin1(kAcceptLanguage));
    return profile;
}

}  // namespace

std::unique_ptr<QWebEngineProfile> UserProfile(const QString& dataDir)
{
    SpeakJapanese();
    auto profile = std::make_unique<QWebEngineProfile>(QStringLiteral("Lotscope"));
    // The engine's caches stay beside its storage, inside the data folder.
    const QString engine = QDir(dataDir).absoluteFilePath(QStringLiteral("engine"));
    profile->setPersistentStoragePath(engine);
    profile->setCachePath(engine);
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    // Nothing that holds a page's address goes to disk, since the login
    // address carries the password: the HTTP cache lives in memory only, and
    // no page icons are fetched (the icon store keeps each page's address).
    profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    return Japanese(std::move(profile));
}

std::unique_ptr<QWebEngineProfile> OffTheRecordProfile()
{
    SpeakJapanese();
    return Japanese(std::make_unique<QWebEngineProfile>());
}
