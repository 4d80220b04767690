#pragma once

#include <QString>

#include <functional>

class QWidget;

// Walks the real window through every screen and dialog a practitioner meets,
// against the running local service (signed in as its demonstration
// practitioner), and hands each one to the visitor once it shows its data:
// the sign-in dialog, the patients list, the card, the analyses, the
// recovery history, the recipe and the impact screen, and the dialogs opened
// from them (patient form, recorder, device, password, About, a question, the
// toolkit's save and print dialogs). The interface language is switched
// through the Language menu first, as a practitioner would; every other
// dialog is closed unanswered after its visit.
class ScreenTour
{
public:
    using Visit = std::function<void(const QString& name, QWidget* shown)>;

    ScreenTour(const QString& language, Visit visit) : m_language(language), m_visit(std::move(visit)) {}

    // False, with the reason in errorText(), when a screen or dialog did not show.
    bool run();
    QString errorText() const { return m_error; }

    // The names of the stops, in the order they are visited.
    static QStringList stops();

private:
    bool fail(const QString& what);

    QString m_language;
    Visit m_visit;
    QString m_error;
};
