#include "toolkit/updown.h"

#include "calc/numberreading.h"
#include "toolkit/edit.h"
#include "toolkit/scrollcode.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace tk {

namespace {

QToolButton* MakeArrow(Qt::ArrowType arrow, const QString& name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    button->setAccessibleName(name);
    return button;
}

} // namespace

UpDown::UpDown(Edit* buddy, QWidget* parent)
    : QWidget(parent)
    , m_buddy(buddy)
    , m_up(MakeArrow(Qt::UpArrow, tr("Up"), this))
    , m_down(MakeArrow(Qt::DownArrow, tr("Down"), this))
{
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    // A click on the arrows takes the focus to the buddy, as a click into
    // it would: whatever was being edited elsewhere is left.
    for (QToolButton* arrow : {m_up, m_down})
        connect(arrow, &QToolButton::pressed, this,
            [this] { m_buddy->setFocus(Qt::MouseFocusReason); });
    connect(m_up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
    m_buddy->SetArrowKeyTarget(this);
}

void UpDown::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

void UpDown::AttachToBuddy(int width)
{
    QRect edit = m_buddy->geometry();
    edit.setWidth(qMax(1, edit.width() - width));
    m_buddy->setGeometry(edit);
    setGeometry(edit.right() + 1, edit.top(), width, edit.height());
}

void UpDown::Step(int direction)
{
    const int low = qMin(m_lower, m_upper);
    const int high = qMax(m_lower, m_upper);
    const int current = qBound(low, calc::ReadWholeNumber(m_buddy->text().toStdString()), high);
    int next = current;
    if (direction > 0 && current < high)
        ++next;
    else if (direction < 0 && current > low)
        --next;
    m_buddy->SetText(QString::number(next));
    emit scrolled(ScrollThumbPosition, next);
}

} // namespace tk
