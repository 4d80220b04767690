#pragma once

#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Record.h"

#include <QList>
#include <QMainWindow>
#include <QTranslator>

#include <functional>

class IdleLock;
class LanguageMenu;
class PlayerHost;
class QAction;
class QMenu;
class ScreenStack;
class SignInAgain;
class ViewPatients;

// The only top-level window. It runs the sign-in at construction, then hosts
// the screens in a stack: the patients list at the bottom, above it whatever
// the practitioner opened from there. Screens never create each other; they
// emit navigation signals, and the window creates and connects the next one,
// and the stack pushes and pops them. It also owns the application menu, the
// close question, the player, the idle lock and the sign-in again.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Whether the practitioner signed in; when not, the program ends.
    bool isSignedIn() const { return m_signedIn; }

    // Selects the interface language; an unsupported name selects the default
    // language, the language in use reloads nothing.
    void setLanguage(const QString& name);
    QString currentLanguage() const { return m_currentLanguage; }

    // Adds a screen on top of the stack and shows it; the stack owns it.
    void pushScreen(QWidget* screen);
    int screenCount() const;
    QWidget* currentScreen() const;
    ViewPatients* patientsList() const;

    // Whether the screens above the patients list may be left now, for every
    // way that leaves them all: closing the window, and later signing out or
    // locking. A screen with unsaved work asks its save question first. False
    // while that work is being saved; then runs once it has been.
    bool mayLeaveScreens(const std::function<void()>& then);

    IdleLock* idleLock() const { return m_idleLock; }

signals:
    void onPlayerState(bool active);

protected slots:
    void onLanguageChanged(QAction* action);
    void onMenuPassword();
    void onMenuUpdates();
    void onMenuAbout();

private slots:
    void onLogin(bool success);
    void onChangePassword(bool success);
    void onChoosePatient(Patient& patient);
    void onAnalysis(Patient& patient, QList<Record>& records);
    void onComparativeAnalysis(Patient& patient, QList<Record>& records);
    void onRecoveryHistory(Patient& patient, QList<Record>& records);
    void onReceipt(Patient& patient, Record& record);
    void onImpact(Patient& patient, Record& record, QList<Marker>& markers, bool recipeChanged);
    void onPlayerInit(QByteArray samples, QString title);
    void showPatientsList();
    void screenBack();
    void patientDelete(QWidget* widget, Patient& patient);
    void patientDeleted();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void connectMenuActions();
    void signIn();
    // The practitioner gave up signing in again: once the screens' work is
    // saved or dropped, everything goes and the sign-in starts afresh.
    void signInAbandoned();
    void signOut();
    void signInAfresh();
    void retranslate();
    void onPlayerEnded(bool completed);
    // Pushes a screen above the patient card, connected to go back and to the
    // list; returns it for the connections of its own.
    template <typename Screen> Screen* openScreen(Screen* screen);
    // Whether the top screen, when it is of that kind, may be left now; with
    // unsaved changes it asks first.
    template <typename Screen> bool mayLeaveTopScreen();
    void screensSaved();

    ScreenStack* m_screens;
    PlayerHost* m_player;
    SignInAgain* m_signInAgain;
    IdleLock* m_idleLock;
    QMenu* m_menuApplication = nullptr;
    QMenu* m_menuLanguage = nullptr;
    QAction* m_menuPassword = nullptr;
    QAction* m_menuUpdates = nullptr;
    QAction* m_menuAbout = nullptr;
    LanguageMenu* m_languages = nullptr;
    QTranslator m_translator;
    // The toolkit's own texts (dialog buttons, file dialogs) in the same language.
    QTranslator m_toolkitTranslator;
    QString m_currentLanguage;
    bool m_signedIn = false;
    // The way out that waits for a screen's work to be saved.
    std::function<void()> m_afterScreensSaved;
};
