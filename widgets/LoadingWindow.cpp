#include "widgets/LoadingWindow.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Long enough for every answer a practitioner waits for in practice, short
// enough that a silent service does not look like a hung program.
constexpr int compiledStopWaitingOfferMs = 15000;
int stopWaitingOfferOverrideMs = 0;

} // namespace

int LoadingWindow::stopWaitingOfferMs()
{
    return stopWaitingOfferOverrideMs > 0 ? stopWaitingOfferOverrideMs : compiledStopWaitingOfferMs;
}

void LoadingWindow::setStopWaitingOfferMsForTests(int milliseconds)
{
    stopWaitingOfferOverrideMs = milliseconds;
}

LoadingWindow::LoadingWindow(QWidget* parent) : QWidget(parent)
{
    Q_ASSERT(parent);
    setObjectName(QStringLiteral("LoadingWindow"));
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(16);

    auto* text = new QLabel(tr("Text.requestInProgress"), this);
    text->setObjectName(QStringLiteral("labelRequestInProgress"));
    text->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    layout->addWidget(text);

    auto* animation = new QLabel(this);
    animation->setObjectName(QStringLiteral("labelLoading"));
    animation->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto* movie = new QMovie(QStringLiteral(":/images/loading.gif"), QByteArray(), animation);
    animation->setMovie(movie);
    layout->addWidget(animation);
    movie->start();

    auto* stop = new QPushButton(tr("Text.stopWaiting"), this);
    stop->setObjectName(QStringLiteral("buttonStopWaiting"));
    stop->hide();
    layout->addWidget(stop, 0, Qt::AlignHCenter | Qt::AlignTop);
    connect(stop, &QPushButton::clicked, this, &LoadingWindow::stopWaitingClicked);
    QTimer::singleShot(stopWaitingOfferMs(), stop, [this, stop] {
        stop->show();
        // Keys go to the overlay: the button takes them, Enter presses it.
        if (hasFocus())
            stop->setFocus();
    });

    // Following the parent's resizes directly, not only at the next repaint,
    // keeps the overlay covering a screen that grows while a request runs.
    parent->installEventFilter(this);
    fit();
}

LoadingWindow::~LoadingWindow()
{
    QWidget* focused = QApplication::focusWidget();
    if (m_focusBefore && (focused == this || isAncestorOf(focused)))
        m_focusBefore->setFocus();
}

void LoadingWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape still reaches a covered dialog, so the practitioner can give up.
    if (event->key() == Qt::Key_Escape)
        event->ignore();
    else
        event->accept();
}

void LoadingWindow::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
}

bool LoadingWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fit();
    return QWidget::eventFilter(watched, event);
}

void LoadingWindow::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    fit();
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 128));
}

void LoadingWindow::fit()
{
    const QSize parentSize = parentWidget()->size();
    if (size() != parentSize)
        setGeometry(0, 0, parentSize.width(), parentSize.height());
    if (isHidden()) {
        raise();
        show();
        // Only the focus within what it covers; the window's own focus widget,
        // so that it holds even while the window is not the active one.
        QWidget* focused = window()->focusWidget();
        if (focused && parentWidget()->isAncestorOf(focused)) {
            m_focusBefore = focused;
            setFocus();
        }
    }
}
