#include "signal/Base64.h"
#include "signal/Catalogue.h"
#include "signal/MarkerAnalysis.h"
#include "signal/Spectrum.h"
#include "signal/SyntheticRecording.h"
#include "signal/ToneGenerator.h"
#include "signal/WavFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <set>
#include <thread>
#include <zlib.h>

using namespace localservice;

namespace {

constexpr double BinWidth = 22050.0 / 1024;
const std::set<std::string> wavProblems = {"wavNotRiff", "wavWrongFormat", "wavBadDataChunk",
                                           "wavEmpty",   "wavTooShort",    "wavTooLong"};

std::string toStd(const QByteArray& bytes)
{
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QByteArray toQt(const std::string& bytes)
{
    return QByteArray(bytes.data(), int(bytes.size()));
}

// Bytes that look random and are the same on every run (the engine's output
// is fixed by the standard; its distributions are not, so none is used).
std::string pseudoRandomBytes(std::size_t size, std::uint32_t seed)
{
    std::mt19937 engine(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(engine() & 0xFF);
    return bytes;
}

// Inflates a complete gzip stream with zlib; nullopt unless the stream is
// whole, ends properly and nothing follows it.
std::optional<std::string> gunzip(const std::string& stream)
{
    z_stream z{};
    if (inflateInit2(&z, 15 + 16) != Z_OK)
        return std::nullopt;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
    z.avail_in = uInt(stream.size());
    std::string result;
    char buffer[65536];
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        status = inflate(&z, Z_NO_FLUSH);
        result.append(buffer, sizeof buffer - z.avail_out);
    }
    const bool whole = status == Z_STREAM_END && z.avail_in == 0;
    inflateEnd(&z);
    return whole ? std::optional<std::string>(result) : std::nullopt;
}

// A sine of the amplitude around 128, in the sensor format.
std::string sine(double frequencyHz, double amplitude, int samples)
{
    std::string result(std::size_t(samples), '\0');
    for (int i = 0; i < samples; ++i)
        result[std::size_t(i)] =
            static_cast<char>(std::lround(128 + amplitude * std::sin(2 * M_PI * frequencyHz * i / 22050.0)));
    return result;
}

std::string mix(const std::string& a, const std::string& b)
{
    std::string result(a);
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        result[i] = static_cast<char>(std::uint8_t(a[i]) + std::uint8_t(b[i]) - 128);
    return result;
}

// The averaged power spectrum computed the slow and obvious way: a plain DFT
// of every Hann-windowed frame of 1024 samples, 512 apart, after removing the
// mean; DC left out. Index k is the bin of k * 22050 / 1024 Hz.
std::vector<double> referencePowerSpectrum(const std::string& samples)
{
    constexpr int N = 1024;
    double mean = 0;
    for (const char s : samples)
        mean += std::uint8_t(s);
    mean /= double(samples.size());
    std::vector<double> cosine(N);
    std::vector<double> sine(N);
    for (int i = 0; i < N; ++i) {
        cosine[std::size_t(i)] = std::cos(2 * M_PI * i / N);
        sine[std::size_t(i)] = std::sin(2 * M_PI * i / N);
    }
    std::vector<double> power(N / 2 + 1, 0.0);
    int frames = 0;
    for (std::size_t start = 0; start + N <= samples.size(); start += N / 2, ++frames) {
        for (int k = 1; k <= N / 2; ++k) {
            double re = 0;
            double im = 0;
            for (int n = 0; n < N; ++n) {
                const double x =
                    (std::uint8_t(samples[start + std::size_t(n)]) - mean) * (0.5 - 0.5 * cosine[std::size_t(n)]);
                re += x * cosine[std::size_t(k * n % N)];
                im -= x * sine[std::size_t(k * n % N)];
            }
            power[std::size_t(k)] += re * re + im * im;
        }
    }
    for (double& p : power)
        p /= frames;
    return power;
}

double referenceShare(const std::vector<double>& power, double fromHz, double toHz)
{
    double total = 0;
    double inside = 0;
    for (std::size_t k = 0; k < power.size(); ++k) {
        total += power[k];
        const double frequency = double(k) * BinWidth;
        if (frequency >= fromHz && frequency <= toHz)
            inside += power[k];
    }
    return inside / total;
}

void setUint32(QByteArray& file, int offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[offset + i] = char(value >> (8 * i) & 0xFF);
}

void setUint16(QByteArray& file, int offset, std::uint16_t value)
{
    file[offset] = char(value & 0xFF);
    file[offset + 1] = char(value >> 8);
}

QByteArray validWav(int samples = 100)
{
    return toQt(makeSensorWav(std::string(std::size_t(samples), '\x80')));
}

QByteArray patched(int offset, const char* bytes, int size, int samples = 100)
{
    QByteArray file = validWav(samples);
    file.replace(offset, size, bytes, size);
    return file;
}

std::vector<const StorageInfo*> allStorages()
{
    std::vector<const StorageInfo*> storages;
    for (const auto* catalogue : {&diagnosticCatalogue(), &correctiveCatalogue()})
        for (const CategoryInfo& category : *catalogue)
            for (const StorageInfo& storage : category.storages)
                storages.push_back(&storage);
    return storages;
}

// Every marker value of the diagnostic catalogue, in catalogue order.
std::vector<int> diagnosticValues(const Spectrum& spectrum)
{
    std::vector<int> values;
    for (const CategoryInfo& category : diagnosticCatalogue())
        for (const StorageInfo& storage : category.storages)
            for (const MarkerInfo& marker : storage.markers)
                values.push_back(markerValue(spectrum, storage, marker));
    return values;
}

int count(const QString& text, const QRegularExpression& pattern)
{
    int n = 0;
    for (auto it = pattern.globalMatch(text); it.hasNext(); it.next())
        ++n;
    return n;
}

bool isOneDecimal(double value)
{
    return std::abs(value * 10 - std::round(value * 10)) < 1e-9;
}

} // namespace

class ServiceSignalTest : public QObject
{
    Q_OBJECT

private slots:
    // First, so that the once-initialised tables are first reached from
    // several threads at the same time.
    void concurrentUseGivesTheSameResults();

