#include "toolkit/firstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace tk {

namespace {

class FirstPaint final : public QObject {
public:
    FirstPaint(QWidget* window, std::function<void()> action)
        : QObject(window)
        , m_action(std::move(action))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_action();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

} // namespace

void AfterFirstPaint(QWidget* window, std::function<void()> action)
{
    new FirstPaint(window, std::move(action));
}

} // namespace tk
