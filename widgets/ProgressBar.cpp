#include "widgets/ProgressBar.h"

#include <QByteArray>
#include <QPainter>

namespace {

const QColor recordedColour(234, 239, 242);
const QColor waveformColour(13, 180, 149);
// The byte value of the signal's zero line.
constexpr int zeroLine = 127;

} // namespace

ProgressBar::ProgressBar(QByteArray* recording, QWidget* parent) : QWidget(parent), m_data(recording)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMinimumHeight(50);
    // The style sheet gives the strip behind the waveform.
    setAttribute(Qt::WA_StyledBackground);
}

void ProgressBar::bufferLengthChanged(qint64 length)
{
    m_length = length;
    m_position = 0;
    m_points.clear();
    repaint();
}

void ProgressBar::recordPositionChanged(qint64 recordPosition)
{
    if (recordPosition < 0 || recordPosition >= m_length)
        return;
    m_position = recordPosition;
    repaint();
}

void ProgressBar::paintEvent(QPaintEvent*)
{
    // Nothing recorded yet: no progress and no waveform. A length of 0 never
    // gets past this, since no position fits below it.
    if (m_position == 0)
        return;

    QPainter painter(this);
    const qint64 recordedRight = m_position * width() / m_length;
    painter.fillRect(QRect(QPoint(0, 0), QPoint(int(recordedRight), height() - 1)), recordedColour);

    mapNewSamples();
    painter.setPen(waveformColour);
    // Points 0-1, 2-3, ... are the segments; an odd last point waits for
    // its partner.
    painter.drawLines(m_points.constData(), m_points.size() / 2);
}

void ProgressBar::mapNewSamples()
{
    if (!m_data)
        return;
    const double w = width();
    const double h = height();
    for (qint64 i = m_points.size(); i < m_data->size(); ++i) {
        const int value = quint8(m_data->at(int(i))) - zeroLine;
        const double x = double(i) * w / double(m_length);
        const double y = h / 2 - value * h / 255;
        m_points.append(QPoint(qRound(x), qRound(y)));
    }
}
