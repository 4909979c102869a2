#include "toolkit/tempochart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace tk {

namespace {

// A step between labels of 1, 2 or 5 times a power of ten, at least this.
double NiceStep(double least)
{
    const double power = std::pow(10.0, std::floor(std::log10(std::max(least, 1e-9))));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= least)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

TempoChart::TempoChart(QWidget* parent)
    : QWidget(parent)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TempoChart::SetTempo(
    std::vector<Point> points, std::vector<Bar> bars, double reference, std::vector<double> changes)
{
    m_points = std::move(points);
    m_bars = std::move(bars);
    m_reference = reference;
    m_changes = std::move(changes);
    update();
}

QSize TempoChart::sizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.averageCharWidth() * 80, metrics.height() * 16};
}

QSize TempoChart::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return {metrics.averageCharWidth() * 40, metrics.height() * 8};
}

void TempoChart::paintEvent(QPaintEvent*)
{
    if (m_points.empty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics = fontMetrics();
    const QPalette& colours = palette();

    // The tempos shown, with room above and below the line.
    double lowest = m_reference, highest = m_reference;
    for (const Point& point : m_points) {
        lowest = std::min(lowest, point.bpm);
        highest = std::max(highest, point.bpm);
    }
    const double spread = std::max(highest - lowest, 0.04 * highest);
    lowest -= spread * 0.1;
    highest += spread * 0.1;
    const double length = std::max(m_points.back().seconds, 1.0);

    const int left = metrics.horizontalAdvance(QStringLiteral("000.0")) + metrics.height();
    const int bottom = 2 * metrics.height() + metrics.descent();
    const QRectF plot(left, metrics.height(), width() - left - metrics.height(),
        height() - bottom - metrics.height());
    if (plot.width() < 10 || plot.height() < 10)
        return;
    const auto x = [&](double seconds) { return plot.left() + seconds / length * plot.width(); };
    const auto y = [&](double bpm) {
        return plot.bottom() - (bpm - lowest) / (highest - lowest) * plot.height();
    };

    // The grid: tempos up the side, bars along the bottom, as far apart as
    // their labels need.
    QPen grid(colours.color(QPalette::Mid), 0);
    painter.setPen(grid);
    const double bpmStep = NiceStep((highest - lowest) * metrics.height() * 2.5 / plot.height());
    for (double bpm = std::ceil(lowest / bpmStep) * bpmStep; bpm <= highest; bpm += bpmStep) {
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), y(bpm)), QPointF(plot.right(), y(bpm)));
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(QRectF(0, y(bpm) - metrics.height(), left - metrics.averageCharWidth(),
                             2 * metrics.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::number(bpm, 'f', bpmStep < 1 ? 1 : 0));
    }
    const double labelWidth = metrics.horizontalAdvance(QStringLiteral("0000")) * 1.5;
    int every = 1;
    while (m_bars.size() > 1 && every < int(m_bars.size())
        && x(m_bars[size_t(std::min<int>(every, int(m_bars.size()) - 1))].seconds)
                - x(m_bars[0].seconds)
            < labelWidth)
        every = int(NiceStep(every + 1));
    for (const Bar& bar : m_bars) {
        if ((bar.number - 1) % every != 0)
            continue;
        painter.setPen(grid);
        painter.drawLine(
            QPointF(x(bar.seconds), plot.top()), QPointF(x(bar.seconds), plot.bottom()));
        painter.setPen(colours.color(QPalette::Text));
        painter.drawText(
            QRectF(x(bar.seconds) - labelWidth / 2, plot.bottom(), labelWidth, metrics.height()),
            Qt::AlignHCenter | Qt::AlignTop, QString::number(bar.number));
    }
    painter.drawText(
        QRectF(plot.left(), plot.bottom() + metrics.height(), plot.width(), metrics.height()),
        Qt::AlignHCenter | Qt::AlignTop, tr("bar"));

    // The changes, the tempo found, then the local tempo over them.
    QPen marked(colours.color(QPalette::Link), std::max(1, metrics.height() / 8), Qt::DashLine);
    painter.setPen(marked);
    for (double seconds : m_changes)
        painter.drawLine(QPointF(x(seconds), plot.top()), QPointF(x(seconds), plot.bottom()));
    painter.setPen(
        QPen(colours.color(QPalette::Highlight), std::max(1, metrics.height() / 10), Qt::DotLine));
    if (m_reference > 0)
        painter.drawLine(
            QPointF(plot.left(), y(m_reference)), QPointF(plot.right(), y(m_reference)));
    QPainterPath line;
    line.moveTo(x(m_points[0].seconds), y(m_points[0].bpm));
    for (const Point& point : m_points)
        line.lineTo(x(point.seconds), y(point.bpm));
    painter.setPen(QPen(colours.color(QPalette::Text), std::max(1, metrics.height() / 8)));
    painter.drawPath(line);
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(plot);
}

} // namespace tk
