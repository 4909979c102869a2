#include "toolkit/helpwindow.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tk {

HelpWindow::HelpWindow(const QUrl& source, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
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

void HelpWindow::Present()
{
    show();
    raise();
    activateWindow();
}

} // namespace tk
