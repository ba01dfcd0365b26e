// What the browser engine prints on the console.
#pragma once

// The environment variable that keeps the engine's console output: set to
// anything but "0", the engine reports as it does by default.
inline constexpr const char* kEngineLogVariable = "LOTSCOPE_ENGINE_LOG";

// Silences the engine's chatter on stderr before it starts (call it before
// the application object): its start-up report of settings, its own log
// below fatal errors and the pages' console messages. The program's own
// warnings stay, and so do rules the user gives in QT_LOGGING_RULES or
// a log level in QTWEBENGINE_CHROMIUM_FLAGS.
void QuietEngineLogging();
