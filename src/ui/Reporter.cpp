#include "ui/Reporter.h"

#include "settings/TextFile.h"

#include <QMessageBox>

void TMessageBoxReporter::ShowError(const QString& message)
{
    const QString text = QString::fromStdString(ErrorDisplayText(message.toStdString()));
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void TMessageBoxReporter::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}
