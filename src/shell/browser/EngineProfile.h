// The engine's profile the browser runs on: where it keeps what it keeps,
// and the language it speaks.
#pragma once

#include <QString>
#include <memory>

class QWebEngineProfile;

// An on-disk profile in the "engine" folder of the data folder dataDir that
// keeps cookies (and so a site login) between runs. Each data folder has its
// own, so copies running on two folders never share one.
std::unique_ptr<QWebEngineProfile> UserProfile(const QString& dataDir);
// A profile that keeps nothing on disk (tests, benchmarks).
std::unique_ptr<QWebEngineProfile> OffTheRecordProfile();
