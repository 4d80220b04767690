#include "app/Application.h"
#include "data/Patient.h"
#include "support/ModalDialogDriver.h"
#include "views/FormPatient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

// No translation is installed: every text shows as its key.

namespace {

Patient storedPatient(const QString& gender, const QString& birthDate)
{
    return Patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")},
                               {QStringLiteral("name"), QStringLiteral("Anna Smith")},
                               {QStringLiteral("gender"), gender},
                               {QStringLiteral("birthDate"), birthDate},
                               {QStringLiteral("notes"), QStringLiteral("first line\nsecond line")},
                               {QStringLiteral("phone"), QStringLiteral("+7 900 123")}});
}

// The form with typed access to its widgets, and every patient it submitted.
struct Form
{
    Form()
    {
        QObject::connect(&dialog, &FormPatient::onSubmit, [this](Patient* patient) { submitted << patient; });
    }

    template <typename Widget> Widget* find(const char* name)
    {
        auto* found = dialog.findChild<Widget*>(QLatin1String(name));
        if (!found)
            qWarning("no child %s", name);
        return found;
    }

    QLineEdit* name() { return find<QLineEdit>("nameField"); }
    QLineEdit* day() { return find<QLineEdit>("birthDateDayField"); }
    QComboBox* month() { return find<QComboBox>("birthDateMonthBox"); }
    QLineEdit* year() { return find<QLineEdit>("birthDateYearField"); }
    QPushButton* male() { return find<QPushButton>("buttonGenderMale"); }
    QPushButton* female() { return find<QPushButton>("buttonGenderFemale"); }
    QLineEdit* phone() { return find<QLineEdit>("phoneField"); }
    QPlainTextEdit* notes() { return find<QPlainTextEdit>("notesField"); }
    QCheckBox* agreement() { return find<QCheckBox>("agreement"); }
    QPushButton* save() { return find<QPushButton>("buttonSave"); }

    void tickAndSave()
    {
        agreement()->setChecked(true);
        save()->click();
    }

    FormPatient dialog;
    QList<Patient*> submitted;
};

} // namespace

class FormPatientTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }

    void fieldLimits_data();
    void fieldLimits();
    void monthsInOrder();
    void newPatientStartsEmpty();
    void editingFillsTheForm_data();
    void editingFillsTheForm();
    void agreementGuardsSaving_data();
    void agreementGuardsSaving();
    void genderPair_data();
    void genderPair();
    void birthDate_data();
    void birthDate();
    void dayFieldTakesOneToThirtyOne_data();
    void dayFieldTakesOneToThirtyOne();
    void saveWritesIntoTheHandedPatientAndStaysOpen();
    void cancelRejectsAndWritesNothing();
    void saveWithoutAPatientDoesNothing();
};

void FormPatientTest::fieldLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<QSize>("minimum");
    QTest::addColumn<QSize>("maximum");

    const QSize unbounded(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QTest::newRow("name") << "nameField" << 255 << "Text.name" << QSize(240, 40) << unbounded;
    QTest::newRow("day") << "birthDateDayField" << 3 << "Text.day" << QSize(40, 40) << QSize(60, 40);
    QTest::newRow("year") << "birthDateYearField" << 5 << "Text.year" << QSize(40, 40) << QSize(70, 40);
    QTest::newRow("phone") << "phoneField" << 100 << "Form.phone" << QSize(240, 40) << unbounded;
}

void FormPatientTest::fieldLimits()
{
    QFETCH(QString, field);
    QFETCH(int, maxLength);
    QFETCH(QString, placeholder);
    QFETCH(QSize, minimum);
    QFETCH(QSize, maximum);

    FormPatient form;
    auto* edit = form.findChild<QLineEdit*>(field);
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), maxLength);
    QCOMPARE(edit->placeholderText(), placeholder);
    QCOMPARE(edit->minimumSize(), minimum);
    QCOMPARE(edit->maximumSize(), maximum);
}

