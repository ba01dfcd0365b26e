#include "shell/browser/LoadTracker.h"

bool TLoadTracker::AddressChanged(bool empty)
{
    if (empty)
        return false;
    m_committed = m_loading;
    return true;
}

bool TLoadTracker::Ended(bool stopped)
{
    const bool reported = m_committed || !m_loading;
    m_loading = false;
    m_committed = false;
    return !reported && !stopped;
}
