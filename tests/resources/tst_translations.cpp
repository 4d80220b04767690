#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString translation;
    QString type; // empty when finished; "unfinished", "obsolete" or "vanished" otherwise
};

// Context -> key -> message of a Qt Linguist source file.
using Catalogue = QMap<QString, QMap<QString, Message>>;

Catalogue readCatalogue(const QString& path)
{
    Catalogue catalogue;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return catalogue;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("context")) {
            context.clear();
        } else if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            Message message;
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            catalogue[context][source] = message;
        }
    }
    return catalogue;
}

QSet<QString> placeholders(const QString& text)
{
    QSet<QString> found;
    QRegularExpressionMatchIterator matches = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text);
    while (matches.hasNext())
        found.insert(matches.next().captured(0));
    return found;
}

// Month names are keys such as "Text.January".
const QRegularExpression keyShape(QStringLiteral(R"(^(Title|Menu|Text|Dialog|Form|Complaint)\.[A-Za-z][A-Za-z0-9]*$)"));

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyKeyOfTheCodeIsTranslated();
    void compiledFilesAreBesideTheProgram();

private:
    Catalogue m_used;
};

void TranslationsTest::initTestCase()
{
    // lupdate reads the keys with their contexts exactly as the toolkit will
    // look them up: tr() in a class gives the class name, QObject::tr gives "QObject".
    QTemporaryDir folder;
    const QString extracted = folder.filePath(QStringLiteral("used.ts"));
    const QString root = QStringLiteral(SONVERA_SOURCE_DIR);
    QStringList arguments = {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none")};
    for (const QString& layer : QStringLiteral(SONVERA_LAYERS).split(QLatin1Char(' ')))
        arguments << root + QLatin1Char('/') + layer;
    arguments << QStringLiteral("-ts") << extracted;

    QProcess lupdate;
    lupdate.start(QStringLiteral(SONVERA_LUPDATE), arguments);
    QVERIFY2(lupdate.waitForFinished(60000), qPrintable(lupdate.errorString()));
    QCOMPARE(lupdate.exitCode(), 0);
    m_used = readCatalogue(extracted);
    QVERIFY(!m_used.isEmpty());
}

void TranslationsTest::everyKeyOfTheCodeIsTranslated()
{
    QMap<QString, Catalogue> catalogues;
    for (const char* language : {"en_US", "ru_RU"})
        catalogues[QLatin1String(language)] = readCatalogue(
            QStringLiteral(SONVERA_SOURCE_DIR "/resources/Translation_%1.ts").arg(QLatin1String(language)));

    QStringList problems;
    for (auto context = m_used.cbegin(); context != m_used.cend(); ++context) {
        for (auto key = context->cbegin(); key != context->cend(); ++key) {
            const QString where = context.key() + QStringLiteral(" / ") + key.key();
            if (!keyShape.match(key.key()).hasMatch()) {
                problems << where + QStringLiteral(": not a translation key");
                continue;
            }
            QMap<QString, QSet<QString>> arguments;
            for (auto catalogue = catalogues.cbegin(); catalogue != catalogues.cend(); ++catalogue) {
                const QString in = where + QStringLiteral(" in ") + catalogue.key();
                const Message message =
                    catalogue->value(context.key()).value(key.key(), Message{{}, QStringLiteral("missing")});
                if (!message.type.isEmpty())
                    problems << in + QStringLiteral(": ") + message.type;
                else if (message.translation.trimmed().isEmpty())
                    problems << in + QStringLiteral(": empty");
                else if (message.translation == key.key())
                    problems << in + QStringLiteral(": the key itself");
                arguments[catalogue.key()] = placeholders(message.translation);
            }
            // Both languages must take the same arguments, or one of them loses a value.
            if (arguments.value(QStringLiteral("en_US")) != arguments.value(QStringLiteral("ru_RU")))
                problems << where + QStringLiteral(": English and Russian take different %n arguments");
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TranslationsTest::compiledFilesAreBesideTheProgram()
{
    const QDir languages(QCoreApplication::applicationDirPath() + QStringLiteral("/languages"));
    for (const char* language : {"en_US", "ru_RU"}) {
        const QString path = languages.filePath(QStringLiteral("Translation_%1.qm").arg(QLatin1String(language)));
        QVERIFY2(QFileInfo(path).size() > 100, qPrintable(path));
    }
}

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_translations.moc"
