// The impact screen's handling of the service's audio answer: assembled for
// the player (the Sensor target), and made into a WAV file up to the
// question of its name (the Download target); then the screen painted.
#include "FuzzCheck.h"
#include "FuzzModels.h"
#include "app/Application.h"
#include "audio/ImpactWavFile.h"
#include "net/AudioBlocks.h"
#include "views/ImpactDownload.h"
#include "views/ViewImpact.h"
#include "widgets/MessageBoxes.h"
#include "widgets/SaveFileDialog.h"

#include <QApplication>
#include <QImage>
#include <QJsonObject>
#include <QPushButton>

namespace {

struct Screen
{
    Patient patient{QJsonObject{{"id", "p1"}, {"name", "Anna"}}};
    Record record{QJsonObject{{"id", "r1"}}};
    QList<Marker> markers{Marker(QJsonObject{{"id", "m1"}, {"amount", 3}}),
                          Marker(QJsonObject{{"id", "m2"}, {"amount", 2}})};
    ViewImpact view{nullptr, patient, record, markers, true};
    ImpactDownload download{&view};
};

Screen* screen = nullptr;
int boxes = 0;
int namesAsked = 0;
int finished = 0;
qint64 played = -1;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startOffscreenApplication<QApplication>();
    initResources();
    // Boxes are counted, not shown; the file's name is never given.
    MessageBoxRunner::set([](QMessageBox&) { ++boxes; });
    SaveFileDialog::set([](const SaveFileDialog::Question&) {
        ++namesAsked;
        return QString();
    });
    screen = new Screen;
    screen->view.resize(800, 400);
    screen->view.show();
    QObject::connect(&screen->view, &ViewImpact::onPlay, [](const QByteArray& samples) { played = samples.size(); });
    QObject::connect(&screen->download, &ImpactDownload::finished, [] { ++finished; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    const QList<QByteArray> blocks = decodeAudioBlocks(bytes);
    qint64 blockBytes = 0;
    for (const QByteArray& block : blocks)
        blockBytes += block.size();

    // Played: every block repeated alike, or a message instead of the player.
    const int boxesBefore = boxes;
    played = -1;
    screen->view.onSuccess(bytes);
    if (played >= 0)
        FUZZ_CHECK(boxes == boxesBefore && (blockBytes == 0 ? played == 0 : played > 0 && played % blockBytes == 0));
    else
        FUZZ_CHECK(boxes == boxesBefore + 1);
    FUZZ_CHECK(screen->view.findChild<QPushButton*>(QStringLiteral("buttonStart"))->isEnabled());

    // Saved: a name is asked only for a file with sound that a WAV file
    // holds; otherwise a message says why. Up to 2^30 repetitions.
    const int repetitions = size > 0 ? 1 << (data[0] % 31) : 1;
    const ImpactWavFile file(blocks, repetitions);
    const int asked = namesAsked;
    const int finishedBefore = finished;
    const int boxesBeforeSave = boxes;
    screen->download.save(bytes, repetitions);
    const bool wanted = file.dataSize() > 0 && file.fits();
    FUZZ_CHECK(finished == finishedBefore + 1);
    FUZZ_CHECK(namesAsked == asked + (wanted ? 1 : 0));
    FUZZ_CHECK(boxes == boxesBeforeSave + (wanted ? 0 : 1));

    QImage image(800, 400, QImage::Format_ARGB32_Premultiplied);
    screen->view.render(&image);
    return 0;
}
