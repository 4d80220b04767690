#pragma once

#include "api/RequestParts.h"
#include "net/ServiceErrorText.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class HttpReply;
class LoadingWindow;
class Marker;
class Patient;
class QUrl;
class Record;
class ResendingCall;

// The client of the service: one object per call. The caller creates it, calls
// exactly one operation and listens to onBytes, onSuccess and onError; the
// controller covers the overlay widget while the call runs and deletes itself
// once it has reported.
class Controller : public QObject
{
    Q_OBJECT

public:
    // What a successful answer turns into.
    enum Type
    {
        Bytes = 0,       // onBytes with the body
        SignIn = 1,      // the account record filled from the body, then onSuccess
        AccessToken = 2, // the account's token renewed from the body, then onSuccess
        Packed = 3,      // onBytes with the body decoded from Base64 and inflated
        Status = 4,      // onSuccess, the body ignored
    };
    Q_ENUM(Type)

    // How a call failed, when its answer carries no message of the service's.
    using Failure = ServiceFailure;

    explicit Controller(QWidget* overlayWidget = nullptr, QObject* parent = nullptr);
    ~Controller() override;

    void login(const QMap<QString, QString>& params);
    void changePassword(const QMap<QString, QString>& params);
    void changeLocale(const QString& language);
    void checkUpdates();

    void filterPatients(const QString& sortBy, const QString& direction, int size, int current, const QString& searchBy,
                        const QString& searchText);
    void createPatient(const Patient& patient);
    void editPatient(const Patient& patient);
    void removePatient(const Patient& patient);

    void getRecords(const Patient& patient);
    void uploadRecord(const Patient& patient, const QByteArray& recording, const QString& sensorId);
    void deleteRecord(const Record& record);
    void exportExcel(const Patient& patient);

    void connectDevice(const Patient& patient, const QString& deviceId);
    void toggleDevice(const Patient& patient);
    void disconnectDevice(const Patient& patient);
    // record may be null: the command then names no record.
    void sendCommand(const Patient& patient, const QString& command, const Record* record = nullptr);
    void deleteCommand(const Patient& patient);
    void requestAutospectrum(const Patient& patient, const Record& record, const QString& deviceId);

    void analyse(const QByteArray& json);
    void summary(const QByteArray& json);
    void comparative(const QByteArray& json);
    void diagnosticCategories(const Patient& patient);
    void correctiveCategories(const Patient& patient);

    void getRecipe(const Patient& patient, const Record& record);
    void createRecipe(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                      const QString& deviceId);
    void updateRecipe(const Patient& patient, const Record& record, const QList<Marker>& markers, int duration,
                      const QString& command);

    void loadQuestionnaire(const Patient& patient, const QList<Record>& records);
    void saveQuestionnaire(const Patient& patient, const QByteArray& json);

    // Set before the operation for a call made in the background: it never
    // asks the practitioner to sign in again or to try again.
    void setUnattended(bool unattended) { m_unattended = unattended; }
    // Set before the operation when the caller keeps the call and sends it
    // later should the service be out of reach: no try-again question.
    void setKeptWhenUnreachable(bool kept) { m_keptWhenUnreachable = kept; }

    // Ends the call at once and reports nothing: its caller has given up on
    // it. The overlay goes; a request still on its way is aborted.
    void abort();

    // The text shown for a failed call: the service's own message when the
    // error body carries one, else what happened, in the practitioner's words.
    static QString errorText(const QByteArray& body, const Failure& failure);
    // The service's message in an error body: "message", else the first member
    // of each object of "errors", one per line; empty when there is none.
    static QString serviceMessage(const QByteArray& body);
    // The search text as the service expects it: URL-safe Base64 of its UTF-8.
    static QString needle(const QString& searchText);

    // How the call failed; valid while onError is being reported.
    const Failure& failure() const { return m_failure; }

signals:
    void onBytes(QByteArray bytes);
    void onError(QString message);
    void onSuccess();

private slots:
    void success(Controller::Type type, const QByteArray& bytes);
    void error(const QByteArray& bytes);

private:
    void send(HttpMethod method, const QString& pathAndQuery, Type type, const QByteArray& body = {});
    // Runs the call through its resending; send makes one attempt.
    void run(Type type, bool carriesToken, const std::function<void()>& send);
    void watch(HttpReply* reply);
    // The base URL, or empty text when the call is refused and will report so.
    QString startCall();
    void showOverlay();
    void removeOverlay();
    void finish();

    QPointer<QWidget> m_overlayWidget;
    // The overlay goes with its widget if that is closed meanwhile; the guard
    // keeps the controller from deleting it twice.
    QPointer<LoadingWindow> m_overlay;
    QPointer<HttpReply> m_reply;
    // Ends the attempt on its way as timed out, when the practitioner stops
    // waiting for it.
    std::function<void()> m_stopWaiting;
    ResendingCall* m_call = nullptr;
    // How the last reply ended, kept from its finished() for its error().
    Failure m_replyFailure;
    // How the call failed, once that is its outcome.
    Failure m_failure;
    bool m_finished = false;
    bool m_unattended = false;
    bool m_keptWhenUnreachable = false;
};
