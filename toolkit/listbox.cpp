#include "toolkit/listbox.h"

#include <QSignalBlocker>

namespace tk {

ListBox::ListBox(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QListWidget::itemSelectionChanged, this, &ListBox::selectionChanged);
}

void ListBox::ResetContent()
{
    const QSignalBlocker blocker(this);
    clear();
}

void ListBox::AddString(const QString& text)
{
    const QSignalBlocker blocker(this);
    addItem(text);
}

void ListBox::SetCurSel(int index)
{
    const QSignalBlocker blocker(this);
    if (index < 0 || index >= count()) {
        clearSelection();
        return;
    }
    setCurrentRow(index);
}

int ListBox::GetCurSel() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

} // namespace tk
