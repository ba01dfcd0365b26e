// One running copy per data folder, the current directory.
//
// The running copy holds an advisory lock (flock) on ".lotscope.lock" for as
// long as it lives and listens on the local socket ".lotscope.socket" beside
// it. A later start on the same folder finds the lock taken, connects to the
// socket, which is the request to bring the running window to the front, and
// ends without touching anything else. The kernel drops the lock with its
// process, so a copy that died, however it died, blocks no later start; the
// socket it may leave behind is replaced by the next copy that holds the lock.
// The lock file itself stays: removing it could let two copies lock two
// different files of the same name.
//
// Both names are bound relative to the current directory, so the length of
// the folder's path never meets the limit of socket addresses. Plain POSIX,
// used before the application object exists.
#pragma once

class TSingleInstance {
public:
    // Takes the folder's lock, or finds it taken. A folder where the lock
    // file can be neither created nor opened (read-only, or not the user's)
    // is run without one: nothing can be saved there anyway.
    TSingleInstance();
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // False when another copy runs on this folder.
    bool IsFirst() const { return m_first; }

    // Another copy runs: asks it to come to the front. Waits at most about a
    // second for its socket (it listens right after taking the lock).
    void AskRunningCopyToFront() const;

    // The first copy's listening socket (non-blocking), -1 when there is
    // none; readable when a later start is waiting.
    int RequestSocket() const { return m_listen; }
    // Takes one waiting request off RequestSocket; false when none is left.
    bool TakeRequest() const;

private:
    int m_lock = -1;
    int m_listen = -1;
    bool m_first = true;
};
