#include "views/RecipeLeaving.h"

#include "api/Controller.h"
#include "widgets/MessageBoxes.h"

#include <QWidget>

RecipeLeaving::RecipeLeaving(QWidget* screen, std::function<void(Controller&)> save, std::function<bool()> ask)
    : QObject(screen), m_screen(screen), m_save(std::move(save)), m_ask(std::move(ask))
{}

void RecipeLeaving::leave(const std::function<void()>& go)
{
    if (m_saving)
        return;
    if (!m_changed || !askToSave()) {
        go();
        return;
    }
    save(go);
}

bool RecipeLeaving::confirmLeave(const std::function<void()>& afterSave)
{
    if (m_saving)
        return false;
    if (!m_changed || !askToSave())
        return true;
    save(afterSave);
    return false;
}

bool RecipeLeaving::askToSave()
{
    if (m_ask)
        return m_ask();
    return askYesNo(m_screen, tr("Text.saving"), tr("Text.confirmSave"));
}

void RecipeLeaving::save(const std::function<void()>& then)
{
    if (m_saving)
        return;
    m_saving = true;
    auto* controller = new Controller(m_screen);
    connect(controller, &Controller::onSuccess, this, [this, then] {
        m_saving = false;
        m_changed = false;
        if (then)
            then();
    });
    connect(controller, &Controller::onError, this, [this](const QString& message) {
        m_saving = false;
        showError(m_screen, message);
    });
    m_save(*controller);
}