    void base64RoundTrip_data();
    void base64RoundTrip();
    void base64RoundTripOfEveryLength();
    void base64RejectsMalformedText_data();
    void base64RejectsMalformedText();

    void sensorWavHeaderIsTheSensorsFormat();
    void sensorWavIsAccepted_data();
    void sensorWavIsAccepted();
    void brokenWavIsRefused_data();
    void brokenWavIsRefused();
    void mangledWavNeverMisleads();

    void toneBlockIsTheRequestedTone_data();
    void toneBlockIsTheRequestedTone();
    void toneBlockOfUnplayableFrequencyIsSilent_data();
    void toneBlockOfUnplayableFrequencyIsSilent();
    void markerAudioIsItsAmountOfTones_data();
    void markerAudioIsItsAmountOfTones();
    void packedAudioDecodesToTheBlocks_data();
    void packedAudioDecodesToTheBlocks();

    void spectrumOfSilence_data();
    void spectrumOfSilence();
    void spectrumMatchesAPlainDft_data();
    void spectrumMatchesAPlainDft();
    void spectrumSharesAddUp();
    void dominantFrequenciesFindEveryPartial();
    void shortSignalIsAnalysed();

    void syntheticRecordingIsDeterministic_data();
    void syntheticRecordingIsDeterministic();
    void syntheticRecordingsDifferBetweenSeeds();

    void markerValuesInRangeAndStable();
    void toneAtMarkerFrequencyScoresThatMarker_data();
    void toneAtMarkerFrequencyScoresThatMarker();

    void catalogueShape();
    void catalogueIdsAreUniqueAndFound();
    void catalogueTextsInBothLanguages();
    void catalogueFrequenciesAndAmounts();
    void standardSymptoms();
};

void ServiceSignalTest::concurrentUseGivesTheSameResults()
{
    const auto work = [](std::uint32_t seed) {
        std::vector<int> values = diagnosticValues(Spectrum(syntheticRecording(seed)));
        const MarkerInfo* marker = findMarker("mk-0101");
        values.push_back(marker ? int(marker->frequencyHz) : -1);
        values.push_back(int(packAudio({toneBlock(440 + seed)}).size()));
        return values;
    };
    std::vector<std::vector<int>> concurrent(4);
    std::vector<std::thread> threads;
    for (std::uint32_t i = 0; i < concurrent.size(); ++i)
        threads.emplace_back([&concurrent, &work, i] { concurrent[i] = work(i % 2); });
    for (std::thread& thread : threads)
        thread.join();
    for (std::uint32_t i = 0; i < concurrent.size(); ++i)
        QVERIFY(concurrent[i] == work(i % 2));
}

void ServiceSignalTest::base64RoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("text");
    // RFC 4648, section 10, then bytes that use every character.
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("f") << QByteArray("f") << QByteArray("Zg==");
    QTest::newRow("fo") << QByteArray("fo") << QByteArray("Zm8=");
    QTest::newRow("foo") << QByteArray("foo") << QByteArray("Zm9v");
    QTest::newRow("foob") << QByteArray("foob") << QByteArray("Zm9vYg==");
    QTest::newRow("fooba") << QByteArray("fooba") << QByteArray("Zm9vYmE=");
    QTest::newRow("foobar") << QByteArray("foobar") << QByteArray("Zm9vYmFy");
    QTest::newRow("zero byte") << QByteArray(1, '\0') << QByteArray("AA==");
    QTest::newRow("high bytes") << QByteArray("\xff\xfe\xfd\xfc") << QByteArray("//79/A==");
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every.append(char(i));
    QTest::newRow("every byte") << every << every.toBase64();
}

void ServiceSignalTest::base64RoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, text);
    QCOMPARE(toQt(encodeBase64(toStd(bytes))), text);
    const auto decoded = decodeBase64(toStd(text));
    QVERIFY(decoded.has_value());
    QCOMPARE(toQt(*decoded), bytes);
    // Padding is optional.
    const auto unpadded = decodeBase64(toStd(QByteArray(text).replace('=', "")));
    QVERIFY(unpadded.has_value());
    QCOMPARE(toQt(*unpadded), bytes);
}

void ServiceSignalTest::base64RoundTripOfEveryLength()
{
    for (std::size_t size = 0; size < 200; ++size) {
        const std::string bytes = pseudoRandomBytes(size, std::uint32_t(size));
        const std::string text = encodeBase64(bytes);
        QCOMPARE(toQt(text), toQt(bytes).toBase64());
        QCOMPARE(decodeBase64(text), std::optional<std::string>(bytes));
    }
}

void ServiceSignalTest::base64RejectsMalformedText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("lone character") << QByteArray("Z");
    QTest::newRow("lone character after a group") << QByteArray("Zm9vY");
    QTest::newRow("lone padded character") << QByteArray("Zg==Z");
    QTest::newRow("padding only") << QByteArray("====");
    QTest::newRow("single padding character") << QByteArray("=");
    QTest::newRow("three padding characters") << QByteArray("Z===");
    QTest::newRow("short padding") << QByteArray("Zg=");
    QTest::newRow("too much padding") << QByteArray("Zm8==");
    QTest::newRow("padding inside") << QByteArray("Zg==Zm9v");
    QTest::newRow("padding in a group") << QByteArray("Zm=v");
    QTest::newRow("padding first") << QByteArray("=Zm9");
    QTest::newRow("stray bits, one byte") << QByteArray("Zh==");
    QTest::newRow("stray bits, two bytes") << QByteArray("Zm9=");
    QTest::newRow("stray bits, unpadded") << QByteArray("Zh");
    QTest::newRow("line break") << QByteArray("Zm9v\nYmFy");
    QTest::newRow("trailing line break") << QByteArray("Zm9v\n");
    QTest::newRow("leading space") << QByteArray(" Zm9v");
    QTest::newRow("space inside") << QByteArray("Zm9v YmFy");
    QTest::newRow("tab") << QByteArray("Zm9v\tYmFy");
    QTest::newRow("url-safe minus") << QByteArray("Zm-v");
    QTest::newRow("url-safe underscore") << QByteArray("Zm_v");
    QTest::newRow("dot") << QByteArray("Zm9.");
    QTest::newRow("zero byte") << QByteArray("Zm9\0", 4);
    QTest::newRow("high byte") << QByteArray("Zm9\xc3");
    QTest::newRow("Cyrillic") << QByteArray("Zm9vАБ");
}

