#pragma once

#include <functional>
#include <memory>

// Keeps the computer from going to sleep while the player plays. The player
// tells it on every tick whether sound is playing or paused; each platform
// decides what to do with that.
class KeepAwake
{
public:
    virtual ~KeepAwake() = default;

    virtual void setAwake(bool playingOrPaused) = 0;
};

// Makes the platform's keep-awake: the system's power call on Windows, the
// desktop's sleep inhibitor over D-Bus elsewhere. A test puts in its own.
class KeepAwakeFactory
{
public:
    using Function = std::function<std::unique_ptr<KeepAwake>()>;

    static std::unique_ptr<KeepAwake> create();
    // An empty function restores the platform's keep-awake.
    static void set(Function function);

private:
    static Function& current();
};
