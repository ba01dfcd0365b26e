#include "ui/Reporter.h"

#include <QMessageBox>

std::string ErrorDisplayText(std::string_view message)
{
    std::string text(message);
    if (message.empty())
        return text;
    // Any character outside ASCII sorts above "."; in UTF-8 exactly such a
    // character ends in a byte of 0x80 or more, and an ASCII character is its
    // own byte, so comparing the last byte with "." decides.
    const auto last = static_cast<unsigned char>(message.back());
    if (last > '.')
        text += '.';
    return text;
}

void TMessageBoxReporter::ShowError(const QString& message)
{
    const QString text = QString::fromStdString(ErrorDisplayText(message.toStdString()));
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool TMessageBoxReporter::AskYesNo(const QString& question)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question, QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TMessageBoxReporter::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}
