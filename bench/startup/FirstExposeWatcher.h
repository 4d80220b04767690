#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <time.h>

// Ends the process the moment its first window is exposed, printing the
// monotonic clock in nanoseconds: the driver that started the process takes the
// difference. Nothing after that moment is measured.
class FirstExposeWatcher : public QObject
{
public:
    explicit FirstExposeWatcher(QCoreApplication& application) { application.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window && window->isExposed()) {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("exposed %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                std::_Exit(0);
            }
        }
        return false;
    }
};