void ServiceSignalTest::base64RejectsMalformedText()
{
    QFETCH(QByteArray, text);
    QVERIFY(!decodeBase64(toStd(text)).has_value());
}

void ServiceSignalTest::sensorWavHeaderIsTheSensorsFormat()
{
    const std::string samples = pseudoRandomBytes(sensor::RecordingSamples, 3);
    const std::string file = makeSensorWav(samples);
    // 66186 = 0x1028A bytes after the RIFF size, 66150 = 0x10266 samples.
    const QByteArray header("RIFF\x8a\x02\x01\x00"
                            "WAVEfmt \x10\x00\x00\x00"
                            "\x01\x00\x01\x00\x22\x56\x00\x00\x22\x56\x00\x00\x01\x00\x08\x00"
                            "data\x66\x02\x01\x00",
                            44);
    QCOMPARE(toQt(file.substr(0, 44)), header);
    QCOMPARE(file.substr(44), samples);
}

void ServiceSignalTest::sensorWavIsAccepted_data()
{
    QTest::addColumn<int>("samples");
    QTest::newRow("one second") << sensor::MinRecordingSamples;
    QTest::newRow("odd length") << sensor::MinRecordingSamples + 1;
    QTest::newRow("three seconds") << sensor::RecordingSamples;
    QTest::newRow("longest") << sensor::MaxRecordingSamples;
}

void ServiceSignalTest::sensorWavIsAccepted()
{
    QFETCH(int, samples);
    const std::string bytes = pseudoRandomBytes(std::size_t(samples), std::uint32_t(samples));
    const WavCheck check = readSensorWav(makeSensorWav(bytes));
    QVERIFY(check.valid);
    QCOMPARE(check.problem, std::string());
    QCOMPARE(check.samples, bytes);
}

void ServiceSignalTest::brokenWavIsRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("problem");
    const QString notRiff = QStringLiteral("wavNotRiff");
    const QString wrongFormat = QStringLiteral("wavWrongFormat");
    const QString badData = QStringLiteral("wavBadDataChunk");

    const QByteArray valid = validWav();
    for (int size = 0; size < 44; ++size)
        QTest::addRow("cut to %d bytes", size) << valid.left(size) << notRiff;
    QTest::newRow("RIFX") << patched(0, "RIFX", 4) << notRiff;
    QTest::newRow("AVI") << patched(8, "AVI ", 4) << notRiff;
    QTest::newRow("text file") << QByteArray("This is not a recording, only some text long enough.") << notRiff;
    QTest::newRow("last sample cut off") << valid.left(valid.size() - 1) << notRiff;
    QTest::newRow("byte appended") << valid + 'x' << notRiff;
    {
        QByteArray file = valid;
        setUint32(file, 4, std::uint32_t(file.size()));
        QTest::newRow("RIFF size counts itself") << file << notRiff;
        setUint32(file, 4, 0xFFFFFFFF);
        QTest::newRow("RIFF size huge") << file << notRiff;
    }
    QTest::newRow("no fmt chunk") << patched(12, "LIST", 4) << wrongFormat;
    QTest::newRow("fmt in capitals") << patched(12, "FMT ", 4) << wrongFormat;
    const auto field = [&](const char* name, int offset, std::uint16_t value, bool wide) {
        QByteArray file = valid;
        wide ? setUint32(file, offset, value) : setUint16(file, offset, value);
        QTest::newRow(name) << file << wrongFormat;
    };
    field("fmt chunk of 18 bytes", 16, 18, true);
    field("IEEE float", 20, 3, false);
    field("A-law", 20, 6, false);
    field("stereo", 22, 2, false);
    field("no channel", 22, 0, false);
    field("44100 Hz", 24, 44100, true);
    field("8000 Hz", 24, 8000, true);
    field("byte rate 44100", 28, 44100, true);
    field("block align 2", 32, 2, false);
    field("16 bits", 34, 16, false);
    {
        // Well-formed WAVs, only not the sensor's.
        QByteArray file = valid;
        setUint32(file, 28, 44100);
        setUint16(file, 32, 2);
        setUint16(file, 34, 16);
        QTest::newRow("16-bit mono") << file << wrongFormat;
        setUint16(file, 22, 2);
        setUint32(file, 28, 88200);
        setUint16(file, 32, 4);
        QTest::newRow("16-bit stereo") << file << wrongFormat;
    }

    QTest::newRow("no data chunk") << patched(36, "LIST", 4) << badData;
    QTest::newRow("data in capitals") << patched(36, "DATA", 4) << badData;
    for (const std::uint32_t size : {0u, 99u, 101u, 144u, 200u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        QByteArray file = valid;
        setUint32(file, 40, size);
        QTest::addRow("data size %u for 100 samples", size) << file << badData;
    }
    {
        // The RIFF size agrees with the file, the data size only with the samples.
        QByteArray file = valid + QByteArray(8, '\0');
        setUint32(file, 4, std::uint32_t(file.size() - 8));
        QTest::newRow("bytes after the data chunk") << file << badData;
    }

    QTest::newRow("no samples") << validWav(0) << QStringLiteral("wavEmpty");
    QTest::newRow("half a second") << validWav(sensor::SampleRate / 2) << QStringLiteral("wavTooShort");
    QTest::newRow("a sample short of a second")
        << validWav(sensor::MinRecordingSamples - 1) << QStringLiteral("wavTooShort");
    QTest::newRow("one sample too many") << validWav(sensor::MaxRecordingSamples + 1) << QStringLiteral("wavTooLong");
    QTest::newRow("ten minutes") << validWav(600 * sensor::SampleRate) << QStringLiteral("wavTooLong");
}

