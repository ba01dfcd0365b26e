#include "shell/browser/DownloadSaver.h"

#include "settings/AtomicFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr const char* kLockName = ".lock";

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

QString RandomHex()
{
    return QStringLiteral("%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
}

// Moves the finished file to the chosen name (settings/AtomicFile): one
// rename, which replaces the chosen file in one step (the user agreed to
// replace it when choosing), or a flushed copy on another file system.
// Empty when done, else why not.
QString MoveInto(const QString& from, const QString& to)
{
    try {
        MoveOver(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString());
        return {};
    } catch (const TFileError& error) {
        if (QFileInfo(to).isDir())
            return QStringLiteral("同じ名前のフォルダーがあります");
        return QString::fromUtf8(error.what());
    }
}

}  // namespace

QString SafeDownloadName(const QString& suggested)
{
    QString name = suggested;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    name = name.section(QLatin1Char('/'), -1);
    name.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
    while (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(' ')))
        name.remove(0, 1);
    name = name.trimmed();
    return name.isEmpty() ? QStringLiteral("download") : name;
}

QString TDownloadSaver::StartFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    const QString home = QDir::homePath();
    if (!downloads.isEmpty() && QDir::isAbsolutePath(downloads) && QDir().mkpath(downloads))
        return QDir(downloads).absolutePath();
    return home;
}

TDownloadSaver::TDownloadSaver(QWebEngineProfile* profile, QObject* parent, QString temporaryRoot)
    : QObject(parent), m_root(std::move(temporaryRoot))
{
    if (m_root.isEmpty())
        m_root = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
                     .filePath(QStringLiteral("lotscope/downloads"));
    RemoveAbandonedSessions();
    connect(profile, &QWebEngineProfile::downloadRequested, this, &TDownloadSaver::OnRequested);
}

TDownloadSaver::~TDownloadSaver()
{
    for (TDownload& download : m_downloads) {
        if (download.Request) {
            download.Request->disconnect(this);
            download.Request->cancel();
        }
        QFile::remove(download.Temporary);
    }
    if (m_lock >= 0) {
        QDir(m_session).removeRecursively();
        ::close(m_lock);
    }
}

// A session folder whose lock nobody holds belongs to a copy that died: its
// files are what its downloads left. Only such folders (named as this
// program names them) are removed.
void TDownloadSaver::RemoveAbandonedSessions()
{
    const auto sessionName = [](const QString& name) {
        return name.size() == 16 && std::all_of(name.begin(), name.end(), [](QChar c) {
                   return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
               });
    };
    const QStringList sessions = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : sessions) {
        if (!sessionName(name))
            continue;
        const QString folder = QDir(m_root).filePath(name);
        const int lock = ::open(QFile::encodeName(QDir(folder).filePath(QLatin1String(kLockName))).constData(),
                                O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (lock < 0) {
            QDir(m_root).rmdir(name);  // only an empty one
            continue;
        }
        if (::flock(lock, LOCK_EX | LOCK_NB) == 0)
            QDir(folder).removeRecursively();
        ::close(lock);
    }
}

bool TDownloadSaver::OpenSession()
{
    if (m_lock >= 0)
        return true;
    if (!QDir().mkpath(m_root))
        return false;
    QFile::setPermissions(m_root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString name = RandomHex();
    if (!QDir(m_root).mkdir(name))
        return false;
    const QString folder = QDir(m_root).filePath(name);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const int lock = ::open(QFile::encodeName(QDir(folder).filePath(QLatin1String(kLockName))).constData(),
                            O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) != 0) {
        if (lock >= 0)
            ::close(lock);
        QDir(folder).removeRecursively();
        return false;
    }
    m_session = folder;
    m_lock = lock;
    return true;
}

