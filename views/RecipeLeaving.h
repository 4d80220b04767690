#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class Controller;
class QWidget;

// What a screen with unsaved work (the recipe, the impact, the recovery
// history) does before it is left: ask whether to save, and save first when
// the practitioner says yes. The way out is taken once the save has
// succeeded; a failed save shows its error and the screen stays, still
// changed.
class RecipeLeaving : public QObject
{
    Q_OBJECT

public:
    // save starts the save request on the controller it is given; ask puts
    // the screen's own question (by default the recipe's).
    RecipeLeaving(QWidget* screen, std::function<void(Controller&)> save, std::function<bool()> ask = {});

    bool changed() const { return m_changed; }
    void setChanged(bool changed) { m_changed = changed; }
    bool saving() const { return m_saving; }

    // Leaves by go: at once when nothing changed or the practitioner chose
    // not to save, else once saved. Ignored while a save is running, so a
    // second press can't take a second way out.
    void leave(const std::function<void()>& go);
    // For a way out the screen doesn't take itself, such as the main window
    // closing: true when the screen may go now. On Yes the save starts and
    // false is returned; afterSave runs once it has succeeded.
    bool confirmLeave(const std::function<void()>& afterSave);
    // Saves without leaving; then runs once the save has succeeded.
    void save(const std::function<void()>& then = {});

private:
    bool askToSave();

    QPointer<QWidget> m_screen;
    std::function<void(Controller&)> m_save;
    std::function<bool()> m_ask;
    bool m_changed = false;
    bool m_saving = false;
};
