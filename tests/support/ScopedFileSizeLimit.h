#pragma once

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

// For one test scope, as on a nearly full disk: no file of the process may
// grow past the given size, and a write past it fails instead of ending the
// process. Does nothing where the system has no such limit (supported()).
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_UNIX
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_before);
        rlimit limit = m_before;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
#else
        Q_UNUSED(bytes)
#endif
    }
    ~ScopedFileSizeLimit()
    {
#ifdef Q_OS_UNIX
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
#endif
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

    static constexpr bool supported()
    {
#ifdef Q_OS_UNIX
        return true;
#else
        return false;
#endif
    }

private:
#ifdef Q_OS_UNIX
    rlimit m_before{};
    void (*m_handler)(int) = nullptr;
#endif
};
