#include "api/Controller.h"

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
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>
#include <QWidget>

namespace {

const QByteArray jsonContentType = QByteArrayLiteral("application/json");

QByteArray jsonBody(const QJsonObject& object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// Ids come from the service; encoding them keeps an odd one from changing
// the path it is placed in.
// An empty value is still written "key=": the service reads a bare "key"
// differently from one with an empty value.
QString queryValue(const QString& value)
{
    return value.isNull() ? QStringLiteral("") : value;
}

QString segment(const QString& id)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(id));
}

// The answer of a sign-in or a password change: a JSON object, all of the
// body, with a token; empty when it is anything else.
QJsonObject tokenAnswer(const QByteArray& bytes)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    const QJsonValue token = document.object().value(QLatin1String("accessToken"));
    if (error.error != QJsonParseError::NoError || !token.isString() || token.toString().isEmpty())
        return {};
    return document.object();
}

QJsonObject recipeBody(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                       const QString& deviceId, const QString& command)
{
    QJsonArray markerIds;
    for (const Marker& marker : markers)
        markerIds.append(marker.id());
    return {
        {QStringLiteral("patientId"), patient.id()}, {QStringLiteral("recordId"), record.id()},
        {QStringLiteral("deviceId"), deviceId},      {QStringLiteral("markers"), markerIds},
        {QStringLiteral("duration"), duration},      {QStringLiteral("command"), command},
    };
}

} // namespace

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
    // The sign-in goes through the shared transport itself, as a form.
    watch(Http::instance().post(QUrl(base + QStringLiteral("/auth/login"), QUrl::TolerantMode), params), SignIn);
}

void Controller::changePassword(const QMap<QString, QString>& params)
{
    QJsonObject object;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        object.insert(it.key(), it.value());
    send(Method::Post, QStringLiteral("/auth/password"), AccessToken, jsonBody(object));
}

void Controller::changeLocale(const QString& language)
{
    const QJsonObject object{
        {QStringLiteral("country"), language.section(QLatin1Char('_'), 1)},
        {QStringLiteral("locale"), language.section(QLatin1Char('_'), 0, 0)},
    };
    send(Method::Put, QStringLiteral("/auth/locale"), Status, jsonBody(object));
}

void Controller::checkUpdates()
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("version"), AppConstants::applicationVersion);
    send(Method::Get, QStringLiteral("/auth/updates/?") + query.toString(QUrl::FullyEncoded), Bytes);
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
    send(Method::Get, QStringLiteral("/patient/filter?") + query.toString(QUrl::FullyEncoded), Bytes);
}

void Controller::createPatient(const Patient& patient)
{
    send(Method::Post, QStringLiteral("/patient"), Bytes, patient.toJson());
}

void Controller::editPatient(const Patient& patient)
{
    send(Method::Put, QStringLiteral("/patient"), Bytes, patient.toJson());
}

void Controller::removePatient(const Patient& patient)
{
    send(Method::Delete, QStringLiteral("/patient/") + segment(patient.id()), Status);
}

void Controller::getRecords(const Patient& patient)
{
    send(Method::Get, QStringLiteral("/record/") + segment(patient.id()), Bytes);
}

void Controller::uploadRecord(const Patient& patient, const QByteArray& recording, const QString& sensorId)
{
    const QString base = startCall();
    if (base.isEmpty())
        return;
    showOverlay();
    auto* transfer = new FileTransfer;
    // A silent service must not leave the overlay up: the upload waits for the
    // answer no longer than any other call.
    transfer->setReadTimeout(Http::instance().readTimeout());
    connect(transfer, &FileTransfer::onSuccess, this, [this](const QByteArray& bytes) { success(Bytes, bytes); });
    connect(transfer, &FileTransfer::onError, this, [this, transfer](const QByteArray& bytes) {
        m_failure = {transfer->statusCode(), transfer->networkError()};
        error(bytes);
    });
    connect(transfer, &QObject::destroyed, this, [this] {
        if (!m_finished)
            error({});
    });
    transfer->upload(base + QStringLiteral("/record"), patient, recording, sensorId);
}

void Controller::deleteRecord(const Record& record)
{
    send(Method::Delete, QStringLiteral("/record/%1/%2").arg(segment(record.patientId()), segment(record.id())),
         Status);
}

void Controller::exportExcel(const Patient& patient)
{
    send(Method::Post, QStringLiteral("/export/excel"), Bytes, jsonBody({{QStringLiteral("patientId"), patient.id()}}));
}

void Controller::connectDevice(const Patient& patient, const QString& deviceId)
{
    send(Method::Post, QStringLiteral("/patient/device"), Status,
         jsonBody({{QStringLiteral("patientId"), patient.id()}, {QStringLiteral("deviceId"), deviceId}}));
}

