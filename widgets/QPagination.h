#pragma once

#include <QList>
#include <QSize>
#include <QWidget>

class QHBoxLayout;
class QPushButton;

// A centred row of page buttons: "<", at most seven pages with "..." standing
// for the pages left out, and ">". It knows only the page count and the current
// page, and reports each move the user makes through onPageChange.
class QPagination : public QWidget
{
    Q_OBJECT

public:
    QPagination(QWidget* parent, int height);

    // Sets the page count and goes back to page 1 without rebuilding the
    // buttons; meant for before build().
    void setTotal(int total);
    // Goes to a page without reporting it, relabelling a built row; a page the
    // count lacks gives 1.
    void setCurrent(int current);

    void setButtonSize(const QSize& size);
    void build();
    // Rebuilds the buttons when the count differs; the current page is kept
    // unless the new count no longer has it.
    void setPageCount(int count);

    int currentPage() const { return m_current; }
    int pageCount() const { return m_pageCount; }

signals:
    void onPageChange(int currentPage);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The arrows show only "<" and ">": their names say where they lead.
    void nameArrows();
    void createNavigationButtons();
    QPushButton* createButton(const QString& objectName);
    void applyButtonSize(QPushButton* button) const;
    void clear();
    void refresh();
    void relabel();
    void showPage(int position, int page);
    void pageButtonClicked(const QPushButton* button);
    void moveTo(int page);

    QHBoxLayout* m_layout;
    QPushButton* m_buttonPrevious = nullptr;
    QPushButton* m_buttonNext = nullptr;
    QList<QPushButton*> m_pageButtons;
    QSize m_buttonSize{-1, -1};
    int m_pageCount = 0;
    int m_current = 1;
};
