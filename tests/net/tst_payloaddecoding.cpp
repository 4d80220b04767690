#include "base/Base64.h"
#include "net/AudioBlocks.h"
#include "net/GzipFixtures.h"
#include "net/Unzip.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {

// What the client did before the fast paths: the toolkit's parser and decoder.
QByteArrayList referenceBlocks(const QByteArray& json)
{
    QByteArrayList blocks;
    for (const QJsonValue& value : QJsonDocument::fromJson(json).array())
        blocks.append(QByteArray::fromBase64(value.toString().toUtf8()));
    return blocks;
}

QByteArray wrapLines(const QByteArray& text, int columns)
{
    QByteArray wrapped;
    for (int i = 0; i < text.size(); i += columns)
        wrapped += text.mid(i, columns) + "\r\n";
    return wrapped;
}

QByteArray randomBytes(QRandomGenerator& random, int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// A tone with a little noise, as the service's sample blocks sound.
QByteArray toneBlock(int index, int size)
{
    QByteArray block(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        block[i] = char(128 + int(90 * std::sin(i * (0.01 + 0.003 * index))) + (i * 7919 + index) % 5 - 2);
    return block;
}

} // namespace

class PayloadDecodingTest : public QObject
{
    Q_OBJECT

private slots:
    void base64MatchesToolkit_data();
    void base64MatchesToolkit();
    void base64MatchesToolkitOnRandomTexts();
    void base64LargeRoundTrip_data();
    void base64LargeRoundTrip();
    void audioBlocks_data();
    void audioBlocks();
    void packedReplyRoundTrip_data();
    void packedReplyRoundTrip();
};

void PayloadDecodingTest::base64MatchesToolkit_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("no padding") << QByteArray("TWFu") << QByteArray("Man");
    QTest::newRow("one padding") << QByteArray("TWE=") << QByteArray("Ma");
    QTest::newRow("two padding") << QByteArray("TQ==") << QByteArray("M");
    QTest::newRow("missing padding of two") << QByteArray("TWE") << QByteArray("Ma");
    QTest::newRow("missing padding of one") << QByteArray("TQ") << QByteArray("M");
    QTest::newRow("lone character") << QByteArray("TWFuT") << QByteArray("Man");
    QTest::newRow("excess low bits dropped") << QByteArray("TR==") << QByteArray("M");
    QTest::newRow("padding in the middle") << QByteArray("TQ==TWFu") << QByteArray::fromHex("4d04d616");
    QTest::newRow("only padding") << QByteArray("====") << QByteArray();
    QTest::newRow("whitespace") << QByteArray(" TW\tFu\r\nTQ== \n") << QByteArray("ManM");
    QTest::newRow("invalid characters") << QByteArray("*T!W#F.u?") << QByteArray("Man");
    QTest::newRow("url-safe characters skipped") << QByteArray("-_TWFu_-") << QByteArray("Man");
    QTest::newRow("url-safe encoding") << QByteArray("__-_") << QByteArray();
    QTest::newRow("standard 62 and 63") << QByteArray("++//") << QByteArray::fromHex("fbefff");
    QTest::newRow("non-ASCII bytes") << QByteArray("\xc3\xa9TW\xff\x80"
                                                   "Fu\xe2\x82\xac")
                                     << QByteArray("Man");
    QTest::newRow("NUL bytes") << QByteArray("TW\0Fu", 5) << QByteArray("Man");
    QTest::newRow("text ending in spaces") << QByteArray("TWFuTWFu    ") << QByteArray("ManMan");
    QTest::newRow("text ending in dashes") << QByteArray("TWFuTWFu----") << QByteArray("ManMan");

    const QByteArray sample = "The quick brown fox jumps over the lazy dog, again and again and again.";
    for (int length = 1; length <= 9; ++length)
        QTest::addRow("%d bytes", length) << sample.left(length).toBase64() << sample.left(length);
    const QByteArray longSample = sample.repeated(20);
    QTest::newRow("lines of 76") << wrapLines(longSample.toBase64(), 76) << longSample;
    QTest::newRow("lines of 63") << wrapLines(longSample.toBase64(), 63) << longSample;
}

