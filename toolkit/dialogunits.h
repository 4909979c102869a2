#pragma once

#include "toolkit/dialogtemplate.h"

#include <QFont>
#include <QRect>
#include <QSize>

#include <span>

class QStyle;

namespace tk {

// Maps dialog units to pixels. The base comes from the metrics of the dialog
// font and is then widened (or heightened) as far as it takes for every
// caption of the templates laid out together to fit its place whole at that
// one font size: the templates were drawn for a narrower font than any
// desktop has now, and no caption is ever drawn smaller than the rest.
class DialogUnits {
public:
    DialogUnits(
        const QFont& font, const QStyle& style, std::span<const DialogTemplate* const> templates);

    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const;

    // The width and height a control needs in pixels to show its caption
    // whole at the font; 0 where it has none to fit (a wrapped caption fits
    // its height instead, at the given width).
    static qreal CaptionWidth(
        const ControlTemplate& control, const QFont& font, const QStyle& style);
    static qreal CaptionHeight(const ControlTemplate& control, const QFont& font, qreal width);

    // A caption of more than one line's height wraps instead of fitting its width.
    static bool Wraps(const ControlTemplate& control);

private:
    qreal m_baseWidth; // pixels per four horizontal units
    qreal m_baseHeight; // pixels per eight vertical units
};

} // namespace tk
