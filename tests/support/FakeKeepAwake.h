#pragma once

#include "audio/KeepAwake.h"

#include <QList>

#include <memory>

// What the players' keep-awakes were told, in order.
struct KeepAwakeLog
{
    QList<bool> calls;
    int created = 0;
    int alive = 0;

    int count(bool playingOrPaused) const { return int(calls.count(playingOrPaused)); }
};

class FakeKeepAwake : public KeepAwake
{
public:
    explicit FakeKeepAwake(std::shared_ptr<KeepAwakeLog> log);
    ~FakeKeepAwake() override;
    void setAwake(bool playingOrPaused) override { m_log->calls.append(playingOrPaused); }

private:
    std::shared_ptr<KeepAwakeLog> m_log;
};

// For one test scope, every player gets a FakeKeepAwake writing to one log;
// the platform's keep-awake comes back afterwards.
class ScopedFakeKeepAwake
{
public:
    ScopedFakeKeepAwake();
    ~ScopedFakeKeepAwake();
    ScopedFakeKeepAwake(const ScopedFakeKeepAwake&) = delete;
    ScopedFakeKeepAwake& operator=(const ScopedFakeKeepAwake&) = delete;

    const KeepAwakeLog& log() const { return *m_log; }
    void clear() { m_log->calls.clear(); }

private:
    std::shared_ptr<KeepAwakeLog> m_log = std::make_shared<KeepAwakeLog>();
};
