#include "api/SessionRenewal.h"

SessionRenewal& SessionRenewal::instance()
{
    static SessionRenewal renewal;
    return renewal;
}

void SessionRenewal::request()
{
    if (m_pending)
        return;
    m_pending = true;
    emit needed();
}

void SessionRenewal::finish(bool renewed)
{
    if (!m_pending)
        return;
    // Cleared first: a call sent again may be refused again, and that is a
    // new request rather than part of this one.
    m_pending = false;
    if (renewed)
        emit this->renewed();
    else
        emit abandoned();
}
