#include "toolkit/groupbox.h"

#include <QEvent>
#include <QRadioButton>

namespace tk {

GroupBox::GroupBox(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

bool GroupBox::event(QEvent* event)
{
    if (event->type() != QEvent::Shortcut)
        return QGroupBox::event(event);
    QWidget* target = m_target;
    if (qobject_cast<QRadioButton*>(target)) {
        for (auto* radio :
            target->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
            if (radio->isChecked())
                target = radio;
        }
    }
    if (target)
        target->setFocus(Qt::ShortcutFocusReason);
    return true;
}

} // namespace tk
