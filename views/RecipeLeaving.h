#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class Controller;
class QWidget;

// What the recipe and impact screens do before they are left with unsaved
// changes: ask whether to save, and save first when the practitioner says
// yes. The way out is taken once the save has succeeded; a failed save shows
// its error and the screen stays, still changed.
class RecipeLeaving : public QObject
{
    Q_OBJECT

public:
    // save starts the save request on the controller it is given.
    RecipeLeaving(QWidget* screen, std::function<void(Controller&)> save);

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

private:
    bool askToSave();
    void save(const std::function<void()>& then);

    QPointer<QWidget> m_screen;
    std::function<void(Controller&)> m_save;
    bool m_changed = false;
    bool m_saving = false;
};
