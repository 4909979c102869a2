#include "toolkit/buttonmnemonic.h"

#include <QAbstractButton>
#include <QShortcutEvent>

namespace tk {

namespace {

class MnemonicClick final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || event->type() != QEvent::Shortcut
            || static_cast<QShortcutEvent*>(event)->isAmbiguous())
            return false; // an ambiguous mnemonic only moves the focus, as Qt does
        if (button->focusPolicy() != Qt::NoFocus)
            button->setFocus(Qt::ShortcutFocusReason);
        button->click();
        return true;
    }
};

} // namespace

void ClickLikeMouseOnMnemonic(QAbstractButton* button)
{
    static MnemonicClick filter;
    button->installEventFilter(&filter);
}

} // namespace tk
