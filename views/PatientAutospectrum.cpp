#include "views/PatientAutospectrum.h"

#include "api/Controller.h"
#include "audio/ImpactAudio.h"
#include "audio/SensorId.h"
#include "data/Patient.h"
#include "data/Record.h"
#include "views/DialogAutospectrum.h"
#include "widgets/MessageBoxes.h"

PatientAutospectrum::PatientAutospectrum(QWidget* card) : QObject(card), m_card(card) {}

bool PatientAutospectrum::refuseWhilePlayerActive()
{
    if (!m_playerActive)
        return false;
    showInformation(m_card, tr("Text.autospectrum"), tr("Text.playerActive"));
    return true;
}

void PatientAutospectrum::askMinutes()
{
    if (refuseWhilePlayerActive())
        return;
    auto* dialog = new DialogAutospectrum(m_card);
    connect(dialog, &DialogAutospectrum::listener, this, &PatientAutospectrum::minutesChosen);
    dialog->exec();
    dialog->deleteLater();
}

void PatientAutospectrum::request(const Patient& patient, const Record& record, int minutes)
{
    if (minutes <= 0 || refuseWhilePlayerActive())
        return;
    auto* controller = new Controller(m_card);
    // The minutes go with their own request: a later request for another
    // duration does not change how this answer is stretched.
    connect(controller, &Controller::onBytes, this,
            [this, minutes](const QByteArray& reply) { assemble(reply, minutes); });
    connect(controller, &Controller::onError, this, &PatientAutospectrum::error);
    controller->requestAutospectrum(patient, record, sensorId());
}

void PatientAutospectrum::assemble(const QByteArray& reply, int minutes)
{
    // A player may have started while the service was answering.
    if (refuseWhilePlayerActive())
        return;
    ImpactAudio audio = ImpactAudio::assembleReply(reply, repetitionCount(minutes, 1));
    if (!audio.ok()) {
        showError(m_card, audio.errorText());
        return;
    }
    if (audio.samples().isEmpty()) {
        showError(m_card, tr("Text.autospectrumEmpty"));
        return;
    }
    emit play(audio.takeSamples());
}
