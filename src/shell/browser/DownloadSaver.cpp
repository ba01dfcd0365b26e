#include "shell/browser/DownloadSaver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include "settings/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace {

// Why the engine gave a download up, in the program's words. The reasons
// are the engine's numbers: 1-19 the file, 20-29 the network, 30-39 the
// server (38: the connection ended before the announced length), 40 the
// user.
QString InterruptText(int reason)
{
    using R = QWebEngineDownloadRequest;
    constexpr int kContentLengthMismatch = 38;
    if (reason == R::FileAccessDenied)
        return QString::fromUtf8(filemsg::kAccessDenied);
    if (reason == R::FileNoSpace)
        return QString::fromUtf8(filemsg::kDiskFull);
    if (reason == R::FileNameTooLong)
        return QString::fromUtf8(filemsg::kInvalidFileName);
    if ((reason >= 20 && reason < 30) || reason == kContentLengthMismatch)
        return QStringLiteral("通信が途切れました");
    if (reason >= 30 && reason < 40)
        return QStringLiteral("サーバーが応じませんでした");
    if (reason == R::UserCanceled)
        return QStringLiteral("中止されました");
    return QStringLiteral("エラーを特定できません");
}

// The temporary name a download to path is written under: hidden, beside
// it, and not the name of any existing file.
QString TemporaryPathFor(const QString& path)
{
    const QFileInfo target(path);
    for (;;) {
        const QString candidate = target.dir().filePath(
            QStringLiteral(".%1.%2.part").arg(target.fileName()).arg(QRandomGenerator::global()->generate(), 8, 16,
                                                                      QLatin1Char('0')));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

}  // namespace

TDownloadSaver::TDownloadSaver(QWebEngineProfile* profile, QWebEnginePage* page, QObject* parent)
    : QObject(parent), m_page(page)
{
    connect(profile, &QWebEngineProfile::downloadRequested, this, &TDownloadSaver::OnRequested);
}

TDownloadSaver::~TDownloadSaver()
{
    for (const TRunning& running : m_running) {
        running.Request->disconnect(this);
        running.Request->cancel();
        QFile::remove(running.Temporary);
    }
}

void TDownloadSaver::OnRequested(QWebEngineDownloadRequest* request)
{
    if (request->page() != m_page || request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    const QString proposed = QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation))
                                 .filePath(request->suggestedFileName());
    const QString chosen = m_chooser ? m_chooser(proposed) : QString();
    if (chosen.isEmpty()) {
        request->cancel();
        return;
    }
    const QString target = QFileInfo(chosen).absoluteFilePath();
    const QString temporary = TemporaryPathFor(target);
    const QFileInfo temporaryInfo(temporary);
    request->setDownloadDirectory(temporaryInfo.absolutePath());
    request->setDownloadFileName(temporaryInfo.fileName());
    m_running.push_back({request, target, temporary});
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, request] {
        const auto it = std::find_if(m_running.begin(), m_running.end(),
                                     [request](const TRunning& r) { return r.Request == request; });
        if (it != m_running.end())
            OnProgress(*it);
    });
    connect(request, &QWebEngineDownloadRequest::stateChanged, this,
            [this, request] { OnStateChanged(request); });
    request->accept();
}

void TDownloadSaver::OnProgress(const TRunning& running)
{
    const QString name = QFileInfo(running.Target).fileName();
    const qint64 received = running.Request->receivedBytes();
    const qint64 total = running.Request->totalBytes();
    if (total > 0)
        emit Progress(QStringLiteral("%1 をダウンロードしています... (%2%)").arg(name).arg(received * 100 / total));
    else
        emit Progress(QStringLiteral("%1 をダウンロードしています... (%2 KB)").arg(name).arg(received / 1024));
}

void TDownloadSaver::OnStateChanged(QWebEngineDownloadRequest* request)
{
    const auto state = request->state();
    if (state != QWebEngineDownloadRequest::DownloadCompleted &&
        state != QWebEngineDownloadRequest::DownloadCancelled &&
        state != QWebEngineDownloadRequest::DownloadInterrupted)
        return;
    const auto it = std::find_if(m_running.begin(), m_running.end(),
                                 [request](const TRunning& r) { return r.Request == request; });
    if (it == m_running.end())
        return;
    const TRunning running = *it;
    m_running.erase(it);
    request->disconnect(this);

    // Where the engine actually wrote, in case it chose another name.
    const QString written = QDir(request->downloadDirectory()).filePath(request->downloadFileName());
    QString failure;
    if (state == QWebEngineDownloadRequest::DownloadCompleted) {
        // rename(2) replaces the chosen file in one step (the user agreed to
        // replace it when choosing).
        if (std::rename(QFile::encodeName(written).constData(), QFile::encodeName(running.Target).constData()) != 0)
            failure = QString::fromUtf8(FileErrorMessage(errno));
    } else if (state == QWebEngineDownloadRequest::DownloadCancelled) {
        failure = InterruptText(QWebEngineDownloadRequest::UserCanceled);
    } else {
        failure = InterruptText(request->interruptReason());
        // An interrupted download could be resumed later; end it for good
        // before its file goes.
        request->cancel();
    }
    if (!failure.isEmpty()) {
        QFile::remove(written);
        if (written != running.Temporary)
            QFile::remove(running.Temporary);
    }
    emit Finished(running.Target, failure);
}
