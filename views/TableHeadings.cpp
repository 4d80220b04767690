#include "views/TableHeadings.h"

#include <QHeaderView>

void allowTwoLineHeadings(QHeaderView* header)
{
    // The style draws the label with these flags, word wrap included.
    header->setDefaultAlignment(Qt::Alignment(int(Qt::AlignCenter) | int(Qt::TextWordWrap)));
    // The header sizes itself for one line; the second needs the room made here.
    header->setMinimumHeight(2 * header->fontMetrics().lineSpacing() + 16);
}
