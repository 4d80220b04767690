#include "views/PatientSideBar.h"

#include "views/PatientParticulars.h"
#include "widgets/KeyboardAccess.h"

#include <QEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct ActionLook
{
    const char* objectName;
    const char* picture;
};

const ActionLook looks[PatientSideBar::ActionCount] = {
    {"buttonNewRecord", ":/images/record-create.png"},
    {"buttonAutospectrum", ":/images/autospectrum.png"},
    {"buttonAnalysis", ":/images/analysis.png"},
    {"buttonComparativeAnalysis", ":/images/comparative-analysis.png"},
    {"buttonRecoveryHistory", ":/images/recovery-history.png"},
    {"buttonReceipt", ":/images/receipt.png"},
    {"buttonExcelExport", ":/images/excel-export.png"},
    {"buttonDeletePatient", ":/images/patient-delete.png"},
};

} // namespace

PatientSideBar::PatientSideBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("sideBar"));
    setFixedWidth(280);
    m_particulars = new PatientParticulars(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_particulars);
    layout->addSpacing(8);
    for (int action = 0; action < ActionCount; ++action) {
        auto* button = new QPushButton(QIcon(QString::fromLatin1(looks[action].picture)), QString(), this);
        button->setObjectName(QString::fromLatin1(looks[action].objectName));
        button->setIconSize(QSize(24, 24));
        button->setMinimumHeight(44);
        // Deleting the patient stands apart, at the bottom.
        if (action == DeletePatient)
            layout->addStretch();
        layout->addWidget(button);
        m_buttons[action] = button;
    }
    pressWithKeys(m_buttons[NewRecord], {QKeySequence::New});
    pressWithKeys(m_buttons[ExcelExport], {QKeySequence::Save});
    showChecked(0);
    retranslate();
}

void PatientSideBar::showChecked(int checked)
{
    m_buttons[Analysis]->setEnabled(checked > 0);
    m_buttons[RecoveryHistory]->setEnabled(checked > 0);
    m_buttons[Autospectrum]->setEnabled(checked == 1);
    m_buttons[Receipt]->setEnabled(checked == 1);
    m_buttons[ComparativeAnalysis]->setEnabled(checked >= 3);
}

void PatientSideBar::retranslate()
{
    m_buttons[NewRecord]->setText(tr("Text.newRecord"));
    m_buttons[Autospectrum]->setText(tr("Text.autospectrum"));
    m_buttons[Analysis]->setText(tr("Text.analysis"));
    m_buttons[ComparativeAnalysis]->setText(tr("Text.comparativeAnalysis"));
    m_buttons[RecoveryHistory]->setText(tr("Text.recoveryHistory"));
    m_buttons[Receipt]->setText(tr("Text.receipt"));
    m_buttons[ExcelExport]->setText(tr("Text.excelExport"));
    m_buttons[DeletePatient]->setText(tr("Text.deletePatient"));
    for (QPushButton* button : m_buttons) {
        if (!keysOf(button).isEmpty())
            tellKeysInToolTip(button);
    }
}

void PatientSideBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QFrame::changeEvent(event);
}
