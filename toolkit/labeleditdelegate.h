#pragma once

#include <QStyledItemDelegate>

#include <optional>

namespace tk {

// Edits only column 0, and hands the outcome of an edit to a callback
// instead of writing it into the model.
class LabelEditDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit LabelEditDelegate(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
        const QModelIndex& index) const override;
    void setModelData(
        QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    void editEnded(int row, const std::optional<QString>& text) const;

private:
    void OnCloseEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
};

} // namespace tk
