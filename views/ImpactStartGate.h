#pragma once

class QPushButton;

// When the impact screen's Start may be pressed: not while its own request
// or file save is under way, nor while the main window's player plays or is
// paused, whoever started it.
class ImpactStartGate
{
public:
    explicit ImpactStartGate(QPushButton* start) : m_start(start) {}

    bool running() const { return m_running; }
    void begin();
    void end();
    void setPlayerActive(bool active);

private:
    void update();

    QPushButton* m_start;
    bool m_running = false;
    bool m_playerActive = false;
};
