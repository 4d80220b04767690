#include "app/Application.h"

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

// Every resource path written in the program's sources and style sheet.
QSet<QString> resourcePathsNamedByTheCode()
{
    QSet<QString> paths;
    const QRegularExpression literal(QStringLiteral(R"(:/(?:images|flags)/[A-Za-z0-9_%.-]+\.(?:png|gif))"));
    const QString root = QStringLiteral(SONVERA_SOURCE_DIR);
    const QStringList folders = QStringLiteral(SONVERA_LAYERS " resources").split(QLatin1Char(' '));
    for (const QString& folder : folders) {
        QDirIterator files(root + QLatin1Char('/') + folder,
                           {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.css")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            QRegularExpressionMatchIterator matches = literal.globalMatch(QString::fromUtf8(file.readAll()));
            while (matches.hasNext())
                paths.insert(matches.next().captured(0));
        }
    }
    return paths;
}

} // namespace

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initResources(); }
    void everyNamedPictureLoads();
    void everyBundledPictureLoads();
    void gradientRunsFromGreenThroughYellowToRed();
    void loadingIsAnAnimation();
};

void ResourcesTest::everyNamedPictureLoads()
{
    const QSet<QString> paths = resourcePathsNamedByTheCode();
    QVERIFY(paths.size() >= 10);
    for (const QString& path : paths) {
        if (path.contains(QLatin1Char('%')))
            continue; // a pattern such as ":/flags/%1.png"; its instances are checked below
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
}

void ResourcesTest::everyBundledPictureLoads()
{
    int pictures = 0;
    QDirIterator entries(QStringLiteral(":/"), QDir::Files, QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        if (!path.startsWith(QStringLiteral(":/images/")) && !path.startsWith(QStringLiteral(":/flags/")))
            continue;
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        // A picture of a single colour is a placeholder, not an icon.
        if (path != QStringLiteral(":/images/separator.png") && image.width() > 1 && image.height() > 1) {
            const QRgb first = image.pixel(0, 0);
            bool varies = false;
            for (int y = 0; y < image.height() && !varies; ++y)
                for (int x = 0; x < image.width() && !varies; ++x)
                    varies = image.pixel(x, y) != first;
            QVERIFY2(varies, qPrintable(path));
        }
        ++pictures;
    }
    QVERIFY(pictures >= 57);
    for (const char* flag : {"de", "en", "pl", "ru"})
        QVERIFY(!QImage(QStringLiteral(":/flags/%1.png").arg(QLatin1String(flag))).isNull());
    QVERIFY(QFile::exists(QStringLiteral(":/styles.css")));
}

void ResourcesTest::gradientRunsFromGreenThroughYellowToRed()
{
    const QImage gradient(QStringLiteral(":/images/gradient.png"));
    QCOMPARE(gradient.size(), QSize(512, 1));
    QCOMPARE(QColor(gradient.pixel(0, 0)), QColor(0, 255, 0));
    QCOMPARE(QColor(gradient.pixel(511, 0)), QColor(255, 0, 0));
    const QColor middle(gradient.pixel(256, 0));
    QVERIFY2(middle.red() >= 250 && middle.green() >= 250 && middle.blue() <= 5, qPrintable(middle.name()));
    // Red never falls going right, green never rises.
    for (int x = 1; x < 512; ++x) {
        QVERIFY(qRed(gradient.pixel(x, 0)) >= qRed(gradient.pixel(x - 1, 0)));
        QVERIFY(qGreen(gradient.pixel(x, 0)) <= qGreen(gradient.pixel(x - 1, 0)));
    }
}

void ResourcesTest::loadingIsAnAnimation()
{
    QImageReader reader(QStringLiteral(":/images/loading.gif"));
    QVERIFY(reader.canRead());
    QVERIFY(reader.supportsAnimation());
    QVERIFY(reader.imageCount() > 1);
}

QTEST_GUILESS_MAIN(ResourcesTest)
#include "tst_resources.moc"
