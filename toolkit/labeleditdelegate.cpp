#include "toolkit/labeleditdelegate.h"

#include <QLineEdit>

namespace tk {

namespace {
const char* const kRowProperty = "beatwiseRow";
} // namespace

LabelEditDelegate::LabelEditDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
    connect(this, &QAbstractItemDelegate::closeEditor, this, &LabelEditDelegate::OnCloseEditor);
}

QWidget* LabelEditDelegate::createEditor(
    QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != 0)
        return nullptr;
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        editor->setProperty(kRowProperty, index.row());
    return editor;
}

void LabelEditDelegate::setModelData(
    QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const
{
    auto* lineEdit = qobject_cast<QLineEdit*>(editor);
    emit editEnded(index.row(), lineEdit ? std::optional<QString>(lineEdit->text()) : std::nullopt);
}

void LabelEditDelegate::OnCloseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // A commit has already been reported by setModelData; Escape has not.
    if (hint == QAbstractItemDelegate::RevertModelCache)
        emit editEnded(editor->property(kRowProperty).toInt(), std::nullopt);
}

} // namespace tk
