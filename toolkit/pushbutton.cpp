#include "toolkit/pushbutton.h"

#include "toolkit/clock.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace tk {

namespace {

bool IsClickKey(int key)
{
    return key == Qt::Key_Space || key == Qt::Key_Select || key == Qt::Key_Return
        || key == Qt::Key_Enter;
}

// Return and Enter click at once; Space and Select click on release.
bool ClicksOnPress(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

PushButton::PushButton(const QString& text, QWidget* parent)
    : QPushButton(text, parent)
{
}

std::int64_t PushButton::PressTime() const
{
    Clock& clock = CurrentClock();
    if (!m_press)
        return clock.Milliseconds();
    if (m_press->timestamp == 0)
        return m_press->clockReading;
    return clock.EventTime(m_press->timestamp);
}

bool PushButton::event(QEvent* event)
{
    // Every input event that reaches the button sharpens the relation
    // between event times and the clock, the release of a press included.
    if (event->isInputEvent())
        CurrentClock().ObserveEvent(static_cast<QInputEvent*>(event)->timestamp());
    return QPushButton::event(event);
}

void PushButton::BeginPress(std::uint64_t timestamp)
{
    m_press = Press {timestamp, CurrentClock().EventTime(timestamp)};
}

void PushButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        BeginPress(event->timestamp());
    QPushButton::mousePressEvent(event);
}

void PushButton::mouseReleaseEvent(QMouseEvent* event)
{
    QPushButton::mouseReleaseEvent(event); // clicks, when released over the button
    if (event->button() == Qt::LeftButton)
        m_press.reset();
}

void PushButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (!IsClickKey(key)) {
        QPushButton::keyPressEvent(event);
        return;
    }
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    BeginPress(event->timestamp());
    QPushButton::keyPressEvent(event);
    if (ClicksOnPress(key))
        m_press.reset();
}

void PushButton::keyReleaseEvent(QKeyEvent* event)
{
    QPushButton::keyReleaseEvent(event);
    if (IsClickKey(event->key()) && !event->isAutoRepeat())
        m_press.reset();
}

} // namespace tk