void PayloadDecodingTest::base64MatchesToolkit()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, expected);

    QCOMPARE(QByteArray::fromBase64(text), expected);
    const QByteArray decoded = decodeBase64(text);
    QCOMPARE(decoded, expected);
    QCOMPARE(decoded.isNull(), QByteArray::fromBase64(text).isNull());
    // Within a larger buffer, the span ends where it is told to.
    const QByteArray framed = "QUJD" + text + "REVG";
    QCOMPARE(decodeBase64(framed.constData() + 4, text.size()), expected);
}

void PayloadDecodingTest::base64MatchesToolkitOnRandomTexts()
{
    static const QByteArray alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    static const QByteArray others = QByteArray("= \t\r\n-_*.\"\\\x7f\x80\xff\xc3") + QByteArray(1, '\0');
    QRandomGenerator random(20240613);
    for (int round = 0; round < 4000; ++round) {
        // Mostly short texts with many stray characters; every 40th text is
        // long with a few, so that runs cross the decoder's internal slices.
        const bool isLong = round % 40 == 0;
        const int length = isLong ? random.bounded(16000, 50000) : random.bounded(40);
        const int strayOdds = isLong ? 3000 : random.bounded(1, 6);
        QByteArray text;
        for (int i = 0; i < length; ++i) {
            text += random.bounded(strayOdds) == 0 ? others.at(random.bounded(others.size()))
                                                   : alphabet.at(random.bounded(alphabet.size()));
        }
        if (round % 7 == 0)
            text += QByteArray(random.bounded(3), '=');
        const QByteArray expected = QByteArray::fromBase64(text);
        QVERIFY2(decodeBase64(text) == expected, text.toPercentEncoding().left(200).constData());
    }
}

void PayloadDecodingTest::base64LargeRoundTrip_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("lineLength");

    QTest::newRow("4 MB, two padding characters") << 4 * 1024 * 1024 << 0;
    QTest::newRow("4 MB, one padding character") << 4 * 1024 * 1024 + 1 << 0;
    QTest::newRow("4 MB, no padding") << 4 * 1024 * 1024 + 2 << 0;
    QTest::newRow("1 MB in lines of 76") << 1024 * 1024 << 76;
}

void PayloadDecodingTest::base64LargeRoundTrip()
{
    QFETCH(int, size);
    QFETCH(int, lineLength);

    QRandomGenerator random{quint32(size)};
    const QByteArray bytes = randomBytes(random, size);
    const QByteArray text = lineLength > 0 ? wrapLines(bytes.toBase64(), lineLength) : bytes.toBase64();
    QVERIFY(decodeBase64(text) == bytes);
}

