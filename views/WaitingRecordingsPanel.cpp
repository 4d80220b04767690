#include "views/WaitingRecordingsPanel.h"

#include "api/RecordingUploader.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int rowHeight = 32;
// More rows scroll: the records stay the card's main table.
constexpr int visibleRows = 3;

} // namespace

WaitingRecordingsPanel::WaitingRecordingsPanel(const QString& patientId, QWidget* parent)
    : QWidget(parent), m_patientId(patientId)
{
    setObjectName(QStringLiteral("panelWaiting"));
    m_labelWaiting = new QLabel(this);
    m_labelWaiting->setObjectName(QStringLiteral("labelWaiting"));
    m_labelWaiting->setWordWrap(true);
    m_buttonSendNow = new QPushButton(QIcon(QStringLiteral(":/images/refresh.png")), QString(), this);
    m_buttonSendNow->setObjectName(QStringLiteral("buttonSendNow"));
    m_tableWaiting = new QTableWidget(0, 2, this);
    m_tableWaiting->setObjectName(QStringLiteral("tableWaiting"));
    m_tableWaiting->setSelectionMode(QAbstractItemView::NoSelection);
    m_tableWaiting->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableWaiting->setFocusPolicy(Qt::NoFocus);
    m_tableWaiting->horizontalHeader()->hide();
    m_tableWaiting->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_tableWaiting->verticalHeader()->hide();
    m_tableWaiting->verticalHeader()->setDefaultSectionSize(rowHeight);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(m_labelWaiting, 1);
    titleRow->addWidget(m_buttonSendNow);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(titleRow);
    layout->addWidget(m_tableWaiting);

    RecordingUploader& uploader = RecordingUploader::instance();
    connect(m_buttonSendNow, &QPushButton::clicked, &uploader,
            [&uploader] { uploader.sendWaiting(RecordingUploader::Origin::Asked); });
    connect(&uploader, &RecordingUploader::waitingChanged, this, [this](const QString& changed) {
        if (changed == m_patientId)
            refresh();
    });
    retranslate();
    refresh();
}

void WaitingRecordingsPanel::refresh()
{
    const RecordingUploader& uploader = RecordingUploader::instance();
    const QList<WaitingRecording> waiting = uploader.waiting(m_patientId);
    bool allOnTheirWay = true;
    m_tableWaiting->setRowCount(waiting.size());
    // Newest first, as the records below.
    for (int row = 0; row < waiting.size(); ++row) {
        const WaitingRecording& recording = waiting.at(waiting.size() - 1 - row);
        const bool sending = uploader.isSending(recording.path);
        allOnTheirWay = allOnTheirWay && sending;
        const QString cells[] = {recording.recordedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 sending ? tr("Text.recordingSending") : tr("Text.recordingWaiting")};
        for (int column = 0; column < 2; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            item->setFlags(Qt::ItemIsEnabled);
            m_tableWaiting->setItem(row, column, item);
        }
    }
    m_tableWaiting->setFixedHeight(rowHeight * std::min<int>(waiting.size(), visibleRows) +
                                   2 * m_tableWaiting->frameWidth());
    m_buttonSendNow->setEnabled(!allOnTheirWay);
    setVisible(!waiting.isEmpty());
}

void WaitingRecordingsPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        refresh();
    }
    QWidget::changeEvent(event);
}

void WaitingRecordingsPanel::retranslate()
{
    m_labelWaiting->setText(tr("Text.recordingsWaitingTitle"));
    m_buttonSendNow->setText(tr("Text.sendNow"));
}
