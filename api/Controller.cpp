#include "api/Controller.h"

#include "api/RequestParts.h"
#include "api/ResendingCall.h"
#include "base/Account.h"
#include "base/AppConstants.h"
#include "base/Base64.h"
#include "data/Marker.h"
#include "data/Patient.h"
#include "data/Record.h"
#include "net/FileTransfer.h"
#include "net/Http.h"
#include "net/HttpReply.h"
#include "net/ServiceErrorText.h"
#include "net/ServiceSession.h"
#include "net/ServiceUrl.h"
#include "net/Unzip.h"
#include "widgets/LoadingWindow.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QUrlQuery>
#include <QWidget>

Controller::Controller(QWidget* overlayWidget, QObject* parent) : QObject(parent), m_overlayWidget(overlayWidget) {}

Controller::~Controller()
{
    removeOverlay();
}

// ---- Operations ------------------------------------------------------------

void Controller::login(const QMap<QString, QString>& params)
{
    const QString base = startCall();
    if (base.isEmpty())
        return;
    const QUrl url(base + QStringLiteral("/auth/login"), QUrl::TolerantMode);
    // The sign-in goes through the shared transport itself, as a form.
    run(SignIn, false, [this, url, params] { watch(Http::instance().post(url, params)); });
}

void Controller::changePassword(const QMap<QString, QString>& params)
{
    QJsonObject object;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        object.insert(it.key(), it.value());
    send(HttpMethod::Post, QStringLiteral("/auth/password"), AccessToken, jsonBody(object));
}

void Controller::changeLocale(const QString& language)
{
    const QJsonObject object{
        {QStringLiteral("country"), language.section(QLatin1Char('_'), 1)},
        {QStringLiteral("locale"), language.section(QLatin1Char('_'), 0, 0)},
    };
    send(HttpMethod::Put, QStringLiteral("/auth/locale"), Status, jsonBody(object));
}

void Controller::checkUpdates()
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("version"), AppConstants::applicationVersion);
    send(HttpMethod::Get, QStringLiteral("/auth/updates/?") + query.toString(QUrl::FullyEncoded), Bytes);
}

void Controller::filterPatients(const QString& sortBy, const QString& direction, int size, int current,
                                const QString& searchBy, const QString& searchText)
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("sortby"), queryValue(sortBy));
    query.addQueryItem(QStringLiteral("direction"), queryValue(direction));
    query.addQueryItem(QStringLiteral("size"), QString::number(size));
    query.addQueryItem(QStringLiteral("current"), QString::number(current));
    query.addQueryItem(QStringLiteral("searchby"), queryValue(searchBy));
    query.addQueryItem(QStringLiteral("needle"), queryValue(needle(searchText)));
    send(HttpMethod::Get, QStringLiteral("/patient/filter?") + query.toString(QUrl::FullyEncoded), Bytes);
}

void Controller::createPatient(const Patient& patient)
{
    send(HttpMethod::Post, QStringLiteral("/patient"), Bytes, patient.toJson());
}

void Controller::editPatient(const Patient& patient)
{
    send(HttpMethod::Put, QStringLiteral("/patient"), Bytes, patient.toJson());
}

void Controller::removePatient(const Patient& patient)
{
    send(HttpMethod::Delete, QStringLiteral("/patient/") + pathSegment(patient.id()), Status);
}

void Controller::getRecords(const Patient& patient)
{
    send(HttpMethod::Get, QStringLiteral("/record/") + pathSegment(patient.id()), Bytes);
}

void Controller::uploadRecord(const Patient& patient, const QByteArray& recording, const QString& sensorId)
{
    const QString base = startCall();
    if (base.isEmpty())
        return;
    showOverlay();
    run(Bytes, true, [this, url = base + QStringLiteral("/record"), patient, recording, sensorId] {
        auto* transfer = new FileTransfer;
        // A silent service must not leave the overlay up: the upload waits for
        // the answer no longer than any other call.
        transfer->setReadTimeout(Http::instance().readTimeout());
        const int attempt = m_call->attempt();
        m_stopWaiting = [transfer = QPointer<FileTransfer>(transfer)] {
            if (transfer)
                transfer->stopWaiting();
        };
        connect(transfer, &FileTransfer::onSuccess, this,
                [this, attempt](const QByteArray& bytes) { m_call->answer(attempt, bytes); });
        connect(transfer, &FileTransfer::onError, this, [this, attempt, transfer](const QByteArray& bytes) {
            m_call->fail(attempt, bytes, {transfer->statusCode(), transfer->networkError()});
        });
        connect(transfer, &QObject::destroyed, this, [this, attempt] { m_call->fail(attempt, {}, {}); });
        transfer->upload(url, patient, recording, sensorId);
    });
}

