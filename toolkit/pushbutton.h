#pragma once

#include <QPushButton>

namespace tk {

// A push button that a held key presses once: the keyboard's auto-repeat
// does not turn into a stream of clicks (tap buttons time every press).
class PushButton : public QPushButton {
    Q_OBJECT

public:
    explicit PushButton(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tk
