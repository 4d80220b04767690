#include "support/FakeKeepAwake.h"

FakeKeepAwake::FakeKeepAwake(std::shared_ptr<KeepAwakeLog> log) : m_log(std::move(log))
{
    ++m_log->created;
    ++m_log->alive;
}

FakeKeepAwake::~FakeKeepAwake()
{
    --m_log->alive;
}

ScopedFakeKeepAwake::ScopedFakeKeepAwake()
{
    KeepAwakeFactory::set([log = m_log] { return std::make_unique<FakeKeepAwake>(log); });
}

ScopedFakeKeepAwake::~ScopedFakeKeepAwake()
{
    KeepAwakeFactory::set({});
}