void Controller::deleteRecord(const Record& record)
{
    send(HttpMethod::Delete,
         QStringLiteral("/record/%1/%2").arg(pathSegment(record.patientId()), pathSegment(record.id())), Status);
}

void Controller::exportExcel(const Patient& patient)
{
    send(HttpMethod::Post, QStringLiteral("/export/excel"), Bytes,
         jsonBody({{QStringLiteral("patientId"), patient.id()}}));
}

void Controller::connectDevice(const Patient& patient, const QString& deviceId)
{
    send(HttpMethod::Post, QStringLiteral("/patient/device"), Status,
         jsonBody({{QStringLiteral("patientId"), patient.id()}, {QStringLiteral("deviceId"), deviceId}}));
}

void Controller::toggleDevice(const Patient& patient)
{
    send(HttpMethod::Put, QStringLiteral("/patient/device"), Status,
         jsonBody({{QStringLiteral("patientId"), patient.id()}}));
}

void Controller::disconnectDevice(const Patient& patient)
{
    send(HttpMethod::Delete, QStringLiteral("/patient/device/") + pathSegment(patient.id()), Status);
}

void Controller::sendCommand(const Patient& patient, const QString& command, const Record* record)
{
    QJsonObject object{{QStringLiteral("patientId"), patient.id()}, {QStringLiteral("command"), command}};
    if (record)
        object.insert(QStringLiteral("recordId"), record->id());
    send(HttpMethod::Post, QStringLiteral("/command"), Status, jsonBody(object));
}

void Controller::deleteCommand(const Patient& patient)
{
    send(HttpMethod::Delete, QStringLiteral("/command/") + pathSegment(patient.id()), Status);
}

void Controller::requestAutospectrum(const Patient& patient, const Record& record, const QString& deviceId)
{
    send(HttpMethod::Post, QStringLiteral("/recipe/autospectrum"), Packed,
         jsonBody({{QStringLiteral("patientId"), patient.id()},
                   {QStringLiteral("recordId"), record.id()},
                   {QStringLiteral("deviceId"), deviceId}}));
}

void Controller::analyse(const QByteArray& json)
{
    send(HttpMethod::Post, QStringLiteral("/analysis"), Bytes, json);
}

void Controller::summary(const QByteArray& json)
{
    send(HttpMethod::Post, QStringLiteral("/analysis/summary"), Bytes, json);
}

void Controller::comparative(const QByteArray& json)
{
    send(HttpMethod::Post, QStringLiteral("/analysis/comparative"), Bytes, json);
}

void Controller::diagnosticCategories(const Patient& patient)
{
    send(HttpMethod::Get, QStringLiteral("/category/diagnostic/") + pathSegment(patient.id()), Bytes);
}

void Controller::correctiveCategories(const Patient& patient)
{
    send(HttpMethod::Get, QStringLiteral("/category/corrective/") + pathSegment(patient.id()), Bytes);
}

void Controller::getRecipe(const Patient& patient, const Record& record)
{
    send(HttpMethod::Get, QStringLiteral("/recipe/%1/%2").arg(pathSegment(patient.id()), pathSegment(record.id())),
         Bytes);
}

void Controller::createRecipe(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                              const QString& deviceId)
{
    send(HttpMethod::Post, QStringLiteral("/recipe"), Packed,
         jsonBody(recipeBody(patient, record, markers, duration, deviceId, QString())));
}

void Controller::updateRecipe(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                              const QString& command)
{
    send(HttpMethod::Put, QStringLiteral("/recipe"), Status,
         jsonBody(recipeBody(patient, record, markers, duration, QString(), command)));
}

void Controller::loadQuestionnaire(const Patient& patient, const QList<Record>& records)
{
    QJsonArray recordIds;
    for (const Record& record : records)
        recordIds.append(record.id());
    send(HttpMethod::Post, QStringLiteral("/patient/questionnaire"), Bytes,
         jsonBody({{QStringLiteral("patientId"), patient.id()}, {QStringLiteral("records"), recordIds}}));
}

void Controller::saveQuestionnaire(const Patient& patient, const QByteArray& json)
{
    send(HttpMethod::Put, QStringLiteral("/patient/questionnaire/") + pathSegment(patient.id()), Status, json);
}

// ---- Running a call --------------------------------------------------------

