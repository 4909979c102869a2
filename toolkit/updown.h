#pragma once

#include <QWidget>

class QToolButton;

namespace tk {

class Edit;

// Two arrows attached to a buddy edit, drawn at its right edge. A step reads
// the buddy's whole-number value, moves it by one within the range, writes
// it back as whole-number text (so the buddy notifies its change) and then
// reports a vertical scroll.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(Edit* buddy, QWidget* parent = nullptr);

    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    Edit* Buddy() const { return m_buddy; }

    // Narrows the buddy and takes the room freed at its right edge.
    void AttachToBuddy(int width);

    // +1 raises the value, -1 lowers it.
    void Step(int direction);

signals:
    void scrolled(int code, int position);

private:
    Edit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    int m_lower = 0;
    int m_upper = 100;
};

} // namespace tk
