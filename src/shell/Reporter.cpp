#include "shell/Reporter.h"

#include "settings/TextFile.h"

#include <QMessageBox>

namespace {

// The application title, the caption of every message box.
const QString kTitle = QStringLiteral("Lotscope");

}  // namespace

void TMessageBoxReporter::ShowError(const QString& message)
{
    const QString text = QString::fromStdString(ErrorDisplayText(message.toStdString()));
    QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}

void TMessageBoxReporter::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, kTitle, text, QMessageBox::Ok, m_parent);
    box.exec();
}
