#include "toolkit/pushbutton.h"

#include <QKeyEvent>

namespace tk {

PushButton::PushButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
}

void PushButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (event->isAutoRepeat()
        && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace tk