void ServiceSignalTest::brokenWavIsRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, problem);
    // An exactly sized copy, so that a read past the end is a read past the
    // allocation (which a sanitizer build reports).
    const std::unique_ptr<char[]> copy(new char[std::size_t(std::max(file.size(), 1))]);
    std::copy(file.cbegin(), file.cend(), copy.get());
    const WavCheck check = readSensorWav(std::string_view(copy.get(), std::size_t(file.size())));
    QVERIFY(!check.valid);
    QCOMPARE(QString::fromStdString(check.problem), problem);
    QVERIFY(check.samples.empty());
}

void ServiceSignalTest::mangledWavNeverMisleads()
{
    // Random damage to the header and the length: whatever the verdict, it is
    // one of the keys, and a file accepted is exactly header plus samples.
    std::mt19937 engine(11);
    const QByteArray valid = validWav(sensor::MinRecordingSamples);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        // Half of the files cut short somewhere, the others whole.
        QByteArray file = engine() % 2 ? valid.left(int(engine() % std::uint32_t(valid.size() + 1))) : valid;
        const int damage = int(engine() % 3);
        for (int i = 0; i < damage && !file.isEmpty(); ++i)
            file[int(engine() % std::uint32_t(std::min(file.size(), 44)))] = char(engine() & 0xFF);
        const WavCheck check = readSensorWav(std::string_view(file.constData(), std::size_t(file.size())));
        if (check.valid) {
            ++accepted;
            QVERIFY(check.problem.empty());
            QCOMPARE(toQt(check.samples), file.mid(44));
            QCOMPARE(toQt(makeSensorWav(check.samples)), file);
        } else {
            QVERIFY2(wavProblems.count(check.problem) == 1, check.problem.c_str());
            QVERIFY(check.samples.empty());
        }
    }
    QVERIFY(accepted > 0);
}

void ServiceSignalTest::toneBlockIsTheRequestedTone_data()
{
    QTest::addColumn<double>("frequency");
    for (const double frequency : {60.0, 63.0, 100.0, 440.0, 1000.0, 2345.6, 4000.0})
        QTest::addRow("%g Hz", frequency) << frequency;
}

void ServiceSignalTest::toneBlockIsTheRequestedTone()
{
    QFETCH(double, frequency);
    const std::string block = toneBlock(frequency);
    QCOMPARE(int(block.size()), ToneBlockSamples);
    QCOMPARE(ToneBlockSamples, 65709); // 2.98 s, as the client counts a block

    std::vector<int> samples(block.begin(), block.end());
    for (int& s : samples)
        s = std::uint8_t(s);
    const auto deviation = [&samples](int from, int to) {
        int largest = 0;
        for (int i = from; i < to; ++i)
            largest = std::max(largest, std::abs(samples[std::size_t(i)] - 128));
        return largest;
    };
    // Amplitude 100 around 128, faded in and out over 10 ms, so that the end
    // of one block meets the start of the next without a jump.
    QCOMPARE(deviation(0, ToneBlockSamples), 100);
    QCOMPARE(samples.front(), 128);
    QCOMPARE(samples.back(), 128);
    QVERIFY(deviation(0, 44) <= 12);
    QVERIFY(deviation(ToneBlockSamples - 44, ToneBlockSamples) <= 12);
    QVERIFY(deviation(2205, 3000) >= 99);

    const std::vector<double> dominant = Spectrum(block).dominantFrequencies(1);
    QCOMPARE(int(dominant.size()), 1);
    QVERIFY2(std::abs(dominant[0] - frequency) <= BinWidth, qPrintable(QString::number(dominant[0])));
}

void ServiceSignalTest::toneBlockOfUnplayableFrequencyIsSilent_data()
{
    QTest::addColumn<double>("frequency");
    QTest::newRow("zero") << 0.0;
    QTest::newRow("negative") << -440.0;
    QTest::newRow("Nyquist") << 11025.0;
    QTest::newRow("ultrasound") << 30000.0;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity();
}

void ServiceSignalTest::toneBlockOfUnplayableFrequencyIsSilent()
{
    QFETCH(double, frequency);
    QCOMPARE(toneBlock(frequency), std::string(std::size_t(ToneBlockSamples), '\x80'));
}

void ServiceSignalTest::markerAudioIsItsAmountOfTones_data()
{
    QTest::addColumn<double>("frequency");
    QTest::addColumn<int>("amount");
    QTest::addColumn<int>("tones");
    QTest::newRow("amount 0") << 235.0 << 0 << 1;
    QTest::newRow("amount 1") << 235.0 << 1 << 1;
    QTest::newRow("amount 2") << 85.0 << 2 << 2;
    QTest::newRow("amount 12, the most") << 1460.0 << 12 << 12;
    QTest::newRow("negative amount") << 440.0 << -3 << 1;
}

