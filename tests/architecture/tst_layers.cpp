// The folders of the program are layers: a file may include headers of its own
// folder and of the folders below it, never of one above. The build links each
// layer's library only to the layers below, but a header-only include upward
// would still compile, so the include lines themselves are checked here.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The layers from the bottom up, as the build lists them.
QStringList layers()
{
    return QStringLiteral(SONVERA_LAYERS).split(QLatin1Char(' '));
}

// Every include of a higher layer's header in the sources under root, one
// line each: "file:line includes header".
QStringList upwardIncludes(const QString& root, const QStringList& layersBottomUp)
{
    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([A-Za-z0-9_-]+)/[^\"]+\""));
    QStringList found;
    for (int rank = 0; rank < layersBottomUp.size(); ++rank) {
        const QString folder = layersBottomUp.at(rank);
        QDirIterator files(root + QLatin1Char('/') + folder, {QStringLiteral("*.h"), QStringLiteral("*.cpp")},
                           QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
                found << file.fileName() + QStringLiteral(" can't be read");
                continue;
            }
            int lineNumber = 0;
            while (!file.atEnd()) {
                const QString line = QString::fromUtf8(file.readLine());
                ++lineNumber;
                const QRegularExpressionMatch match = include.match(line);
                if (match.hasMatch() && layersBottomUp.indexOf(match.captured(1)) > rank)
                    found << QStringLiteral("%1:%2 includes %3")
                                 .arg(QDir(root).relativeFilePath(file.fileName()))
                                 .arg(lineNumber)
                                 .arg(line.trimmed());
            }
        }
    }
    return found;
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class LayersTest : public QObject
{
    Q_OBJECT

private slots:
    void noFileIncludesALayerAboveIt();
    void theCheckFindsWhatRunsUpward_data();
    void theCheckFindsWhatRunsUpward();
};

void LayersTest::noFileIncludesALayerAboveIt()
{
    const QString root = QStringLiteral(SONVERA_SOURCE_DIR);
    for (const QString& layer : layers())
        QVERIFY2(QDir(root).exists(layer), qPrintable(layer + QStringLiteral(" is not a folder")));
    const QStringList found = upwardIncludes(root, layers());
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
}

void LayersTest::theCheckFindsWhatRunsUpward_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("a header of the layer above")
        << "net/Reply.cpp" << QByteArray("#include \"api/Controller.h\"\n") << 1;
    QTest::newRow("from a header, indented, spaced")
        << "base/Thing.h" << QByteArray("  #  include \"app/MainWindow.h\"\n") << 1;
    QTest::newRow("in a subfolder of a layer")
        << "net/detail/Part.cpp" << QByteArray("#include \"views/ViewPatients.h\"\n") << 1;
    QTest::newRow("two, among harmless ones")
        << "data/Model.cpp"
        << QByteArray("#include \"data/Patient.h\"\n#include \"widgets/LoadingWindow.h\"\n#include <QWidget>\n"
                      "#include \"base/Account.h\"\n#include \"app/Application.h\"\n")
        << 2;
    QTest::newRow("own layer") << "api/Controller.cpp" << QByteArray("#include \"api/Controller.h\"\n") << 0;
    QTest::newRow("layers below") << "app/Main.cpp"
                                  << QByteArray("#include \"base/Logging.h\"\n#include \"views/X.h\"\n") << 0;
    QTest::newRow("a toolkit header") << "base/Thing.cpp" << QByteArray("#include <app/QtWhatever.h>\n") << 0;
    QTest::newRow("commented out") << "base/Thing.cpp" << QByteArray("// #include \"app/MainWindow.h\"\n") << 0;
    QTest::newRow("a folder that is no layer") << "base/Thing.cpp" << QByteArray("#include \"tests/Helper.h\"\n") << 0;
}

void LayersTest::theCheckFindsWhatRunsUpward()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, text);
    QFETCH(int, expected);

    QTemporaryDir tree;
    QVERIFY(tree.isValid());
    writeFile(tree.filePath(file), text);
    const QStringList found = upwardIncludes(tree.path(), layers());
    QCOMPARE(found.size(), expected);
    for (const QString& line : found)
        QVERIFY2(line.startsWith(file + QLatin1Char(':')), qPrintable(line));
}

QTEST_GUILESS_MAIN(LayersTest)
#include "tst_layers.moc"