void Controller::toggleDevice(const Patient& patient)
{
    send(Method::Put, QStringLiteral("/patient/device"), Status,
         jsonBody({{QStringLiteral("patientId"), patient.id()}}));
}

void Controller::disconnectDevice(const Patient& patient)
{
    send(Method::Delete, QStringLiteral("/patient/device/") + segment(patient.id()), Status);
}

void Controller::sendCommand(const Patient& patient, const QString& command, const Record* record)
{
    QJsonObject object{{QStringLiteral("patientId"), patient.id()}, {QStringLiteral("command"), command}};
    if (record)
        object.insert(QStringLiteral("recordId"), record->id());
    send(Method::Post, QStringLiteral("/command"), Status, jsonBody(object));
}

void Controller::deleteCommand(const Patient& patient)
{
    send(Method::Delete, QStringLiteral("/command/") + segment(patient.id()), Status);
}

void Controller::requestAutospectrum(const Patient& patient, const Record& record, const QString& deviceId)
{
    send(Method::Post, QStringLiteral("/recipe/autospectrum"), Packed,
         jsonBody({{QStringLiteral("patientId"), patient.id()},
                   {QStringLiteral("recordId"), record.id()},
                   {QStringLiteral("deviceId"), deviceId}}));
}

void Controller::analyse(const QByteArray& json)
{
    send(Method::Post, QStringLiteral("/analysis"), Bytes, json);
}

void Controller::summary(const QByteArray& json)
{
    send(Method::Post, QStringLiteral("/analysis/summary"), Bytes, json);
}

void Controller::comparative(const QByteArray& json)
{
    send(Method::Post, QStringLiteral("/analysis/comparative"), Bytes, json);
}

void Controller::diagnosticCategories(const Patient& patient)
{
    send(Method::Get, QStringLiteral("/category/diagnostic/") + segment(patient.id()), Bytes);
}

void Controller::correctiveCategories(const Patient& patient)
{
    send(Method::Get, QStringLiteral("/category/corrective/") + segment(patient.id()), Bytes);
}

void Controller::getRecipe(const Patient& patient, const Record& record)
{
    send(Method::Get, QStringLiteral("/recipe/%1/%2").arg(segment(patient.id()), segment(record.id())), Bytes);
}

void Controller::createRecipe(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                              const QString& deviceId)
{
    send(Method::Post, QStringLiteral("/recipe"), Packed,
         jsonBody(recipeBody(patient, record, markers, duration, deviceId, QString())));
}

void Controller::updateRecipe(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                              const QString& command)
{
    send(Method::Put, QStringLiteral("/recipe"), Status,
         jsonBody(recipeBody(patient, record, markers, duration, QString(), command)));
}

void Controller::loadQuestionnaire(const Patient& patient, const QList<Record>& records)
{
    QJsonArray recordIds;
    for (const Record& record : records)
        recordIds.append(record.id());
    send(Method::Post, QStringLiteral("/patient/questionnaire"), Bytes,
         jsonBody({{QStringLiteral("patientId"), patient.id()}, {QStringLiteral("records"), recordIds}}));
}

void Controller::saveQuestionnaire(const Patient& patient, const QByteArray& json)
{
    send(Method::Put, QStringLiteral("/patient/questionnaire/") + segment(patient.id()), Status, json);
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

void Controller::send(Method method, const QString& pathAndQuery, Type type, const QByteArray& body)
{
    const QString base = startCall();
    if (base.isEmpty())
        return;
    showOverlay();

    Http transport = Http::instance();
    transport.requestHeaders().insert(sessionHeaders());

    const QUrl url(base + pathAndQuery, QUrl::TolerantMode);
    HttpReply* reply = nullptr;
    switch (method) {
    case Method::Get:
        reply = transport.get(url);
        break;
    case Method::Delete:
        reply = transport.deleteResource(url);
        break;
    case Method::Post:
        reply = transport.post(url, body, jsonContentType);
        break;
    case Method::Put:
        reply = transport.put(url, body, jsonContentType);
        break;
    }
    watch(reply, type);
}

void Controller::watch(HttpReply* reply, Type type)
{
    m_reply = reply;
    connect(reply, &HttpReply::data, this, [this, type](const QByteArray& bytes) { success(type, bytes); });
    // finished comes before error: keep what the failure was for the message.
    connect(reply, &HttpReply::finished, this, [this](const HttpReply& ended) {
        m_failure = {ended.statusCode(), ended.networkError()};
    });
    connect(reply, &HttpReply::error, this, &Controller::error);
    // A reply that goes away without reporting must not leave the controller
    // and its overlay behind.
    connect(reply, &QObject::destroyed, this, [this] {
        if (!m_finished)
            error({});
    });
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
    if (m_overlayWidget)
        m_overlay = new LoadingWindow(m_overlayWidget);
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
    if (searchText.isEmpty())
        return {};
    QByteArray encoded = searchText.toUtf8().toBase64();
    encoded.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(encoded);
}
