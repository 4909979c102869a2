#include "toolkit/slider.h"

#include "toolkit/scrollcode.h"

#include <QSignalBlocker>

namespace tk {

Slider::Slider(QWidget* parent)
    : QSlider(Qt::Vertical, parent)
{
    // Minimum at the top; Up, Page Up and the wheel turned up all move the
    // thumb up, toward the minimum.
    setInvertedAppearance(true);
    setInvertedControls(true);
    setTickPosition(QSlider::TicksRight);
    connect(this, &QAbstractSlider::actionTriggered, this, &Slider::OnAction);
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        emit scrolled(ScrollThumbPosition, GetPos());
        emit scrolled(ScrollEnd, GetPos());
    });
}

void Slider::SetRange(int minimum, int maximum)
{
    const QSignalBlocker blocker(this);
    setRange(minimum, maximum);
}

void Slider::SetPos(int position)
{
    const QSignalBlocker blocker(this);
    setValue(position); // clamps to the range
}

void Slider::SetTicFreq(int spacing)
{
    setTickInterval(spacing);
}

void Slider::SetLineSize(int step)
{
    setSingleStep(step);
}

void Slider::SetPageSize(int step)
{
    setPageStep(step);
}

void Slider::OnAction(int action)
{
    // The position already holds the outcome of the action here.
    switch (action) {
    case SliderSingleStepSub:
        emit scrolled(ScrollLineUp, GetPos());
        break;
    case SliderSingleStepAdd:
        emit scrolled(ScrollLineDown, GetPos());
        break;
    case SliderPageStepSub:
        emit scrolled(ScrollPageUp, GetPos());
        break;
    case SliderPageStepAdd:
        emit scrolled(ScrollPageDown, GetPos());
        break;
    case SliderToMinimum:
        emit scrolled(ScrollTop, GetPos());
        break;
    case SliderToMaximum:
        emit scrolled(ScrollBottom, GetPos());
        break;
    case SliderMove:
        emit scrolled(ScrollThumbTrack, GetPos());
        break;
    default:
        break;
    }
}

} // namespace tk