// Each frequency of a marker is one block of 2.98 s, as the client counts
// its impact's length; the first at the marker's own frequency, each next one
// audibly higher.
void ServiceSignalTest::markerAudioIsItsAmountOfTones()
{
    QFETCH(double, frequency);
    QFETCH(int, amount);
    QFETCH(int, tones);
    const std::string audio = markerAudio(frequency, amount);
    QCOMPARE(audio.size(), std::size_t(tones) * ToneBlockSamples);
    QVERIFY(audio.compare(0, ToneBlockSamples, toneBlock(frequency)) == 0);
    double previous = 0;
    for (int tone = 0; tone < tones; ++tone) {
        const std::vector<double> dominant =
            Spectrum(audio.substr(std::size_t(tone) * ToneBlockSamples, ToneBlockSamples)).dominantFrequencies(1);
        QCOMPARE(int(dominant.size()), 1);
        QVERIFY2(dominant[0] > previous, qPrintable(QStringLiteral("tone %1 at %2 Hz").arg(tone).arg(dominant[0])));
        previous = dominant[0];
    }
}

void ServiceSignalTest::packedAudioDecodesToTheBlocks_data()
{
    QTest::addColumn<QByteArrayList>("blocks");
    QByteArray every;
    for (int i = 0; i < 256; ++i)
        every.append(char(i));
    QTest::newRow("tones and odd sizes") << QByteArrayList{toQt(toneBlock(440)), toQt(toneBlock(3000)), QByteArray(),
                                                           every, QByteArray(1, '\x80')};
    QTest::newRow("none") << QByteArrayList{};
    QTest::newRow("one tone") << QByteArrayList{toQt(toneBlock(100))};
    QTest::newRow("a marker of twelve frequencies") << QByteArrayList{toQt(markerAudio(1460, 12))};
    QTest::newRow("incompressible megabyte") << QByteArrayList{toQt(pseudoRandomBytes(1 << 20, 7))};
    QTest::newRow("three megabytes of zeros") << QByteArrayList{QByteArray(3 << 20, '\0'), every};
}

