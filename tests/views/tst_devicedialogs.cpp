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

using AutospectrumAction = std::function<void(DialogAutospectrum&)>;
Q_DECLARE_METATYPE(AutospectrumAction)

namespace {

Patient patient(bool hasDevices, bool isEnabled)
{
    return Patient(QJsonObject{{QStringLiteral("id"), QStringLiteral("p1")},
                               {QStringLiteral("hasDevices"), hasDevices},
                               {QStringLiteral("isEnabled"), isEnabled}});
}

template <typename Widget> Widget* child(QWidget& dialog, const char* name)
{
    return dialog.findChild<Widget*>(QLatin1String(name));
}

QString managerText(const char* key)
{
    return QCoreApplication::translate("DialogManageDevices", key);
}

} // namespace

class DeviceDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setupApplication(*qApp); }
    void buttonsFollowTheDevice_data();
    void buttonsFollowTheDevice();
    void connectWithoutSensorSaysSoForThreeSeconds();
    void disconnectAsksFirst();
    void toggleReportsAndCloses();
    void autospectrumReportsOncePerRun_data();
    void autospectrumReportsOncePerRun();
};

void DeviceDialogsTest::buttonsFollowTheDevice_data()
{
    QTest::addColumn<bool>("hasDevices");
    QTest::addColumn<bool>("isEnabled");
    QTest::addColumn<QString>("toggleText");

    QTest::newRow("no device") << false << true << QString();
    QTest::newRow("enabled device") << true << true << managerText("Text.disableDevice");
    QTest::newRow("blocked device") << true << false << managerText("Text.enableDevice");
}

void DeviceDialogsTest::buttonsFollowTheDevice()
{
    QFETCH(bool, hasDevices);
    QFETCH(bool, isEnabled);
    QFETCH(QString, toggleText);

    DialogManageDevices dialog(nullptr, patient(hasDevices, isEnabled));
    QCOMPARE(child<QPushButton>(dialog, "buttonToggle")->text(), toggleText);
    QCOMPARE(child<QPushButton>(dialog, "buttonToggle")->isEnabled(), hasDevices);
    QCOMPARE(child<QPushButton>(dialog, "buttonDisconnect")->isEnabled(), hasDevices);
    QVERIFY(child<QPushButton>(dialog, "buttonConnect")->isEnabled());
}

void DeviceDialogsTest::connectWithoutSensorSaysSoForThreeSeconds()
{
    ScopedSensor none{QString()};
    DialogManageDevices dialog(nullptr, patient(false, false));
    QSignalSpy connected(&dialog, &DialogManageDevices::listenerConnect);
    auto* button = child<QPushButton>(dialog, "buttonConnect");
    auto* error = child<QLabel>(dialog, "labelError");

    QElapsedTimer shown;
    shown.start();
    button->click();
    QCOMPARE(error->text(), managerText("Text.deviceNotConnected"));
    QVERIFY(!button->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(button->isEnabled(), 5000);
    QVERIFY2(shown.elapsed() >= 2900, qPrintable(QString::number(shown.elapsed())));
    QCOMPARE(error->text(), QString());
    QCOMPARE(connected.count(), 0);
}

void DeviceDialogsTest::disconnectAsksFirst()
{
    DialogManageDevices dialog(nullptr, patient(true, true));
    QSignalSpy disconnected(&dialog, &DialogManageDevices::listenerDisconnect);
    auto* button = child<QPushButton>(dialog, "buttonDisconnect");
    MessageBoxRecorder boxes(QMessageBox::No);

    button->click();
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().title, managerText("Text.titleDisconnect"));
    QCOMPARE(boxes.boxes.first().text, managerText("Text.confirmDisconnect"));
    QCOMPARE(disconnected.count(), 0);
    QVERIFY(button->isEnabled());

    boxes.setAnswer(QMessageBox::Yes);
    button->click();
    QCOMPARE(disconnected.count(), 1);
    QVERIFY(!button->isEnabled());
}

void DeviceDialogsTest::toggleReportsAndCloses()
{
    DialogManageDevices dialog(nullptr, patient(true, true));
    QSignalSpy toggled(&dialog, &DialogManageDevices::listenerToggle);
    dialog.show();
    child<QPushButton>(dialog, "buttonToggle")->click();
    QCOMPARE(toggled.count(), 1);
    QVERIFY(!dialog.isVisible());
}

void DeviceDialogsTest::autospectrumReportsOncePerRun_data()
{
    QTest::addColumn<AutospectrumAction>("action");
    QTest::addColumn<QList<int>>("reported");

    const auto click = [](const char* name) {
        return AutospectrumAction([name](DialogAutospectrum& d) { child<QPushButton>(d, name)->click(); });
    };
    QTest::newRow("confirm untouched") << click("buttonConfirm") << QList<int>{1};
    QTest::newRow("confirm 7 minutes") << AutospectrumAction([](DialogAutospectrum& d) {
        child<QSpinBox>(d, "spinBoxDuration")->setValue(7);
        QTest::keyClick(&d, Qt::Key_Return);
    }) << QList<int>{7};
    QTest::newRow("cancel") << click("buttonCancel") << QList<int>{0};
    QTest::newRow("window's close button")
        << AutospectrumAction([](DialogAutospectrum& d) { d.close(); }) << QList<int>{0};
    QTest::newRow("escape") << AutospectrumAction([](DialogAutospectrum& d) { QTest::keyClick(&d, Qt::Key_Escape); })
                            << QList<int>{};
}

void DeviceDialogsTest::autospectrumReportsOncePerRun()
{
    QFETCH(AutospectrumAction, action);
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
