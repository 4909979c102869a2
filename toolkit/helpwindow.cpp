#include "toolkit/helpwindow.h"

#include <QApplication>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tk {

HelpWindow::HelpWindow(const QUrl& source, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
    , m_home(parent)
{
    qApp->installEventFilter(this);
    setWindowTitle(tr("%1 Help").arg(QCoreApplication::applicationName()));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    m_browser->setSource(source);
    m_browser->setAccessibleName(tr("Help"));
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);
    resize(fontMetrics().averageCharWidth() * 80, fontMetrics().height() * 32);
}

void HelpWindow::ShowContents()
{
    m_browser->home();
    m_browser->verticalScrollBar()->setValue(0);
    Present();
}

void HelpWindow::ShowTopic(const QString& anchor)
{
    m_browser->scrollToAnchor(anchor);
    Present();
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    auto* window = qobject_cast<QWidget*>(watched);
    if ((type != QEvent::Show && type != QEvent::Hide) || !window || window == this
        || !window->isWindow() || !window->isModal())
        return false;
    if (type == QEvent::Show) {
        BelongTo(window);
    } else if (parentWidget() == window) {
        // Leave before the box goes, or its end would take this window along.
        QWidget* modal = QApplication::activeModalWidget();
        BelongTo(modal && modal != window && modal->isVisible() ? modal : m_home.data());
    }
    return false;
}

void HelpWindow::BelongTo(QWidget* owner)
{
    if (parentWidget() == owner)
        return;
    const bool shown = isVisible();
    const QRect place = geometry();
    setParent(owner, windowFlags());
    setGeometry(place);
    if (shown)
        show();
}

void HelpWindow::Present()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        BelongTo(modal);
    show();
    raise();
    activateWindow();
}

} // namespace tk
