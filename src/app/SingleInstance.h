// One running copy per data folder, the current directory.
//
// The running copy holds an advisory lock (flock) on ".lotscope.lock" for as
// long as it lives and listens on the local socket ".lotscope.socket" beside
// it. A later start on the same folder finds the lock taken, connects to the
// socket, which is the request to bring the running window to the front, and
// ends without touching anything else. The kernel drops the lock with its
// process, so a copy that died, however it died, blocks no later start; the
// socket it may leave behind is replaced by the next copy that holds the lock.
// A later start waits for the running copy's answer (it closes the
// connection once it has taken the request), so a copy that is stopped or
// hangs is reported rather than taken for one that came forward.
// The lock file itself stays: removing it could let two copies lock two
// different files of the same name.
//
// Both names are bound relative to the current directory, so the length of
// the folder's path never meets the limit of socket addresses. Plain POSIX,
// used before the application object exists.
#pragma once

#include <string>

class TSingleInstance {
public:
    // Takes the folder's lock, or finds it taken by another copy. A lock
    // file that can be neither created nor opened, or a lock that cannot be
    // taken for another reason, is a Problem: the program never runs
    // unguarded.
    TSingleInstance();
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // Why this start may not run (UTF-8, naming the file and what to do);
    // empty when the lock was taken or another copy holds it.
    const std::string& Problem() const { return m_problem; }
    // False when another copy runs on this folder.
    bool IsFirst() const { return m_first; }

    // Another copy runs: asks it to come to the front and waits for its
    // answer, about two seconds at most in all (it listens right after
    // taking the lock). False when it did not answer in time, or when what
    // is under the socket's name is no socket; NoAnswerMessage says so.
    bool AskRunningCopyToFront() const;
    static std::string NoAnswerMessage();

    // The first copy's listening socket (non-blocking), -1 when there is
    // none; readable when a later start is waiting.
    int RequestSocket() const { return m_listen; }
    // Takes one waiting request off RequestSocket, which answers it; false
    // when none is left.
    bool TakeRequest() const { return TakeRequest(m_listen); }
    // The same on a listening socket the caller knows to be open.
    static bool TakeRequest(int requestSocket);

private:
    int m_lock = -1;
    int m_listen = -1;
    bool m_first = true;
    std::string m_problem;
};
