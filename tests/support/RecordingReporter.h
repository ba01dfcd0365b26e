// A message reporter for tests: records what the program would have shown.
#pragma once

#include "ui/Reporter.h"

#include <QString>
#include <QStringList>

class TRecordingReporter final : public TMessageReporter {
public:
    void ShowError(const QString& message) override { Errors.append(message); }
    void ShowMessage(const QString& text) override { Messages.append(text); }
    bool AskYesNo(const QString& question) override
    {
        Questions.append(question);
        return Answer;
    }

    QStringList Errors;     // the errors' own messages, in order
    QStringList Messages;   // plain messages, in order
    QStringList Questions;  // questions asked, in order
    bool Answer = true;     // the answer to every question
};
