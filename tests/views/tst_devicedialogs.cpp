// The remote device dialog and the autospectrum dialog: what each way of
// using them reports to the patient card.
#include "app/Application.h"
#include "data/Patient.h"
#include "support/MessageBoxRecorder.h"
#include "support/ScopedSensor.h"
#include "views/DialogAutospectrum.h"
#include "views/DialogManageDevices.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <functional>
#include <tuple>

using DialogAction = std::function<void(QDialog&)>;
Q_DECLARE_METATYPE(DialogAction)

namespace {

Patient patient(bool hasDevices, bool isEnabled)
{
    return Patient(QJsonObject{{"id", "p1"}, {"hasDevices", hasDevices}, {"isEnabled", isEnabled}});
}

QPushButton* button(QDialog& dialog, const char* name)
{
    return dialog.findChild<QPushButton*>(name);
}

} // namespace

class DeviceDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setupApplication(*qApp); }
    void buttonsFollowTheDevice();
    void connectWithoutSensorSaysSoForThreeSeconds();
    void disconnectAsksFirstToggleCloses();
    void autospectrumReportsOncePerRun_data();
    void autospectrumReportsOncePerRun();
};

void DeviceDialogsTest::buttonsFollowTheDevice()
{
    for (const auto& [hasDevices, isEnabled, toggleText, stateText] :
         {std::tuple{false, true, "", "Text.deviceNotBound"},
          {true, true, "Text.disableDevice", "Text.deviceBoundEnabled"},
          {true, false, "Text.enableDevice", "Text.deviceBoundBlocked"}}) {
        DialogManageDevices dialog(nullptr, patient(hasDevices, isEnabled));
        QCOMPARE(button(dialog, "buttonToggle")->text(),
                 QCoreApplication::translate("DialogManageDevices", toggleText));
        QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("labelState"))->text(),
                 QCoreApplication::translate("DialogManageDevices", stateText));
        QCOMPARE(button(dialog, "buttonToggle")->isEnabled(), hasDevices);
        QCOMPARE(button(dialog, "buttonDisconnect")->isEnabled(), hasDevices);
    }
}

void DeviceDialogsTest::connectWithoutSensorSaysSoForThreeSeconds()
{
    ScopedSensor none{QString()};
    DialogManageDevices dialog(nullptr, patient(false, false));
    QSignalSpy connected(&dialog, &DialogManageDevices::listenerConnect);
    auto* error = dialog.findChild<QLabel*>(QStringLiteral("labelError"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Where the buttons stand: the message coming and going moves none.
    const auto places = [&dialog] {
        QList<QRect> geometries;
        for (const char* name : {"buttonToggle", "buttonConnect", "buttonDisconnect"})
            geometries << button(dialog, name)->geometry();
        return geometries;
    };
    const QList<QRect> before = places();
    QElapsedTimer shown;
    shown.start();
    button(dialog, "buttonConnect")->click();
    QVERIFY(!error->text().isEmpty() && !button(dialog, "buttonConnect")->isEnabled());
    QCoreApplication::processEvents();
    QCOMPARE(places(), before);
    QTRY_VERIFY_WITH_TIMEOUT(button(dialog, "buttonConnect")->isEnabled(), 5000);
    QVERIFY2(shown.elapsed() >= 2900, qPrintable(QString::number(shown.elapsed())));
    QVERIFY(error->text().isEmpty() && connected.isEmpty());
    QCoreApplication::processEvents();
    QCOMPARE(places(), before);
}

void DeviceDialogsTest::disconnectAsksFirstToggleCloses()
{
    DialogManageDevices dialog(nullptr, patient(true, true));
    QSignalSpy disconnected(&dialog, &DialogManageDevices::listenerDisconnect);
    QSignalSpy toggled(&dialog, &DialogManageDevices::listenerToggle);
    dialog.show();
    MessageBoxRecorder boxes(QMessageBox::No);
    button(dialog, "buttonDisconnect")->click();
    QVERIFY(disconnected.isEmpty() && button(dialog, "buttonDisconnect")->isEnabled());
    boxes.setAnswer(QMessageBox::Yes);
    button(dialog, "buttonDisconnect")->click();
    QVERIFY(disconnected.count() == 1 && !button(dialog, "buttonDisconnect")->isEnabled());
    QCOMPARE(boxes.boxes.size(), 2);
    // Toggling needs no question, and closes the dialog.
    button(dialog, "buttonToggle")->click();
    QVERIFY(toggled.count() == 1 && !dialog.isVisible());
}

void DeviceDialogsTest::autospectrumReportsOncePerRun_data()
{
    QTest::addColumn<DialogAction>("action");
    QTest::addColumn<QList<int>>("reported");

    const auto click = [](const char* name) { return DialogAction([name](QDialog& d) { button(d, name)->click(); }); };
    QTest::newRow("confirm untouched") << click("buttonConfirm") << QList<int>{1};
    QTest::newRow("confirm 7 minutes") << DialogAction([](QDialog& d) {
        d.findChild<QSpinBox*>(QStringLiteral("spinBoxDuration"))->setValue(7);
        QTest::keyClick(&d, Qt::Key_Return);
    }) << QList<int>{7};
    QTest::newRow("cancel") << click("buttonCancel") << QList<int>{0};
    QTest::newRow("window's close button") << DialogAction([](QDialog& d) { d.close(); }) << QList<int>{0};
    QTest::newRow("escape") << DialogAction([](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }) << QList<int>{};
}

void DeviceDialogsTest::autospectrumReportsOncePerRun()
{
    QFETCH(DialogAction, action);
    QFETCH(QList<int>, reported);

    DialogAutospectrum dialog(nullptr);
    QList<int> minutes;
    connect(&dialog, &DialogAutospectrum::listener, this, [&minutes](int value) { minutes << value; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    action(dialog);
    QCOMPARE(minutes, reported);
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(DeviceDialogsTest)
#include "tst_devicedialogs.moc"
