#include "widgets/LoadingWindow.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QPainter>
#include <QVBoxLayout>

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

    // Following the parent's resizes directly, not only at the next repaint,
    // keeps the overlay covering a screen that grows while a request runs.
    parent->installEventFilter(this);
    fit();
}

LoadingWindow::~LoadingWindow()
{
    if (m_focusBefore && hasFocus())
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
