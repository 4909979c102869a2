#pragma once

#include <QWidget>

#include <vector>

namespace tk {

// A line chart of a tempo over time: seconds along the bottom, labelled in
// bars, beats a minute up the side, one tempo drawn across as a reference
// and the moments the tempo changes marked. Drawn in the palette's colours
// and the font's sizes, so that it follows a dark desktop, a large font and
// a high-density screen.
class TempoChart : public QWidget {
    Q_OBJECT

public:
    struct Point {
        double seconds, bpm;
    };
    struct Bar {
        double seconds;
        int number;
    };

    explicit TempoChart(QWidget* parent = nullptr);

    void SetTempo(std::vector<Point> points, std::vector<Bar> bars, double reference,
        std::vector<double> changes);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<Point> m_points;
    std::vector<Bar> m_bars;
    std::vector<double> m_changes;
    double m_reference = 0;
};

} // namespace tk
