#include "ui/SaveDialog.h"

#include "settings/AppFiles.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>
#include <utility>

namespace {

// The save dialog: refuses a file in the data folder before anything else
// (before the question whether to replace it), and stays open for another
// choice.
class TSaveDialog final : public QFileDialog {
public:
    TSaveDialog(QWidget* parent, std::filesystem::path dataDir, std::function<void(const QString&)> showRefusal)
        : QFileDialog(parent, QStringLiteral("名前を付けて保存")),
          m_dataDir(std::move(dataDir)),
          m_showRefusal(std::move(showRefusal))
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && IsInDataFolder(m_dataDir, QFile::encodeName(files.constFirst()).toStdString())) {
            m_showRefusal(QString::fromUtf8(kDataFolderTargetMessage));
            return;
        }
        QFileDialog::accept();
    }

private:
    std::filesystem::path m_dataDir;
    std::function<void(const QString&)> m_showRefusal;
};

}  // namespace

void ShowSaveDialog(QWidget* parent, const QString& proposedPath, const std::filesystem::path& dataDir,
                    std::function<void(const QString& message)> showRefusal,
                    std::function<void(const QString& chosen)> answer)
{
    auto* dialog = new TSaveDialog(parent, dataDir, std::move(showRefusal));
    dialog->setObjectName(QStringLiteral("SaveDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setEnabled(true);  // also while another dialog has the window disabled
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setLabelText(QFileDialog::LookIn, QStringLiteral("保存する場所:"));
    dialog->setLabelText(QFileDialog::FileName, QStringLiteral("ファイル名:"));
    dialog->setLabelText(QFileDialog::FileType, QStringLiteral("ファイルの種類:"));
    dialog->setLabelText(QFileDialog::Accept, QStringLiteral("保存"));
    dialog->setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    dialog->setNameFilter(QStringLiteral("すべてのファイル (*)"));
    dialog->setDirectory(QFileInfo(proposedPath).absolutePath());
    dialog->selectFile(QFileInfo(proposedPath).fileName());
    QObject::connect(dialog, &QDialog::finished, parent, [dialog, answer = std::move(answer)](int result) {
        const QStringList files = dialog->selectedFiles();
        answer(result == QDialog::Accepted && !files.isEmpty() ? files.constFirst() : QString());
    });
    dialog->setWindowModality(Qt::NonModal);
    dialog->show();
}
