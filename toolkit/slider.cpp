#include "toolkit/slider.h"

#include "toolkit/scrollcode.h"

#include <QSignalBlocker>

#include <utility>

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
    static constexpr std::pair<int, ScrollCode> kCodes[] = {
        {SliderSingleStepSub, ScrollLineUp},
        {SliderSingleStepAdd, ScrollLineDown},
        {SliderPageStepSub, ScrollPageUp},
        {SliderPageStepAdd, ScrollPageDown},
        {SliderToMinimum, ScrollTop},
        {SliderToMaximum, ScrollBottom},
        {SliderMove, ScrollThumbTrack},
    };
    for (const auto& [sliderAction, code] : kCodes) {
        if (sliderAction == action)
            emit scrolled(code, GetPos());
    }
}

} // namespace tk
