#include "toolkit/slider.h"

#include "toolkit/scrollcode.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
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

void Slider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    if (tickPosition() == NoTicks || maximum() <= minimum())
        return;

    // A tick at every interval along the handle's path, right of the groove.
    QColor tick = palette().color(QPalette::WindowText);
    tick.setAlphaF(0.6f);
    painter.setPen(tick);
    const int handle = style()->pixelMetric(QStyle::PM_SliderLength, &option, this);
    const int length = style()->pixelMetric(QStyle::PM_SliderTickmarkOffset, &option, this);
    const int interval = tickInterval() > 0 ? tickInterval() : std::max(1, pageStep());
    const int right = rect().right() - 1;
    for (int value = minimum(); value <= maximum(); value += interval) {
        const int y = QStyle::sliderPositionFromValue(
                          minimum(), maximum(), value, height() - handle, option.upsideDown)
            + handle / 2;
        painter.drawLine(right - std::max(2, length - 1), y, right, y);
        if (value > maximum() - interval)
            break;
    }
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
