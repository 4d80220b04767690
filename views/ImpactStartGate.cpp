#include "views/ImpactStartGate.h"

#include <QPushButton>

void ImpactStartGate::begin()
{
    m_running = true;
    update();
}

void ImpactStartGate::end()
{
    m_running = false;
    update();
}

void ImpactStartGate::setPlayerActive(bool active)
{
    m_playerActive = active;
    update();
}

void ImpactStartGate::update()
{
    m_start->setEnabled(!m_running && !m_playerActive);
}
