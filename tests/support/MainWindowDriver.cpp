#include "support/MainWindowDriver.h"

#include "api/PatientManager.h"
#include "app/MainWindow.h"
#include "audio/SensorAudioFormat.h"
#include "data/PatientModel.h"
#include "data/RecordModel.h"
#include "support/FakeAudioCapture.h"
#include "support/ModalDialogDriver.h"
#include "support/ScopedSensor.h"
#include "support/SignInDriver.h"
#include "views/ViewPatient.h"
#include "views/ViewPatients.h"

#include <QPushButton>
#include <QTableView>
#include <QtTest>

namespace {

bool isLoading(QWidget* screen)
{
    return screen->findChild<QWidget*>(QStringLiteral("LoadingWindow"));
}

QTableView* tableOf(QWidget* screen)
{
    return screen->findChild<QTableView*>(QStringLiteral("tableView"));
}

} // namespace

MainWindowDriver::MainWindowDriver(const QString& username, const QString& password)
{
    signInWhenAsked(username, password);
    m_window = std::make_unique<MainWindow>();
    if (!m_window->isSignedIn() || !QTest::qWaitForWindowExposed(m_window.get()))
        m_window.reset();
}

MainWindowDriver::MainWindowDriver(std::unique_ptr<MainWindow> window) : m_window(std::move(window)) {}

MainWindowDriver::~MainWindowDriver() = default;

ViewPatient* MainWindowDriver::openCard(const QString& name)
{
    QMetaObject::invokeMethod(m_window.get(), "showPatientsList");
    ViewPatients* list = m_window->patientsList();
    PatientModel* model = PatientManager::instance().model();
    PatientManager::instance().search(list, QStringLiteral("name"), QStringLiteral("asc"), 0, QStringLiteral("name"),
                                      name);
    QTableView* table = tableOf(list);
    const auto row = [table] { return table->model()->index(0, PatientModel::NameColumn); };
    // The one row is there, laid out, and no longer covered while it loads.
    if (!QTest::qWaitFor([&] {
            return model->rowCount() == 1 && model->patientAt(model->index(0, 0)).name() == name && !isLoading(list) &&
                   table->visualRect(row()).height() > 0;
        }))
        return nullptr;
    QWidget* viewport = table->viewport();
    QTest::mouseDClick(viewport->window()->windowHandle(), Qt::LeftButton, {},
                       viewport->mapTo(viewport->window(), table->visualRect(row()).center()));
    ViewPatient* card = nullptr;
    const bool shown = QTest::qWaitFor([&] {
        card = qobject_cast<ViewPatient*>(m_window->currentScreen());
        return card && !isLoading(card);
    });
    return shown ? card : nullptr;
}

void MainWindowDriver::tick(ViewPatient* card, const QList<int>& rows)
{
    QAbstractItemModel* model = tableOf(card)->model();
    for (int row : rows)
        model->setData(model->index(row, RecordModel::CheckColumn), Qt::Checked, Qt::CheckStateRole);
}

QWidget* MainWindowDriver::openFromCard(ViewPatient* card, const QString& buttonName)
{
    auto* button = card->findChild<QPushButton*>(buttonName);
    if (!button || !button->isEnabled())
        return nullptr;
    button->click();
    QWidget* screen = nullptr;
    const bool opened = QTest::qWaitFor([&] {
        screen = m_window->currentScreen();
        return screen != card && !isLoading(screen);
    });
    return opened ? screen : nullptr;
}

void MainWindowDriver::recordOnCard(ViewPatient* card, const QString& sensorId)
{
    ScopedFakeAudioCapture captures;
    ScopedSensor sensor(sensorId);
    whenModalAppears([&](QWidget* recorder) {
        recorder->findChild<QPushButton*>(QStringLiteral("buttonStartRecord"))->click();
        QVERIFY(captures.last());
        captures.last()->push(QByteArray(sensorBytesPerSecond() * 3, char(128)));
        QPushButton* save = recorder->findChild<QPushButton*>(QStringLiteral("buttonSaveRecord"));
        QTRY_VERIFY(save->isEnabled());
        save->click();
    });
    card->findChild<QPushButton*>(QStringLiteral("buttonNewRecord"))->click();
}
