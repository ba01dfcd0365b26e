// Saves the engine's downloads where the user chooses, without holding the
// engine up: a download is accepted at once into a private folder of this
// running program and the user is asked where to keep it while it runs. A
// complete download that has its answer is moved to the chosen name; a
// cancelled or failed one leaves nothing behind, neither there nor in the
// private folder. One question is open at a time; a few more downloads wait
// for theirs, any beyond those are refused.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <functional>
#include <list>

class QWebEngineDownloadRequest;
class QWebEngineProfile;

// The file name a download is offered under: the last part of the name the
// site suggests, without a folder part, leading dots, control characters or
// slashes; "download" when nothing is left.
QString SafeDownloadName(const QString& suggested);

class TDownloadSaver final : public QObject {
    Q_OBJECT
public:
    // Asked with the proposed file (download folder + safe name); answer
    // with the chosen path, or an empty text to cancel. The answer may come
    // later, from the event loop; the download runs meanwhile.
    using Answer = std::function<void(const QString& chosen)>;
    using Chooser = std::function<void(const QString& proposedPath, Answer answer)>;

    // Downloads that wait for their question besides the one being asked.
    static constexpr int kWaitingQuestions = 3;

    // Handles every download of profile. The private folders live under
    // temporaryRoot (by default in the user's cache folder); a folder there
    // that a killed copy of the program left is removed now.
    TDownloadSaver(QWebEngineProfile* profile, QObject* parent = nullptr, QString temporaryRoot = {});
    // Downloads still running are cancelled and their files removed.
    ~TDownloadSaver() override;

    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }

    // The folder a save question starts in: the user's download folder,
    // made when missing, or else the home folder.
    static QString StartFolder();

signals:
    // A status text while a download runs, or why one was refused.
    void Progress(const QString& text);
    // The download has ended: saved as path (failure empty) or not saved
    // (failure says why).
    void Finished(const QString& path, const QString& failure);

private:
    struct TDownload {
        QPointer<QWebEngineDownloadRequest> Request;
        QString Name;       // the safe name
        QString Temporary;  // where the engine writes
        QString Target;     // the chosen path, once answered
        bool Answered = false;
        bool Ended = false;  // the engine is done with it
        QString Failure;     // why it failed, once ended
    };

    void OnRequested(QWebEngineDownloadRequest* request);
    void OnStateChanged(TDownload* download);
    void AskNext();
    void Answered(TDownload* download, const QString& chosen);
    void Finish(TDownload* download);
    void Forget(TDownload* download);
    bool OpenSession();
    void RemoveAbandonedSessions();

    Chooser m_chooser;
    QString m_root;     // holds one folder per running copy
    QString m_session;  // this copy's folder, empty until the first download
    int m_lock = -1;    // the session's lock, held while the program runs
    int m_counter = 0;
    bool m_asking = false;
    std::list<TDownload> m_downloads;
    std::deque<TDownload*> m_questions;  // front: the one asked
};