void FormPatientTest::monthsInOrder()
{
    Form form;
    QComboBox* month = form.month();
    const QStringList expected{
        QStringLiteral("Text.January"), QStringLiteral("Text.February"), QStringLiteral("Text.March"),
        QStringLiteral("Text.April"),   QStringLiteral("Text.May"),      QStringLiteral("Text.June"),
        QStringLiteral("Text.July"),    QStringLiteral("Text.August"),   QStringLiteral("Text.September"),
        QStringLiteral("Text.October"), QStringLiteral("Text.November"), QStringLiteral("Text.December")};
    QStringList shown;
    for (int i = 0; i < month->count(); ++i)
        shown << month->itemText(i);
    QCOMPARE(shown, expected);
    QCOMPARE(month->maxCount(), 12);
    QCOMPARE(month->maxVisibleItems(), 12);
}

void FormPatientTest::newPatientStartsEmpty()
{
    Form form;
    Patient patient;
    form.dialog.setPatient(&patient);

    QCOMPARE(form.dialog.windowTitle(), QString());
    QCOMPARE(form.find<QLabel>("labelTitle")->text(), QStringLiteral("Dialog.createPatient"));
    QVERIFY(!form.find<QLabel>("iconLabel")->pixmap(Qt::ReturnByValue).isNull());
    QCOMPARE(form.name()->text(), QString());
    QCOMPARE(form.day()->text(), QString());
    QCOMPARE(form.month()->currentIndex(), 0);
    QCOMPARE(form.year()->text(), QString());
    QCOMPARE(form.phone()->text(), QString());
    QCOMPARE(form.notes()->toPlainText(), QString());
    QVERIFY(form.male()->isChecked());
    QVERIFY(!form.female()->isChecked());
    QVERIFY(!form.agreement()->isChecked());
    QVERIFY(!form.save()->isEnabled());
}

void FormPatientTest::editingFillsTheForm_data()
{
    QTest::addColumn<QString>("birthDate");
    QTest::addColumn<QString>("day");
    QTest::addColumn<int>("monthIndex");
    QTest::addColumn<QString>("year");

    QTest::newRow("May") << "1980-05-17"
                         << "17" << 4 << "1980";
    QTest::newRow("December, single-digit day") << "2000-12-01"
                                                << "1" << 11 << "2000";
    QTest::newRow("no birth date leaves the date empty") << ""
                                                         << "" << 0 << "";
}

void FormPatientTest::editingFillsTheForm()
{
    QFETCH(QString, birthDate);
    QFETCH(QString, day);
    QFETCH(int, monthIndex);
    QFETCH(QString, year);

    Form form;
    Patient patient = storedPatient(QStringLiteral("FEMALE"), birthDate);
    const Patient original = patient;
    form.dialog.setPatient(&patient);

    QCOMPARE(form.find<QLabel>("labelTitle")->text(), QStringLiteral("Dialog.editPatient"));
    QCOMPARE(form.name()->text(), QStringLiteral("Anna Smith"));
    QCOMPARE(form.day()->text(), day);
    QCOMPARE(form.month()->currentIndex(), monthIndex);
    QCOMPARE(form.year()->text(), year);
    QCOMPARE(form.phone()->text(), QStringLiteral("+7 900 123"));
    QCOMPARE(form.notes()->toPlainText(), QStringLiteral("first line\nsecond line"));
    QVERIFY(form.agreement()->isChecked());
    QVERIFY(form.save()->isEnabled());

    // Saving untouched gives back what came in.
    form.save()->click();
    QCOMPARE(form.submitted.size(), 1);
    QCOMPARE(patient.toJson(), original.toJson());
}

