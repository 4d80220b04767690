#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Asks the practitioner to sign in again when the service has ended the
// sign-in: one dialog, over whatever is on screen, with the user name given.
// The calls that wait go out again once it succeeds; when the practitioner
// gives up they fail, and gaveUp() asks the window for a clean sign-in.
class SignInAgain : public QObject
{
    Q_OBJECT

public:
    explicit SignInAgain(QWidget* window);
    ~SignInAgain() override;

    // The practitioner is signed in as that user from now on; an empty name
    // stops asking (nobody is signed in).
    void setUsername(const QString& username);

signals:
    void gaveUp();

private:
    void ask();

    QWidget* m_window;
    QString m_username;
};
