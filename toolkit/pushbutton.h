#pragma once

#include <QPushButton>

#include <cstdint>
#include <optional>

namespace tk {

// A push button that knows when it was pressed, for buttons that time the
// user's presses: the moment the mouse button or the key went down, taken
// from the input event's own time, so that a press handled late is still
// timed right. A held key presses once: the keyboard's auto-repeat does not
// turn into a stream of clicks.
class PushButton : public QPushButton {
    Q_OBJECT

public:
    explicit PushButton(const QString& text, QWidget* parent = nullptr);

    // When the press behind the click being handled began, on the current
    // clock; the clock now for a click that no press of this button began
    // (a mnemonic, an accessibility action).
    std::int64_t PressTime() const;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct Press {
        std::uint64_t timestamp; // the event's time; 0 when it had none
        std::int64_t clockReading; // the clock when the event arrived
    };
    void BeginPress(std::uint64_t timestamp);

    std::optional<Press> m_press; // from a press until its release
};

} // namespace tk
