#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace tk {

// Maps dialog units to pixels from the metrics of the dialog font, so that a
// template keeps its proportions at any font size and screen density.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const;

    int BaseWidth() const { return m_baseWidth; }
    int BaseHeight() const { return m_baseHeight; }

private:
    int m_baseWidth; // average character width in pixels
    int m_baseHeight; // character height in pixels
};

} // namespace tk
