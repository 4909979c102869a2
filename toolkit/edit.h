#pragma once

#include <QLineEdit>

#include <functional>

namespace tk {

class UpDown;

// A single-line edit whose every text write notifies: a write from the
// program raises changed() once, before it returns, even when the text is
// the same; each change the user makes raises it once too. Focus gain and
// loss are reported, except for a context menu popping up over the edit.
class Edit : public QLineEdit {
    Q_OBJECT

public:
    struct Selection {
        int start; // the anchor
        int end; // where the caret is
    };

    explicit Edit(QWidget* parent = nullptr);

    void SetText(const QString& text);
    Selection GetSel() const;
    void SetSel(Selection selection);
    void ScrollCaret();

    // Up and Down keys step this up-down, as its arrows do.
    void SetArrowKeyTarget(UpDown* upDown) { m_arrowKeyTarget = upDown; }

    // An entry of its own below the edit's usual ones in its context menu
    // (the right mouse button, the Menu key, Shift+F10).
    void AddContextEntry(const QString& text, std::function<void()> handler);

signals:
    void changed();
    void focusGained();
    void focusLost();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    UpDown* m_arrowKeyTarget = nullptr;
    QList<QAction*> m_contextEntries;
};

} // namespace tk
