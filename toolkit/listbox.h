#pragma once

#include <QListWidget>

namespace tk {

// A single-selection list. Entries are appended in the order given (never
// sorted); the program's selection changes are silent, the user's notify.
class ListBox : public QListWidget {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent = nullptr);

    void ResetContent();
    void AddString(const QString& text);
    void SetCurSel(int index);
    int GetCurSel() const; // -1 when nothing is selected

signals:
    void selectionChanged();
};

} // namespace tk
