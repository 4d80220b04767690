#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <limits>

// How many times each block of an impact is repeated to fill the chosen
// duration: minutes * 60 / 2.98 / total, rounded down, at least 1. Each block
// counts as 2.98 seconds of audio; total is the sum of the markers' amounts
// (1 for an autospectrum and for a download). A total of 0 gives 1.
int repetitionCount(int minutes, int total);

// The samples of an impact: each block of the service's reply repeated in a
// row, the blocks joined in their order (A A A B B B for two blocks and three
// repetitions). An impact that would not fit in one byte array, or for which
// there is not enough memory, gives a translated error text instead.
class ImpactAudio
{
    Q_DECLARE_TR_FUNCTIONS(ImpactAudio)

public:
    // The most bytes one QByteArray holds: its allocation, header and closing
    // NUL included, must stay below 2 GiB.
    static constexpr qint64 kMaxSize = qint64(std::numeric_limits<int>::max()) - qint64(sizeof(QArrayData)) - 1;

    // Blocks already decoded; a repetition count below 1 gives no samples.
    static ImpactAudio assemble(const QList<QByteArray>& blocks, int repetitions);
    // Base64 texts, decoded leniently: characters outside the alphabet are skipped.
    static ImpactAudio assembleBase64(const QStringList& texts, int repetitions);
    // The unpacked reply of the service: a JSON array of Base64 texts.
    static ImpactAudio assembleReply(const QByteArray& json, int repetitions);

    // The size of the assembled samples, computed without overflow.
    static qint64 assembledSize(const QList<QByteArray>& blocks, int repetitions);

    bool ok() const { return m_errorText.isEmpty(); }
    const QByteArray& samples() const { return m_samples; }
    // Hands the samples over without a copy; they are gone from this object.
    QByteArray takeSamples();
    QString errorText() const { return m_errorText; }

private:
    QByteArray m_samples;
    QString m_errorText;
};
