// Saves the engine's downloads where the user chooses. The engine writes to
// a temporary name beside the chosen file; only a complete download is
// renamed to the chosen name, so a cancelled or failed one never leaves a
// half-written file there (nor at the temporary name).
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;

class TDownloadSaver final : public QObject {
    Q_OBJECT
public:
    // Asked with the proposed file (download folder + suggested name);
    // returns the chosen path, or an empty text to cancel.
    using Chooser = std::function<QString(const QString& proposedPath)>;

    // Handles the downloads profile starts for page.
    TDownloadSaver(QWebEngineProfile* profile, QWebEnginePage* page, QObject* parent = nullptr);
    // Downloads still running are cancelled and their temporary files removed.
    ~TDownloadSaver() override;

    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }

signals:
    // A status text while a download runs.
    void Progress(const QString& text);
    // The download has ended: saved as path (failure empty) or not saved
    // (failure says why).
    void Finished(const QString& path, const QString& failure);

private:
    struct TRunning {
        QWebEngineDownloadRequest* Request;
        QString Target;     // the chosen path
        QString Temporary;  // where the engine writes
    };

    void OnRequested(QWebEngineDownloadRequest* request);
    void OnProgress(const TRunning& running);
    void OnStateChanged(QWebEngineDownloadRequest* request);

    QWebEnginePage* m_page;
    Chooser m_chooser;
    std::vector<TRunning> m_running;
};
