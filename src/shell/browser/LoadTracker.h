// When a page's own navigation has brought a new document, as the engine's
// address and load events tell it: a new document is reported when its
// address is committed, or at the end of its load when the address stayed
// the same (a reload, the same address again); a navigation within the
// document (an anchor, a script's history entry) changes the address only.
// A load that was stopped or refused completes nothing. Plain C++, one per
// page.
#pragma once

class TLoadTracker {
public:
    // The page's load has started.
    void Started()
    {
        m_loading = true;
        m_committed = false;
    }
    // The page's address has changed; true when that completes a document
    // (an empty address completes none).
    bool AddressChanged(bool empty);
    // The page's load has ended (stopped: the user or the program stopped
    // it, or it was refused); true when that completes a document the
    // address did not already report.
    bool Ended(bool stopped);

private:
    bool m_loading = false;
    bool m_committed = false;  // the address changed during this load
};