void ServiceSignalTest::packedAudioDecodesToTheBlocks()
{
    QFETCH(QByteArrayList, blocks);
    std::vector<std::string> expected;
    for (const QByteArray& block : blocks)
        expected.push_back(toStd(block));
    // Decoded as the client does, with the toolkit and zlib, strictly.
    const std::string body = packAudio(expected);
    const auto unpacked = QByteArray::fromBase64Encoding(toQt(body), QByteArray::AbortOnBase64DecodingErrors);
    QVERIFY(unpacked);
    const auto json = gunzip(toStd(*unpacked));
    QVERIFY(json.has_value());
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(toQt(*json), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(document.isArray());
    const QJsonArray array = document.array();
    QCOMPARE(array.size(), blocks.size());
    for (int i = 0; i < array.size(); ++i) {
        QVERIFY(array[i].isString());
        const auto block =
            QByteArray::fromBase64Encoding(array[i].toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        QVERIFY(block);
        QCOMPARE(*block, blocks[i]);
    }
}

void ServiceSignalTest::spectrumOfSilence_data()
{
    QTest::addColumn<QByteArray>("samples");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("one sample") << QByteArray(1, '\x10');
    QTest::newRow("less than a frame") << QByteArray(1023, '\x80');
    QTest::newRow("three seconds of 128") << QByteArray(sensor::RecordingSamples, '\x80');
    QTest::newRow("three seconds of 0") << QByteArray(sensor::RecordingSamples, '\0');
    QTest::newRow("three seconds of 255") << QByteArray(sensor::RecordingSamples, '\xff');
    QTest::newRow("odd constant") << QByteArray(5001, '\x4d');
}

void ServiceSignalTest::spectrumOfSilence()
{
    QFETCH(QByteArray, samples);
    const Spectrum spectrum(toStd(samples));
    QVERIFY(spectrum.isSilent());
    QCOMPARE(spectrum.bandShare(440), 0.0);
    QCOMPARE(spectrum.bandShare(60), 0.0);
    QCOMPARE(spectrum.rangeShare(0, 11025), 0.0);
    QVERIFY(spectrum.dominantFrequencies(5).empty());
    for (const StorageInfo* storage : allStorages())
        for (const MarkerInfo& marker : storage->markers)
            QCOMPARE(markerValue(spectrum, *storage, marker), 0);
    for (const CategoryInfo& category : diagnosticCatalogue())
        QCOMPARE(categoryDeviation(spectrum, category), -40.0);
    const BandBalance balance = bandBalance(spectrum);
    QCOMPARE(balance.low, 0.0);
    QCOMPARE(balance.middle, 0.0);
    QCOMPARE(balance.high, 0.0);
}

void ServiceSignalTest::spectrumMatchesAPlainDft_data()
{
    QTest::addColumn<QByteArray>("samples");
    // Noise puts power in every bin; 8 and 9 frames, and a tail that is
    // not a whole frame.
    QTest::newRow("noise, 8 frames") << toQt(pseudoRandomBytes(1024 + 7 * 512, 21));
    QTest::newRow("noise, 9 frames and a tail") << toQt(pseudoRandomBytes(1024 + 8 * 512 + 300, 22));
    QTest::newRow("recording") << toQt(syntheticRecording(9)).left(1024 + 12 * 512);
}

void ServiceSignalTest::spectrumMatchesAPlainDft()
{
    QFETCH(QByteArray, samples);
    const std::string bytes = toStd(samples);
    const Spectrum spectrum(bytes);
    const std::vector<double> reference = referencePowerSpectrum(bytes);
    for (const double centre : {100.0, 250.0, 441.0, 1000.0, 2500.0, 5000.0, 9800.0}) {
        const double expected = referenceShare(reference, centre / 1.12, centre * 1.12);
        QVERIFY2(std::abs(spectrum.bandShare(centre) - expected) < 1e-9, qPrintable(QString::number(centre)));
    }
    const std::vector<std::pair<double, double>> ranges = {{0, 300}, {300, 2000}, {2000, 11025}, {1234, 1300}};
    for (const auto& [from, to] : ranges)
        QVERIFY(std::abs(spectrum.rangeShare(from, to) - referenceShare(reference, from, to)) < 1e-9);
}

void ServiceSignalTest::spectrumSharesAddUp()
{
    const Spectrum spectrum(syntheticRecording(5));
    QVERIFY(!spectrum.isSilent());
    QVERIFY(std::abs(spectrum.rangeShare(0, 11025) - 1) < 1e-9);
    QVERIFY(std::abs(spectrum.rangeShare(11025, 0) - 1) < 1e-9);
    QVERIFY(std::abs(spectrum.rangeShare(0, 300) + spectrum.rangeShare(300, 2000) + spectrum.rangeShare(2000, 11025) -
                     1) < 1e-9);
    QCOMPARE(spectrum.rangeShare(12000, 20000), 0.0);
    QCOMPARE(spectrum.bandShare(0), 0.0);
    QCOMPARE(spectrum.bandShare(-100), 0.0);
    QCOMPARE(spectrum.bandShare(std::numeric_limits<double>::quiet_NaN()), 0.0);

    const BandBalance balance = bandBalance(spectrum);
    for (const double share : {balance.low, balance.middle, balance.high}) {
        QVERIFY(share >= 0 && share <= 100);
        QVERIFY(isOneDecimal(share));
    }
    QVERIFY(std::abs(balance.low + balance.middle + balance.high - 100) <= 0.15);

    // A pure tone lies almost entirely in its own band.
    const Spectrum tone(toneBlock(1000));
    QVERIFY(tone.bandShare(1000) > 0.98);
    QVERIFY(tone.bandShare(1400) < 0.001);
    QVERIFY(tone.bandShare(700) < 0.001);
    QVERIFY(bandBalance(tone).middle >= 99.9);
}

void ServiceSignalTest::dominantFrequenciesFindEveryPartial()
{
    // A strong and a much weaker partial: the weak one comes second, not a
    // bin on the flank of the strong one (which holds more power when the
    // tone lies between two bins).
    for (const double offset : {0.0, 0.5 * BinWidth, 0.25 * BinWidth}) {
        const double strong = 300 + offset;
        const double weak = 1700 - offset;
        const Spectrum spectrum(mix(sine(strong, 90, 66150), sine(weak, 8, 66150)));
        const std::vector<double> dominant = spectrum.dominantFrequencies(2);
        QCOMPARE(int(dominant.size()), 2);
        QVERIFY2(std::abs(dominant[0] - strong) <= BinWidth / 2 + 1e-9, qPrintable(QString::number(dominant[0])));
        QVERIFY2(std::abs(dominant[1] - weak) <= BinWidth / 2 + 1e-9, qPrintable(QString::number(dominant[1])));

        const std::vector<double> five = spectrum.dominantFrequencies(5);
        QCOMPARE(int(five.size()), 5);
        for (std::size_t i = 0; i < five.size(); ++i) {
            QVERIFY(five[i] > 0 && five[i] <= 11025);
            const double bin = five[i] / BinWidth;
            QVERIFY(std::abs(bin - std::round(bin)) < 1e-9);
            for (std::size_t j = 0; j < i; ++j)
                QVERIFY(std::abs(five[i] - five[j]) >= 30);
        }
    }
    QVERIFY(Spectrum(syntheticRecording(1)).dominantFrequencies(0).empty());
    QVERIFY(Spectrum(syntheticRecording(1)).dominantFrequencies(-3).empty());
}

void ServiceSignalTest::shortSignalIsAnalysed()
{
    // Shorter than a frame: still a spectrum, not silence and not a crash.
    for (const int length : {2, 600, 1023, 1024, 1025, 1535, 1536}) {
        const Spectrum spectrum(sine(1000, 100, length));
        QVERIFY(!spectrum.isSilent());
        QVERIFY(std::abs(spectrum.rangeShare(0, 11025) - 1) < 1e-9);
        if (length >= 600) {
            const std::vector<double> dominant = spectrum.dominantFrequencies(1);
            QCOMPARE(int(dominant.size()), 1);
            QVERIFY2(std::abs(dominant[0] - 1000) <= BinWidth, qPrintable(QString::number(dominant[0])));
        }
    }
}

void ServiceSignalTest::syntheticRecordingIsDeterministic_data()
{
    QTest::addColumn<uint>("seed");
    for (const uint seed : {0u, 1u, 2u, 77u, 123456u, 0xFFFFFFFFu})
        QTest::addRow("seed %u", seed) << seed;
}

void ServiceSignalTest::syntheticRecordingIsDeterministic()
{
    QFETCH(uint, seed);
    const std::string recording = syntheticRecording(seed);
    QCOMPARE(int(recording.size()), sensor::RecordingSamples);
    QCOMPARE(syntheticRecording(seed), recording);
    // Around the centre, with headroom: never clipped at either end.
    const auto [low, high] = std::minmax_element(recording.begin(), recording.end(),
                                                 [](char a, char b) { return std::uint8_t(a) < std::uint8_t(b); });
    QVERIFY(std::uint8_t(*low) >= 20);
    QVERIFY(std::uint8_t(*high) <= 235);
    double sum = 0;
    for (const char s : recording)
        sum += std::uint8_t(s);
    QVERIFY(std::abs(sum / double(recording.size()) - 128) < 2);
    // Several partials within 80..3500 Hz.
    const Spectrum spectrum(recording);
    QVERIFY(!spectrum.isSilent());
    QVERIFY(spectrum.rangeShare(40, 3800) > 0.95);
    const std::vector<double> dominant = spectrum.dominantFrequencies(3);
    QCOMPARE(int(dominant.size()), 3);
    for (const double frequency : dominant)
        QVERIFY2(frequency >= 80 - BinWidth && frequency <= 3500 + BinWidth, qPrintable(QString::number(frequency)));
}

void ServiceSignalTest::syntheticRecordingsDifferBetweenSeeds()
{
    // Different seeds: different bytes and different analyses.
    std::set<std::string> recordings;
    std::set<std::vector<int>> analyses;
    std::set<std::vector<double>> strongest;
    for (std::uint32_t seed = 0; seed < 24; ++seed) {
        const std::string recording = syntheticRecording(seed);
        recordings.insert(recording);
        const Spectrum spectrum(recording);
        analyses.insert(diagnosticValues(spectrum));
        std::vector<double> top = spectrum.dominantFrequencies(3);
        std::sort(top.begin(), top.end());
        strongest.insert(top);
    }
    QCOMPARE(recordings.size(), std::size_t(24));
    QCOMPARE(analyses.size(), std::size_t(24));
    QCOMPARE(strongest.size(), std::size_t(24));
}

void ServiceSignalTest::markerValuesInRangeAndStable()
{
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        const std::string recording = syntheticRecording(seed);
        const Spectrum spectrum(recording);
        const Spectrum again(recording);
        for (const StorageInfo* storage : allStorages()) {
            int strongest = 0;
            for (const MarkerInfo& marker : storage->markers) {
                const int value = markerValue(spectrum, *storage, marker);
                QVERIFY(value >= 0 && value <= 100);
                QCOMPARE(markerValue(again, *storage, marker), value);
                strongest = std::max(strongest, value);
            }
            // Values are relative to the storage's strongest marker.
            QCOMPARE(strongest, 100);
        }
        for (const CategoryInfo& category : diagnosticCatalogue()) {
            const double deviation = categoryDeviation(spectrum, category);
            QVERIFY(deviation >= -40 && deviation <= 40);
            QVERIFY(isOneDecimal(deviation));
            QCOMPARE(categoryDeviation(again, category), deviation);
        }
    }
    // Values are on a square-root scale: a partial of half the amplitude
    // (a quarter of the power) scores 50.
    {
        const StorageInfo* digestive = findStorage("st-01");
        const MarkerInfo* strong = findMarker("mk-0103");
        const MarkerInfo* weak = findMarker("mk-0106");
        QVERIFY(digestive && strong && weak);
        const Spectrum twoTones(mix(sine(strong->frequencyHz, 80, 66150), sine(weak->frequencyHz, 40, 66150)));
        QCOMPARE(markerValue(twoTones, *digestive, *strong), 100);
        const int half = markerValue(twoTones, *digestive, *weak);
        QVERIFY2(std::abs(half - 50) <= 2, qPrintable(QString::number(half)));
        // The deviation follows the mean over all the category's storages.
        const CategoryInfo& organs = diagnosticCatalogue().front();
        double sum = 0;
        int markers = 0;
        for (const StorageInfo& storage : organs.storages) {
            for (const MarkerInfo& marker : storage.markers) {
                sum += markerValue(twoTones, storage, marker);
                ++markers;
            }
        }
        QVERIFY(std::abs(categoryDeviation(twoTones, organs) - (sum / markers - 50) * 0.8) <= 0.05 + 1e-9);
    }
    // A marker from another storage is measured against this storage's
    // markers and itself, never beyond 100.
    const Spectrum tone(toneBlock(2100));
    const StorageInfo* storage = findStorage("st-04");
    const MarkerInfo* stranger = findMarker("mk-0108");
    QVERIFY(storage && stranger);
    QCOMPARE(stranger->frequencyHz, 2100.0);
    QCOMPARE(markerValue(tone, *storage, *stranger), 100);
    // A category without markers is in balance.
    QCOMPARE(categoryDeviation(tone, CategoryInfo{}), 0.0);
}

void ServiceSignalTest::toneAtMarkerFrequencyScoresThatMarker_data()
{
    QTest::addColumn<QString>("storage");
    QTest::addColumn<QString>("marker");
    for (const StorageInfo* storage : allStorages())
        for (const MarkerInfo& marker : storage->markers)
            QTest::newRow(marker.id.c_str())
                << QString::fromStdString(storage->id) << QString::fromStdString(marker.id);
}

void ServiceSignalTest::toneAtMarkerFrequencyScoresThatMarker()
{
    QFETCH(QString, storage);
    QFETCH(QString, marker);
    const StorageInfo* s = findStorage(storage.toStdString());
    const MarkerInfo* m = findMarker(marker.toStdString());
    QVERIFY(s && m);
    const Spectrum spectrum(toneBlock(m->frequencyHz));
    QCOMPARE(markerValue(spectrum, *s, *m), 100);
    for (const MarkerInfo& other : s->markers) {
        if (other.id == m->id)
            continue;
        // The other markers of the storage, at least 25% away, hardly
        // register at all.
        const int value = markerValue(spectrum, *s, other);
        QVERIFY2(value <= 10, qPrintable(QStringLiteral("%1: %2").arg(other.id.c_str()).arg(value)));
    }
}

void ServiceSignalTest::catalogueShape()
{
    const auto& diagnostic = diagnosticCatalogue();
    QVERIFY(diagnostic.size() >= 3 && diagnostic.size() <= 5);
    for (const CategoryInfo& category : diagnostic) {
        QVERIFY(category.storages.size() >= 2 && category.storages.size() <= 3);
        for (const StorageInfo& storage : category.storages)
            QVERIFY(storage.markers.size() >= 6 && storage.markers.size() <= 12);
    }
    const auto& corrective = correctiveCatalogue();
    QVERIFY(corrective.size() >= 2 && corrective.size() <= 4);
    int frequencyStorages = 0;
    for (const CategoryInfo& category : corrective) {
        QVERIFY(!category.storages.empty());
        for (const StorageInfo& storage : category.storages) {
            QVERIFY(!storage.markers.empty());
            frequencyStorages += storage.frequencies ? 1 : 0;
        }
    }
    QVERIFY(frequencyStorages >= 2);
    // The same objects on every call: handlers keep references to them.
    QCOMPARE(&diagnosticCatalogue(), &diagnostic);
    QCOMPARE(&correctiveCatalogue(), &corrective);
}

void ServiceSignalTest::catalogueIdsAreUniqueAndFound()
{
    const QRegularExpression storageId(QStringLiteral("^st-\\d{2}$"));
    const QRegularExpression markerId(QStringLiteral("^mk-\\d{4}$"));
    std::set<std::string> storages;
    std::set<std::string> markers;
    for (const StorageInfo* storage : allStorages()) {
        QVERIFY2(storageId.match(QString::fromStdString(storage->id)).hasMatch(), storage->id.c_str());
        QVERIFY2(storages.insert(storage->id).second, storage->id.c_str());
        QCOMPARE(findStorage(storage->id), storage);
        for (const MarkerInfo& marker : storage->markers) {
            QVERIFY2(markerId.match(QString::fromStdString(marker.id)).hasMatch(), marker.id.c_str());
            QVERIFY2(markers.insert(marker.id).second, marker.id.c_str());
            QCOMPARE(findMarker(marker.id), &marker);
        }
    }
    for (const char* unknown : {"", "st-00", "st-99", "ST-01", "st-1", " st-01", "mk-0101"})
        QCOMPARE(findStorage(unknown), nullptr);
    for (const char* unknown : {"", "mk-0000", "mk-9999", "MK-0101", "mk-101", "mk-0101 ", "st-01"})
        QCOMPARE(findMarker(unknown), nullptr);
}

void ServiceSignalTest::catalogueTextsInBothLanguages()
{
    const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    const QRegularExpression sentenceEnd(QStringLiteral("[.!?](\\s|$)"));
    const auto check = [&](const LocalText& text, bool sentences, const std::string& where) {
        const QString en = QString::fromStdString(text.en);
        const QString ru = QString::fromStdString(text.ru);
        const QByteArray context = QByteArray::fromStdString(where + ": " + text.en);
        QVERIFY2(!en.trimmed().isEmpty() && !ru.trimmed().isEmpty(), context.constData());
        QVERIFY2(count(en, cyrillic) == 0, context.constData());
        // Russian in Cyrillic, valid UTF-8, not a transliteration (Latin
        // letters only in names such as "B12").
        QVERIFY2(ru.toUtf8().toStdString() == text.ru, context.constData());
        QVERIFY2(!ru.contains(QChar::ReplacementCharacter), context.constData());
        QVERIFY2(count(ru, cyrillic) > 2 * count(ru, latin), context.constData());
        QVERIFY2(text.in("ru") == text.ru && text.in("en") == text.en && text.in("de") == text.en, context.constData());
        if (sentences) {
            for (const QString& description : {en, ru}) {
                const int n = count(description, sentenceEnd);
                QVERIFY2(n >= 1 && n <= 2 && description.endsWith(QLatin1Char('.')), context.constData());
            }
        }
    };
    for (const auto* catalogue : {&diagnosticCatalogue(), &correctiveCatalogue()}) {
        for (const CategoryInfo& category : *catalogue) {
            check(category.title, false, "category");
            for (const StorageInfo& storage : category.storages) {
                check(storage.title, false, storage.id);
                for (const MarkerInfo& marker : storage.markers) {
                    check(marker.title, false, marker.id);
                    check(marker.description, true, marker.id);
                }
            }
        }
    }
}

void ServiceSignalTest::catalogueFrequenciesAndAmounts()
{
    for (const StorageInfo* storage : allStorages()) {
        for (const MarkerInfo& marker : storage->markers) {
            QVERIFY2(marker.frequencyHz >= 60 && marker.frequencyHz <= 4000, marker.id.c_str());
            if (storage->frequencies)
                QVERIFY2(marker.amount >= 2 && marker.amount <= 12, marker.id.c_str());
            else
                QVERIFY2(marker.amount >= 1 && marker.amount <= 3, marker.id.c_str());
            // Markers of one storage lie at clearly different frequencies.
            for (const MarkerInfo& other : storage->markers) {
                if (&other == &marker)
                    continue;
                const double ratio =
                    std::max(other.frequencyHz, marker.frequencyHz) / std::min(other.frequencyHz, marker.frequencyHz);
                QVERIFY2(ratio >= 1.25,
                         qPrintable(QStringLiteral("%1 and %2").arg(marker.id.c_str(), other.id.c_str())));
            }
        }
    }
}

void ServiceSignalTest::standardSymptoms()
{
    const auto& symptoms = localservice::standardSymptoms();
    QVERIFY(symptoms.size() >= 10 && symptoms.size() <= 14);
    const QRegularExpression cyrillic(QStringLiteral("^[\\x{0400}-\\x{04FF} -]+$"));
    std::set<std::string> en;
    std::set<std::string> ru;
    for (std::size_t i = 0; i < symptoms.size(); ++i) {
        const StandardSymptom& symptom = symptoms[i];
        QCOMPARE(symptom.id, int(i) + 1);
        QCOMPARE(findStandardSymptom(symptom.id), &symptom);
        QVERIFY(!symptom.name.en.empty());
        QVERIFY2(cyrillic.match(QString::fromStdString(symptom.name.ru)).hasMatch(), symptom.name.ru.c_str());
        QVERIFY(en.insert(symptom.name.en).second);
        QVERIFY(ru.insert(symptom.name.ru).second);
    }
    QCOMPARE(findStandardSymptom(0), nullptr);
    QCOMPARE(findStandardSymptom(-1), nullptr);
    QCOMPARE(findStandardSymptom(int(symptoms.size()) + 1), nullptr);
}

QTEST_APPLESS_MAIN(ServiceSignalTest)

#include "tst_servicesignal.moc"
