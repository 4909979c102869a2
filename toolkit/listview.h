#pragma once

#include <QColor>
#include <QTreeWidget>

#include <optional>

namespace tk {

// A report-style list: rows of cells under column headers, kept in the order
// inserted (a header click sorts nothing). The label in column 0 can be
// edited in place (double-click, F2, or a click on the selected row); the
// end of an edit is reported with the row and the new text, or with no text
// when the edit was cancelled. The view never stores the edited text
// itself: the owner decides.
class ListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit ListView(QWidget* parent = nullptr);

    // The width is the least the column takes: it widens to fit its header
    // and every cell, whatever the font.
    void InsertColumn(int column, const QString& header, int widthPixels);
    void InsertItem(int row, const QString& label);
    void SetItemText(int row, int column, const QString& text); // no effect on a missing row
    QString GetItemText(int row, int column) const;
    int GetItemCount() const { return topLevelItemCount(); }

    // Background behind the rows and their text; the text takes the
    // palette's colour for text on that role.
    void SetBackgroundRole(QPalette::ColorRole background, QPalette::ColorRole text);

    // Starts editing the label of a row, as the user's gestures do.
    void EditLabel(int row);

signals:
    void labelEdited(int row, const std::optional<QString>& text);

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FitColumn(int column);
    void FitCell(QTreeWidgetItem* item, int column);

    QList<int> m_leastWidths; // by column
};

} // namespace tk