void FormPatientTest::agreementGuardsSaving_data()
{
    QTest::addColumn<QList<int>>("states");
    QTest::addColumn<bool>("saveEnabled");

    QTest::newRow("ticked") << QList<int>{Qt::Checked} << true;
    QTest::newRow("ticked then unticked") << QList<int>{Qt::Checked, Qt::Unchecked} << false;
    QTest::newRow("partly checked after ticked") << QList<int>{Qt::Checked, Qt::PartiallyChecked} << true;
    QTest::newRow("partly checked while unticked") << QList<int>{Qt::PartiallyChecked} << false;
    QTest::newRow("partly checked after unticked")
        << QList<int>{Qt::Checked, Qt::Unchecked, Qt::PartiallyChecked} << false;
}

void FormPatientTest::agreementGuardsSaving()
{
    QFETCH(QList<int>, states);
    QFETCH(bool, saveEnabled);

    Form form;
    Patient patient;
    form.dialog.setPatient(&patient);
    for (int state : states)
        form.agreement()->setCheckState(Qt::CheckState(state));
    QCOMPARE(form.save()->isEnabled(), saveEnabled);
}

void FormPatientTest::genderPair_data()
{
    QTest::addColumn<QString>("storedGender"); // null: a new patient
    QTest::addColumn<QString>("clicks");       // m = male button, f = female button
    QTest::addColumn<bool>("maleShown");
    QTest::addColumn<QString>("savedGender");

    QTest::newRow("new patient") << QString() << "" << true << "MALE";
    QTest::newRow("new patient, female chosen") << QString() << "f" << false << "FEMALE";
    QTest::newRow("female then male") << QString() << "fm" << true << "MALE";
    QTest::newRow("checked button pressed again stays checked") << QString() << "mm" << true << "MALE";
    QTest::newRow("editing FEMALE") << "FEMALE"
                                    << "" << false << "FEMALE";
    QTest::newRow("editing MALE") << "MALE"
                                  << "" << true << "MALE";
    QTest::newRow("editing an empty gender keeps it") << ""
                                                      << "" << false << "";
    QTest::newRow("editing lower-case male keeps it") << "male"
                                                      << "" << false << "male";
    QTest::newRow("editing an empty gender, female chosen") << ""
                                                            << "f" << false << "FEMALE";
}

void FormPatientTest::genderPair()
{
    QFETCH(QString, storedGender);
    QFETCH(QString, clicks);
    QFETCH(bool, maleShown);
    QFETCH(QString, savedGender);

    Form form;
    Patient patient = storedGender.isNull() ? Patient() : storedPatient(storedGender, QStringLiteral("1980-05-17"));
    form.dialog.setPatient(&patient);
    for (QChar click : clicks)
        (click == QLatin1Char('m') ? form.male() : form.female())->click();

    QCOMPARE(form.male()->isChecked(), maleShown);
    QCOMPARE(form.female()->isChecked(), !maleShown);
    form.tickAndSave();
    QCOMPARE(patient.gender(), savedGender);
}

void FormPatientTest::birthDate_data()
{
    QTest::addColumn<QString>("day");
    QTest::addColumn<int>("monthIndex");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("17 May 1980") << "17" << 4 << "1980" << QDate(1980, 5, 17);
    QTest::newRow("31 December") << "31" << 11 << "1999" << QDate(1999, 12, 31);
    QTest::newRow("29 February of a leap year") << "29" << 1 << "2000" << QDate(2000, 2, 29);
    QTest::newRow("30 February") << "30" << 1 << "2000" << QDate();
    QTest::newRow("31 April") << "31" << 3 << "2001" << QDate();
    QTest::newRow("year not a number") << "1" << 0 << "abc" << QDate();
    QTest::newRow("no day") << "" << 0 << "1990" << QDate();
    QTest::newRow("no year") << "5" << 0 << "" << QDate();
}

void FormPatientTest::birthDate()
{
    QFETCH(QString, day);
    QFETCH(int, monthIndex);
    QFETCH(QString, year);
    QFETCH(QDate, expected);

    Form form;
    Patient patient;
    patient.setBirthDate(1, 1, 1970);
    form.dialog.setPatient(&patient);
    form.day()->setText(day);
    form.month()->setCurrentIndex(monthIndex);
    form.year()->setText(year);
    form.tickAndSave();

    QCOMPARE(patient.birthDate(), expected);
    QCOMPARE(patient.birthDate().isValid(), expected.isValid());
}

