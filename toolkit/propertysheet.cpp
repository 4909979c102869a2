#include "toolkit/propertysheet.h"

#include "toolkit/helpkey.h"
#include "toolkit/propertypage.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

namespace tk {

PropertySheet::PropertySheet(const QString& caption, QWidget* parent, int startPage)
    : QDialog(parent)
    , m_tabs(new QTabWidget(this))
    , m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
    , m_statusArea(new QWidget(this))
    , m_startPage(startPage)
{
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_statusArea, 1);
    bottom->addWidget(m_buttons);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    InstallHelpKey(this);
}

void PropertySheet::AddPage(PropertyPage* page)
{
    const QSignalBlocker blocker(m_tabs); // adding the first tab must not show it yet
    m_pages << page;
    m_tabs->addTab(page, page->Caption());
}

int PropertySheet::GetActiveIndex() const
{
    return m_tabs->currentIndex();
}

void PropertySheet::SetActivePage(int index)
{
    m_tabs->setCurrentIndex(index);
}

void PropertySheet::ActivateStartPage()
{
    if (!m_started && !m_pages.isEmpty()) {
        m_started = true;
        // One scale for every page, so that the tempo group stays in place
        // from tab to tab.
        std::vector<const DialogTemplate*> templates;
        for (const PropertyPage* page : std::as_const(m_pages))
            templates.push_back(&page->Template());
        const DialogUnits units(m_pages.first()->font(), *style(), templates);
        for (PropertyPage* page : std::as_const(m_pages))
            page->SetUnits(units);
        const int start = qBound(0, m_startPage, int(m_pages.size()) - 1);
        {
            const QSignalBlocker blocker(m_tabs);
            m_tabs->setCurrentIndex(start);
        }
        ActivatePage(start, true);
        connect(m_tabs, &QTabWidget::currentChanged, this, &PropertySheet::OnTabChanged);
    }
}

void PropertySheet::Start()
{
    ActivateStartPage();
    show();
}

int PropertySheet::DoModal()
{
    // exec() makes the window modal only if it is not shown yet.
    ActivateStartPage();
    return exec();
}

void PropertySheet::ActivatePage(int index, bool focusFirstControl)
{
    PropertyPage* page = GetPage(index);
    if (!page)
        return;
    if (!page->HasControls()) {
        page->CreateControls();
        if (page->OnInitDialog() && focusFirstControl)
            page->FocusFirstTabStop();
    }
    page->OnSetActive();
}

void PropertySheet::OnTabChanged(int index)
{
    // Qt has already put the focus back on the control of the new page that
    // last had it. The page must learn that it is shown first, with the
    // focus on the tabs, as where the tab control keeps it: what the page
    // writes into its fields then is its own doing, not the user's typing.
    QWidget* focus = QApplication::focusWidget();
    const PropertyPage* page = GetPage(index);
    const bool focusInPage = page && focus && page->isAncestorOf(focus);
    if (focusInPage)
        m_tabs->tabBar()->setFocus(Qt::OtherFocusReason);
    ActivatePage(index, false);
    if (focusInPage && focus->isVisible())
        focus->setFocus(Qt::OtherFocusReason);
}

void PropertySheet::reject()
{
    for (PropertyPage* page : std::as_const(m_pages)) {
        if (page->HasControls())
            page->OnReset();
    }
    QDialog::reject();
}

} // namespace tk
