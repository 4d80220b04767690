#pragma once

#include <QCoreApplication>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QPainter;

// What heads every page of a printed report.
struct ReportHeading
{
    QString title;
    QString patientName;
    QStringList recordDates;
};

// Draws what every page of a report carries around its content: the title and
// the patient's name with the record dates above, the page number below.
// Works in report units (1/96 inch) on a page of the given size.
class ReportPageFrame
{
    Q_DECLARE_TR_FUNCTIONS(ReportPageFrame)

public:
    ReportPageFrame(ReportHeading heading, const QSizeF& pageSize);

    // Where the page's content goes, the same on every page.
    QRectF body() const { return m_body; }
    void paint(QPainter& painter, int pageNumber, int pageCount) const;

    // The fonts of reports, sized in report units so that the printer's
    // resolution doesn't change them.
    static QFont font(qreal pixelSize, bool bold = false);

private:
    QString datesText() const;

    ReportHeading m_heading;
    QSizeF m_pageSize;
    QRectF m_titleArea;
    QRectF m_datesArea;
    QRectF m_body;
};
