#include "toolkit/listview.h"

#include "toolkit/labeleditdelegate.h"

#include <QEvent>
#include <QHeaderView>

#include <algorithm>

namespace tk {

ListView::ListView(QWidget* parent)
    : QTreeWidget(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSortingEnabled(false);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::SelectedClicked);
    setColumnCount(0);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);

    auto* delegate = new LabelEditDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &LabelEditDelegate::editEnded, this, &ListView::labelEdited);
}

void ListView::InsertColumn(int column, const QString& header, int widthPixels)
{
    QStringList labels;
    for (int i = 0; i < columnCount(); ++i)
        labels << headerItem()->text(i);
    labels.insert(qBound(0, column, int(labels.size())), header);
    setColumnCount(int(labels.size()));
    setHeaderLabels(labels);
    m_leastWidths.insert(qBound(0, column, int(m_leastWidths.size())), widthPixels);
    FitColumn(column);
}

void ListView::InsertItem(int row, const QString& label)
{
    auto* item = new QTreeWidgetItem;
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    item->setText(0, label);
    insertTopLevelItem(qBound(0, row, topLevelItemCount()), item);
    FitCell(item, 0);
}

void ListView::SetItemText(int row, int column, const QString& text)
{
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setText(column, text);
        FitCell(item, column);
    }
}

void ListView::FitCell(QTreeWidgetItem* item, int column)
{
    // One cell at a time, as it is written: every keystroke in the tempo
    // rewrites a whole column, and measuring it all each time would cost.
    if (column < 0 || column >= m_leastWidths.size())
        return;
    const int needed = sizeHintForIndex(indexFromItem(item, column)).width();
    if (needed > columnWidth(column))
        setColumnWidth(column, needed);
}

void ListView::FitColumn(int column)
{
    if (column < 0 || column >= m_leastWidths.size())
        return;
    const int needed = std::max(sizeHintForColumn(column), header()->sectionSizeHint(column));
    setColumnWidth(column, std::max(m_leastWidths[column], needed));
}

void ListView::changeEvent(QEvent* event)
{
    QTreeWidget::changeEvent(event);
    // A larger font needs wider columns.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        for (int column = 0; column < m_leastWidths.size(); ++column)
            FitColumn(column);
    }
}

QString ListView::GetItemText(int row, int column) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    return item ? item->text(column) : QString();
}

void ListView::SetBackgroundRole(QPalette::ColorRole background, QPalette::ColorRole text)
{
    QPalette colors = palette();
    for (const QPalette::ColorGroup group :
        {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colors.setColor(group, QPalette::Base, colors.color(group, background));
        colors.setColor(group, QPalette::AlternateBase, colors.color(group, background));
        colors.setColor(group, QPalette::Text, colors.color(group, text));
    }
    setPalette(colors);
    setAutoFillBackground(true);
}

bool ListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A click on a selected label edits it a moment later; by then its page
    // may have been left, and an editor on a hidden page would take the
    // keys typed on the page shown.
    if (!isVisible())
        return false;
    // F2 edits the label of the current row, whichever of its cells is current.
    if (trigger == EditKeyPressed && index.isValid())
        return QTreeWidget::edit(index.siblingAtColumn(0), trigger, event);
    return QTreeWidget::edit(index, trigger, event);
}

void ListView::EditLabel(int row)
{
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        setCurrentItem(item, 0);
        editItem(item, 0);
    }
}

} // namespace tk
