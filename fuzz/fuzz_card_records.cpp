// The patient card's answers from the service: the list of records, shown in
// the card's table and painted; the answer to an upload; the spreadsheet
// export.
#include "FuzzCheck.h"
#include "FuzzModels.h"
#include "app/Application.h"
#include "data/RecordModel.h"
#include "views/PatientExport.h"
#include "views/PatientRecordsTable.h"

#include <QApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTableView>

namespace {

// Built once: the card keeps its table from one answer to the next.
struct Card
{
    QWidget screen;
    QTableView* table = new QTableView(&screen);
    PatientRecordsTable records{&screen, table, Patient()};
    int errors = 0;
};

Card* card = nullptr;

// The records a list answer holds: its objects that carry an id.
int recordsIn(const QJsonArray& list)
{
    int count = 0;
    for (const QJsonValue& element : list)
        count += Record(element.toObject()).id().isEmpty() ? 0 : 1;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    startOffscreenApplication<QApplication>();
    initResources();
    card = new Card;
    card->table->setGeometry(0, 0, 640, 320);
    card->screen.resize(640, 320);
    card->screen.show();
    QObject::connect(&card->records, &PatientRecordsTable::error, [] { ++card->errors; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    RecordModel& model = *card->records.model();
    // Uploads add rows; a long run keeps the table small.
    if (model.rowCount() > 200)
        model.clear();

    // A list replaces the rows, one per record in it; anything else is
    // reported and leaves the rows as they were.
    const int before = model.rowCount();
    const int errors = card->errors;
    card->records.showRecords(bytes);
    QJsonParseError parse{};
    const QJsonDocument answer = QJsonDocument::fromJson(bytes, &parse);
    const bool list = parse.error == QJsonParseError::NoError && answer.isArray();
    FUZZ_CHECK(card->errors == errors + (list ? 0 : 1));
    FUZZ_CHECK(model.rowCount() == (list ? recordsIn(answer.array()) : before));
    // Every row is a record that can be worked on, numbered from the top.
    for (int row = 0; row < model.rowCount(); ++row) {
        FUZZ_CHECK(!model.recordAt(model.index(row, 0)).id().isEmpty());
        FUZZ_CHECK(model.index(row, RecordModel::NumberColumn).data() == QString::number(model.rowCount() - row));
    }
    readCells(*card->table->model());
    QImage image(640, 320, QImage::Format_ARGB32_Premultiplied);
    card->screen.render(&image);

    // An upload's answer is shown only when it names a record, and once: a
    // list asked for meanwhile may show it already.
    const int rows = model.rowCount();
    const Record uploaded(answer.object());
    const bool shownAlready = model.indexOf(uploaded) >= 0;
    const bool added = card->records.addUploaded(bytes);
    FUZZ_CHECK(added == !uploaded.id().isEmpty());
    FUZZ_CHECK(model.rowCount() == rows + (added && !shownAlready ? 1 : 0));

    // What the export would save is a spreadsheet file, or nothing.
    const QByteArray workbook = PatientExport::workbookOf(bytes);
    FUZZ_CHECK(workbook.isEmpty() || workbook.startsWith("PK\x03\x04"));
    return 0;
}