void PayloadDecodingTest::audioBlocks_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QByteArrayList>("expected");

    const QByteArrayList manMaM = {"Man", "Ma", "M"};
    QTest::newRow("compact") << QByteArray(R"(["TWFu","TWE=","TQ=="])") << manMaM;
    QTest::newRow("indented") << QJsonDocument(QJsonArray{"TWFu", "TWE=", "TQ=="}).toJson(QJsonDocument::Indented)
                              << manMaM;
    QTest::newRow("whitespace everywhere") << QByteArray(" \t[\r\n\"TWFu\" ,\t\"TWE=\"\n,\"TQ==\"\r\n]\n \r") << manMaM;
    QTest::newRow("empty array") << QByteArray("[]") << QByteArrayList();
    QTest::newRow("empty array with spaces") << QByteArray(" [ \n ] ") << QByteArrayList();
    QTest::newRow("empty texts") << QByteArray(R"(["",""])") << QByteArrayList{"", ""};
    QTest::newRow("lenient Base64 inside")
        << QByteArray(R"(["TW Fu!", "T-W_E", "TQ==TQ"])") << QByteArrayList{"Man", "Ma", QByteArray::fromHex("4d04d0")};
    QTest::newRow("escaped slash") << QByteArray(R"(["+\/8=","TWFu"])") << QByteArrayList{"\xfb\xff", "Man"};
    QTest::newRow("unicode escape") << QByteArray(R"(["TW\u0046u"])") << QByteArrayList{"Man"};
    QTest::newRow("escaped quote") << QByteArray(R"(["TW\"Fu"])") << QByteArrayList{"Man"};
    QTest::newRow("escaped non-Latin-1") << QByteArray(R"(["TW\u20acFu","\ud800TQ"])") << QByteArrayList{"Man", "M"};
    QTest::newRow("UTF-8 letters skipped") << QByteArray("[\"TW\xc3\xa9\xe2\x82\xac"
                                                         "Fu\"]")
                                           << QByteArrayList{"Man"};
    QTest::newRow("control characters in a text") << QByteArray("[\"TW\tF\x01u\"]") << QByteArrayList{"Man"};
    QTest::newRow("non-text elements") << QByteArray(R"(["TWFu", 12, null, true, {"a":"TWFu"}, ["TWFu"], "TQ=="])")
                                       << QByteArrayList{"Man", "", "", "", "", "", "M"};
    QTest::newRow("leading byte order mark") << QByteArray("\xef\xbb\xbf[\"TWFu\"]") << QByteArrayList{"Man"};
    QTest::newRow("invalid UTF-8") << QByteArray("[\"TW\xff"
                                                 "Fu\"]")
                                   << QByteArrayList();
    QTest::newRow("object") << QByteArray(R"({"a":"TWFu"})") << QByteArrayList();
    QTest::newRow("bare text") << QByteArray(R"("TWFu")") << QByteArrayList();
    QTest::newRow("empty body") << QByteArray() << QByteArrayList();
    QTest::newRow("only spaces") << QByteArray("  \n") << QByteArrayList();
    QTest::newRow("truncated in a text") << QByteArray(R"(["TWFu","TW)") << QByteArrayList();
    QTest::newRow("truncated after a comma") << QByteArray(R"(["TWFu",)") << QByteArrayList();
    QTest::newRow("missing bracket") << QByteArray(R"(["TWFu")") << QByteArrayList();
    QTest::newRow("trailing comma") << QByteArray(R"(["TWFu",])") << QByteArrayList();
    QTest::newRow("missing comma") << QByteArray(R"(["TWFu" "TQ=="])") << QByteArrayList();
    QTest::newRow("trailing garbage") << QByteArray(R"(["TWFu"] x)") << QByteArrayList();
    QTest::newRow("second bracket") << QByteArray(R"(["TWFu"]])") << QByteArrayList();
    QTest::newRow("trailing NUL") << QByteArray("[\"TWFu\"]\0", 9) << QByteArrayList();
    QTest::newRow("form feed is not JSON space") << QByteArray("\f[\"TWFu\"]") << QByteArrayList();
    const QByteArray large = toneBlock(0, 40000);
    QTest::newRow("texts longer than a slice")
        << "[\"" + large.toBase64() + "\",\"" + large.left(39999).toBase64() + "\"]"
        << QByteArrayList{large, large.left(39999)};
}

void PayloadDecodingTest::audioBlocks()
{
    QFETCH(QByteArray, json);
    QFETCH(QByteArrayList, expected);

    const QByteArrayList blocks = decodeAudioBlocks(json);
    QCOMPARE(blocks, referenceBlocks(json));
    QCOMPARE(blocks, expected);
}

void PayloadDecodingTest::packedReplyRoundTrip_data()
{
    QTest::addColumn<bool>("indented");
    QTest::addColumn<int>("lineLength");

    QTest::newRow("compact body") << false << 0;
    QTest::newRow("indented body in lines of 76") << true << 76;
}

void PayloadDecodingTest::packedReplyRoundTrip()
{
    QFETCH(bool, indented);
    QFETCH(int, lineLength);

    QByteArrayList blocks;
    QJsonArray texts;
    for (int index = 0; index < 6; ++index) {
        blocks.append(toneBlock(index, 65709 - index));
        texts.append(QString::fromLatin1(blocks.last().toBase64()));
    }
    const QByteArray packed =
        GzipFixtures::compress(QJsonDocument(texts).toJson(indented ? QJsonDocument::Indented : QJsonDocument::Compact))
            .toBase64();
    QVERIFY(!packed.isEmpty());
    const QByteArray body = lineLength > 0 ? wrapLines(packed, lineLength) : packed;

    QVERIFY(decodeAudioBlocks(unzip(decodeBase64(body))) == blocks);
}

QTEST_GUILESS_MAIN(PayloadDecodingTest)
#include "tst_payloaddecoding.moc"
