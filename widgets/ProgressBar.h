#pragma once

#include <QPoint>
#include <QVector>
#include <QWidget>

class QByteArray;

// Draws a recording as it grows: the recorded share of the width is shaded
// and the samples are drawn as a waveform around the middle line. It reads
// the samples straight from the recorder's byte array.
class ProgressBar : public QWidget
{
    Q_OBJECT

public:
    // The recording is not owned and must outlive the widget.
    ProgressBar(QByteArray* recording, QWidget* parent);

    qint64 length() const { return m_length; }
    qint64 position() const { return m_position; }
    // Samples already turned into points of the waveform.
    int mappedPointCount() const { return m_points.size(); }

public slots:
    // A new recording of that many bytes begins: no progress, no waveform.
    void bufferLengthChanged(qint64 length);
    // Bytes recorded so far; values outside 0 to length - 1 are ignored.
    void recordPositionChanged(qint64 recordPosition);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void mapNewSamples();

    QByteArray* m_data = nullptr;
    qint64 m_length = 0;
    qint64 m_position = 0;
    // Each sample is mapped to a point once, at the size the widget had
    // then: a repaint while recording only maps what arrived since the last.
    QVector<QPoint> m_points;
};
