#include "ui/Reporter.h"

#include "settings/TextFile.h"

#include <QMessageBox>

void TMessageBoxReporter::ShowError(const QString& message)
{
    const QString text = QString::fromStdString(ErrorDisplayText(message.toStdString()));
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

bool TMessageBoxReporter::AskYesNo(const QString& question)
{
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TMessageBoxReporter::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}