void FormPatientTest::dayFieldTakesOneToThirtyOne_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("1") << "1"
                       << "1" << true;
    QTest::newRow("31") << "31"
                        << "31" << true;
    QTest::newRow("32 is left unfinished") << "32"
                                           << "32" << false;
    QTest::newRow("0 is left unfinished") << "0"
                                          << "0" << false;
    QTest::newRow("a third digit is refused") << "100"
                                              << "10" << true;
    QTest::newRow("letters are refused") << "ab"
                                         << "" << false;
    QTest::newRow("a letter after digits is refused") << "12x"
                                                      << "12" << true;
    QTest::newRow("a minus sign is refused") << "-5"
                                             << "5" << true;
}

void FormPatientTest::dayFieldTakesOneToThirtyOne()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, acceptable);

    Form form;
    QTest::keyClicks(form.day(), typed);
    QCOMPARE(form.day()->text(), shown);
    QCOMPARE(form.day()->hasAcceptableInput(), acceptable);
}

void FormPatientTest::saveWritesIntoTheHandedPatientAndStaysOpen()
{
    Form form;
    Patient patient;
    form.dialog.setPatient(&patient);
    form.dialog.show();

    QTest::keyClicks(form.name(), QStringLiteral("  Boris  "));
    QTest::keyClicks(form.day(), QStringLiteral("5"));
    form.month()->setCurrentIndex(2);
    QTest::keyClicks(form.year(), QStringLiteral("1990"));
    QTest::keyClicks(form.phone(), QStringLiteral("+49 30 1234"));
    form.notes()->setPlainText(QStringLiteral("allergic\nto pollen"));
    QTest::mouseClick(form.female(), Qt::LeftButton);
    QVERIFY(!form.save()->isEnabled());
    QTest::mouseClick(form.agreement(), Qt::LeftButton);
    QTest::mouseClick(form.save(), Qt::LeftButton);

    QCOMPARE(form.submitted, QList<Patient*>{&patient});
    QCOMPARE(patient.name(), QStringLiteral("  Boris  "));
    QCOMPARE(patient.birthDate(), QDate(1990, 3, 5));
    QCOMPARE(patient.gender(), QStringLiteral("FEMALE"));
    QCOMPARE(patient.phone(), QStringLiteral("+49 30 1234"));
    QCOMPARE(patient.notes(), QStringLiteral("allergic\nto pollen"));
    QCOMPARE(patient.id(), QString());
    // Whoever stores the patient closes the form; a refusal leaves it open.
    QVERIFY(form.dialog.isVisible());

    form.name()->setText(QStringLiteral("Boris B."));
    form.save()->click();
    QCOMPARE(form.submitted.size(), 2);
    QCOMPARE(patient.name(), QStringLiteral("Boris B."));
}

void FormPatientTest::cancelRejectsAndWritesNothing()
{
    Form form;
    Patient patient = storedPatient(QStringLiteral("MALE"), QStringLiteral("1980-05-17"));
    const QByteArray before = patient.toJson();
    form.dialog.setPatient(&patient);
    form.name()->setText(QStringLiteral("Changed"));

    whenModalAppears([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("buttonCancel")), Qt::LeftButton);
    });
    QCOMPARE(form.dialog.exec(), int(QDialog::Rejected));
    QVERIFY(form.submitted.isEmpty());
    QCOMPARE(patient.toJson(), before);
}

void FormPatientTest::saveWithoutAPatientDoesNothing()
{
    Form form;
    form.agreement()->setChecked(true);
    form.save()->click();
    QVERIFY(form.submitted.isEmpty());
}

QTEST_MAIN(FormPatientTest)
#include "tst_formpatient.moc"
