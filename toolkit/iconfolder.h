#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tk {

// Icons from a folder of PNG images, one per size and named after it
// ("32.png"), rendered from the icon's SVG when the program was built:
// drawing them needs no SVG renderer, and only the sizes used are read.

// The icon in every size up to largest pixels, as a window's icon.
QIcon IconFromFolder(const QString& folder, int largest = 64);

// The icon drawn extent pixels across on a screen of that pixel ratio: the
// nearest size at least as large, or else the largest there is.
QPixmap PixmapFromFolder(const QString& folder, int extent, qreal devicePixelRatio);

} // namespace tk
