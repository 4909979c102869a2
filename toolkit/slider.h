#pragma once

#include <QSlider>

namespace tk {

// A vertical slider whose top is the range's minimum. Positions set by the
// program are clamped and never notify; every move by the user (dragging,
// clicks, arrow and page keys, Home/End, the wheel) reports a vertical
// scroll with its scroll code.
class Slider : public QSlider {
    Q_OBJECT

public:
    explicit Slider(QWidget* parent = nullptr);

    void SetRange(int minimum, int maximum);
    void SetPos(int position);
    int GetPos() const { return sliderPosition(); }
    void SetTicFreq(int spacing);
    void SetLineSize(int step);
    void SetPageSize(int step);

signals:
    void scrolled(int code, int position);

protected:
    // Tick marks in the palette's text colour: the style's own are drawn
    // from the window colour and all but vanish on a dark one.
    void paintEvent(QPaintEvent* event) override;

private:
    void OnAction(int action);
};

} // namespace tk
