#include "views/ImpactTargets.h"

#include <QComboBox>

ImpactTargets::ImpactTargets(QWidget* screen, bool hasDevices) : QObject(screen)
{
    m_targets = new QComboBox(screen);
    m_targets->setObjectName(QStringLiteral("comboBoxTarget"));
    m_commands = new QComboBox(screen);
    m_commands->setObjectName(QStringLiteral("comboBoxCommand"));
    // The texts change with the language: the boxes follow their longest item.
    for (QComboBox* box : {m_targets, m_commands})
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    m_targets->addItem(QString(), QVariant::fromValue(ViewImpact::Sensor));
    m_targets->addItem(QString(), QVariant::fromValue(ViewImpact::Download));
    if (hasDevices)
        m_targets->addItem(QString(), QVariant::fromValue(ViewImpact::Box));
    m_targets->setCurrentIndex(0);
    m_commands->addItem(QString(), QStringLiteral("RECIPE"));
    m_commands->addItem(QString(), QStringLiteral("SELFRECIPE"));
    m_commands->setCurrentIndex(0);
    retranslate();
}

ViewImpact::Target ImpactTargets::current() const
{
    return m_targets->currentData().value<ViewImpact::Target>();
}

QString ImpactTargets::command() const
{
    return m_commands->currentData().toString();
}

void ImpactTargets::retranslate()
{
    for (int index = 0; index < m_targets->count(); ++index) {
        switch (m_targets->itemData(index).value<ViewImpact::Target>()) {
        case ViewImpact::Box:
            m_targets->setItemText(index, tr("Text.box"));
            break;
        case ViewImpact::Download:
            m_targets->setItemText(index, tr("Text.download"));
            break;
        case ViewImpact::Sensor:
            m_targets->setItemText(index, tr("Text.sensor"));
            break;
        }
    }
    m_commands->setItemText(0, tr("Text.recipeCommand"));
    m_commands->setItemText(1, tr("Text.selfRecipeCommand"));
}
