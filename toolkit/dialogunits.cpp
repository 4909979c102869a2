#include "toolkit/dialogunits.h"

#include <QFontMetricsF>
#include <QtMath>

namespace tk {

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseWidth = qMax(1, qRound(metrics.horizontalAdvance(alphabet) / alphabet.size()));
    m_baseHeight = qMax(1, qCeil(metrics.height()));
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const
{
    return QRect(qRound(x * m_baseWidth / 4.0), qRound(y * m_baseHeight / 8.0),
        qRound(width * m_baseWidth / 4.0), qRound(height * m_baseHeight / 8.0));
}

QSize DialogUnits::ToPixels(int width, int height) const
{
    return ToPixels(0, 0, width, height).size();
}

} // namespace tk
