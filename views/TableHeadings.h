#pragma once

class QHeaderView;

// Lets the column headings of a table break into two lines, so that a date
// and its time ("2021-03-05" over "14:07:00") fit a narrow column instead
// of being cut at both ends.
void allowTwoLineHeadings(QHeaderView* header);