QString Controller::startCall()
{
    const QString base = ServiceUrl::checkedBase();
    if (!base.isEmpty())
        return base;
    // Report once the caller has connected to the signals.
    QMetaObject::invokeMethod(
        this,
        [this] {
            emit onError(
                tr("Text.insecureServiceUrl").arg(QUrl(ServiceUrl::base()).toDisplayString(QUrl::RemoveUserInfo)));
            finish();
        },
        Qt::QueuedConnection);
    return {};
}

void Controller::send(HttpMethod method, const QString& pathAndQuery, Type type, const QByteArray& body)
{
    const QString base = startCall();
    if (base.isEmpty())
        return;
    showOverlay();
    const QUrl url(base + pathAndQuery, QUrl::TolerantMode);
    run(type, true, [this, method, url, body] {
        // The headers are read for every attempt: one sent again after a new
        // sign-in carries the new token.
        Http transport = Http::instance();
        transport.requestHeaders().insert(sessionHeaders());
        watch(sendRequest(transport, method, url, body));
    });
}

void Controller::run(Type type, bool carriesToken, const std::function<void()>& send)
{
    m_call = new ResendingCall(send, carriesToken, m_overlayWidget, this);
    m_call->setMayAskToSignIn(!m_unattended);
    m_call->setMayOfferRetry(!m_unattended && !m_keptWhenUnreachable);
    connect(m_call, &ResendingCall::answered, this, [this, type](const QByteArray& bytes) { success(type, bytes); });
    connect(m_call, &ResendingCall::failed, this, [this](const QByteArray& bytes, const ServiceFailure& failure) {
        m_failure = failure;
        error(bytes);
    });
    m_call->start();
}

void Controller::watch(HttpReply* reply)
{
    m_reply = reply;
    m_stopWaiting = [this] {
        if (m_reply)
            m_reply->stopWaiting();
    };
    const int attempt = m_call->attempt();
    connect(reply, &HttpReply::data, this,
            [this, attempt](const QByteArray& bytes) { m_call->answer(attempt, bytes); });
    // finished comes before error: keep what the failure was for the message.
    connect(reply, &HttpReply::finished, this, [this](const HttpReply& ended) {
        m_replyFailure = {ended.statusCode(), ended.networkError()};
    });
    connect(reply, &HttpReply::error, this,
            [this, attempt](const QByteArray& bytes) { m_call->fail(attempt, bytes, m_replyFailure); });
    // A reply that goes away without reporting must not leave the controller
    // and its overlay behind.
    connect(reply, &QObject::destroyed, this, [this, attempt] { m_call->fail(attempt, {}, m_replyFailure); });
}

void Controller::success(Controller::Type type, const QByteArray& bytes)
{
    // Finished before reporting: a caller's handler may run the event loop
    // (a message box), and nothing that arrives meanwhile is a second outcome.
    if (m_finished)
        return;
    m_finished = true;
    removeOverlay();
    switch (type) {
    case Bytes:
        emit onBytes(bytes);
        break;
    case SignIn:
    case AccessToken: {
        // An answer without a token would sign in with none, or replace the
        // token in use by none: the account stays as it was.
        const QJsonObject answer = tokenAnswer(bytes);
        if (answer.isEmpty())
            emit onError(tr("Text.unreadableAnswer"));
        else if (type == SignIn)
            Account::instance().fromJson(answer);
        else
            Account::instance().updateToken(answer);
        if (!answer.isEmpty())
            emit onSuccess();
        break;
    }
    case Packed:
        emit onBytes(unzip(decodeBase64(bytes)));
        break;
    case Status:
        emit onSuccess();
        break;
    }
    finish();
}

void Controller::error(const QByteArray& bytes)
{
    if (m_finished)
        return;
    m_finished = true;
    removeOverlay();
    emit onError(errorText(bytes, m_failure));
    finish();
}

void Controller::abort()
{
    if (m_finished)
        return;
    m_finished = true;
    removeOverlay();
    if (m_reply)
        m_reply->abort();
    deleteLater();
}

void Controller::showOverlay()
{
    if (!m_overlayWidget)
        return;
    m_overlay = new LoadingWindow(m_overlayWidget);
    connect(m_overlay, &LoadingWindow::stopWaitingClicked, this, [this] {
        if (m_stopWaiting)
            m_stopWaiting();
    });
}

void Controller::removeOverlay()
{
    delete m_overlay.data();
}

void Controller::finish()
{
    m_finished = true;
    deleteLater();
}

// ---- Error texts -----------------------------------------------------------

QString Controller::serviceMessage(const QByteArray& body)
{
    return ::serviceMessage(body);
}

QString Controller::errorText(const QByteArray& body, const Failure& failure)
{
    return serviceErrorText(body, failure);
}

QString Controller::needle(const QString& searchText)
{
    return searchNeedle(searchText);
}
