// How the program speaks to the user: the general error display and the
// plain message box. Windows receive a reporter instead of calling message
// boxes directly, so tests can substitute one that records what was said.
#pragma once

#include <QString>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

class QWidget;

// The general error display's text: the message, followed by "." when its
// last character sorts above "." (every Japanese message gets the point).
std::string ErrorDisplayText(std::string_view message);

// The application title: the main window's caption and every message box's.
inline const QString kApplicationTitle = QStringLiteral("Lotscope");

class TMessageReporter {
public:
    virtual ~TMessageReporter() = default;
    // The general error display: a critical box captioned with the
    // application title, the message by the display's text rule
    // (ErrorDisplayText), one OK button. `message` is the error's own text.
    virtual void ShowError(const QString& message) = 0;
    // A plain message box: no icon, one OK button, captioned with the
    // application title; returns when the user closed it.
    virtual void ShowMessage(const QString& text) = 0;
    // A question with Yes and No, captioned with the application title;
    // returns whether the user chose Yes (closing the box counts as No).
    virtual bool AskYesNo(const QString& question) = 0;
};

// The reporter of the running program: real message boxes.
class TMessageBoxReporter final : public TMessageReporter {
public:
    explicit TMessageBoxReporter(QWidget* parent = nullptr) : m_parent(parent) { }
    void setParent(QWidget* parent) { m_parent = parent; }
    void ShowError(const QString& message) override;
    void ShowMessage(const QString& text) override;
    bool AskYesNo(const QString& question) override;

private:
    QWidget* m_parent = nullptr;
};

// The reporter of a program that runs with no one at the screen (the
// children the tests and benchmarks start): what it would show goes to
// stderr, and every question is answered No.
class TStderrReporter final : public TMessageReporter {
public:
    void ShowError(const QString& message) override { std::fprintf(stderr, "error: %s\n", qPrintable(message)); }
    void ShowMessage(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool AskYesNo(const QString& question) override
    {
        std::fprintf(stderr, "question: %s\n", qPrintable(question));
        return false;
    }
};

// Runs an event handler and hands any error it raises to the error display,
// so that no exception crosses Qt's event loop.
template <class Handler>
void RunGuarded(TMessageReporter& reporter, Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& e) {
        reporter.ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        reporter.ShowError(QStringLiteral("不明なエラー"));
    }
}