void TDownloadSaver::OnRequested(QWebEngineDownloadRequest* request)
{
    if (request->state() != QWebEngineDownloadRequest::DownloadRequested)
        return;
    const QString name = SafeDownloadName(request->suggestedFileName());
    if (request->isSavePageDownload()) {
        request->cancel();
        return;
    }
    if (m_questions.size() > size_t(kWaitingQuestions)) {
        request->cancel();
        emit Progress(QStringLiteral("保存の確認を待つダウンロードが多すぎるため、%1 を保存しませんでした").arg(name));
        return;
    }
    if (!OpenSession()) {
        request->cancel();
        emit Finished(name, QString::fromUtf8(filemsg::kAccessDenied));
        return;
    }
    TDownload& download = m_downloads.emplace_back();
    download.Request = request;
    download.Name = name;
    const QString file = QStringLiteral("%1.download").arg(++m_counter);
    download.Temporary = QDir(m_session).filePath(file);
    request->setDownloadDirectory(m_session);
    request->setDownloadFileName(file);
    TDownload* entry = &download;
    connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this, [this, entry] {
        const qint64 received = entry->Request->receivedBytes();
        const qint64 total = entry->Request->totalBytes();
        if (total > 0)
            emit Progress(
                QStringLiteral("%1 をダウンロードしています... (%2%)").arg(entry->Name).arg(received * 100 / total));
        else
            emit Progress(
                QStringLiteral("%1 をダウンロードしています... (%2 KB)").arg(entry->Name).arg(received / 1024));
    });
    connect(request, &QWebEngineDownloadRequest::stateChanged, this, [this, entry] { OnStateChanged(entry); });
    request->accept();
    m_questions.push_back(entry);
    // Not from inside the engine's call: the engine goes on meanwhile.
    QMetaObject::invokeMethod(this, &TDownloadSaver::AskNext, Qt::QueuedConnection);
}

void TDownloadSaver::AskNext()
{
    if (m_asking || m_questions.empty())
        return;
    m_asking = true;
    TDownload* download = m_questions.front();
    const QString proposed = QDir(StartFolder()).filePath(download->Name);
    QPointer<TDownloadSaver> self(this);
    Answer answer = [self, download](const QString& chosen) {
        if (self)
            self->Answered(download, chosen);
    };
    if (m_chooser)
        m_chooser(proposed, std::move(answer));
    else
        answer({});
}

void TDownloadSaver::Answered(TDownload* download, const QString& chosen)
{
    if (!m_asking || m_questions.empty() || m_questions.front() != download)
        return;  // answered twice
    m_questions.pop_front();
    m_asking = false;
    if (chosen.isEmpty()) {
        Forget(download);
    } else {
        download->Answered = true;
        download->Target = QFileInfo(chosen).absoluteFilePath();
        if (download->Ended)
            Finish(download);
    }
    QMetaObject::invokeMethod(this, &TDownloadSaver::AskNext, Qt::QueuedConnection);
}

void TDownloadSaver::OnStateChanged(TDownload* download)
{
    QWebEngineDownloadRequest* request = download->Request;
    if (!request)
        return;
    const auto state = request->state();
    if (state == QWebEngineDownloadRequest::DownloadCompleted) {
        download->Ended = true;
    } else if (state == QWebEngineDownloadRequest::DownloadCancelled) {
        download->Ended = true;
        download->Failure = InterruptText(QWebEngineDownloadRequest::UserCanceled);
    } else if (state == QWebEngineDownloadRequest::DownloadInterrupted) {
        download->Ended = true;
        download->Failure = InterruptText(request->interruptReason());
        // An interrupted download could be resumed later; end it for good
        // before its file goes.
        request->disconnect(this);
        request->cancel();
    } else {
        return;
    }
    request->disconnect(this);
    // Where the engine actually wrote, in case it chose another name.
    const QString written = QDir(request->downloadDirectory()).filePath(request->downloadFileName());
    if (!download->Failure.isEmpty()) {
        QFile::remove(written);
        QFile::remove(download->Temporary);
    } else {
        download->Temporary = written;
    }
    if (download->Answered)
        Finish(download);
}

void TDownloadSaver::Finish(TDownload* download)
{
    QString failure = download->Failure;
    if (failure.isEmpty())
        failure = MoveInto(download->Temporary, download->Target);
    QFile::remove(download->Temporary);
    const QString target = download->Target;
    m_downloads.remove_if([download](const TDownload& d) { return &d == download; });
    emit Finished(target, failure);
}

// A download the user did not want: ended, its file removed, no message.
void TDownloadSaver::Forget(TDownload* download)
{
    if (download->Request && !download->Ended) {
        download->Request->disconnect(this);
        download->Request->cancel();
    }
    QFile::remove(download->Temporary);
    m_downloads.remove_if([download](const TDownload& d) { return &d == download; });
}
