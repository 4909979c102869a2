#include "toolkit/dialogunits.h"

#include <QFontMetricsF>
#include <QStyle>
#include <QtMath>

namespace tk {

namespace {

constexpr int kLineUnits = 8; // one line of the dialog font, in vertical units

// The caption as drawn: '&' marks a mnemonic, "&&" stands for itself.
QString DrawnText(std::string_view text)
{
    QString drawn = QString::fromUtf8(text.data(), qsizetype(text.size()));
    drawn.replace(QLatin1String("&&"), QLatin1String("\x01"));
    drawn.remove(QLatin1Char('&'));
    drawn.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return drawn;
}

} // namespace

bool DialogUnits::Wraps(const ControlTemplate& control)
{
    return control.kind == ControlKind::Static && control.height >= 2 * kLineUnits;
}

qreal DialogUnits::CaptionWidth(
    const ControlTemplate& control, const QFont& font, const QStyle& style)
{
    if (control.text.empty() || Wraps(control))
        return 0;
    const qreal text = QFontMetricsF(font).horizontalAdvance(DrawnText(control.text));
    switch (control.kind) {
    case ControlKind::Static:
        return text;
    case ControlKind::PushButton:
        return text
            + 2
            * (style.pixelMetric(QStyle::PM_ButtonMargin)
                + style.pixelMetric(QStyle::PM_DefaultFrameWidth));
    case ControlKind::Radio:
        // The indicator, the gap and room for the focus frame around the text.
        return text + style.pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
            + style.pixelMetric(QStyle::PM_RadioButtonLabelSpacing) + 4;
    case ControlKind::GroupBox:
        return text + 4 * style.pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
    default:
        return 0;
    }
}

qreal DialogUnits::CaptionHeight(const ControlTemplate& control, const QFont& font, qreal width)
{
    if (control.text.empty() || control.kind != ControlKind::Static)
        return 0;
    const QFontMetricsF metrics(font);
    if (!Wraps(control))
        return metrics.height();
    return metrics.boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, DrawnText(control.text))
        .height();
}

DialogUnits::DialogUnits(
    const QFont& font, const QStyle& style, std::span<const DialogTemplate* const> templates)
{
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseWidth = qMax(1.0, metrics.horizontalAdvance(alphabet) / alphabet.size());
    m_baseHeight = qMax(1.0, qCeil(metrics.height()) * 1.0);
    for (const DialogTemplate* dialog : templates) {
        for (const ControlTemplate& control : dialog->controls) {
            // A pixel more than the caption: edges are rounded to whole pixels.
            const qreal caption = CaptionWidth(control, font, style);
            if (caption > 0 && control.width > 0)
                m_baseWidth = qMax(m_baseWidth, (caption + 1) * 4 / control.width);
        }
    }
    // Wrapped captions get their height at the width now settled.
    for (const DialogTemplate* dialog : templates) {
        for (const ControlTemplate& control : dialog->controls) {
            if (control.height <= 0)
                continue;
            const qreal width
                = ToPixels(control.x, control.y, control.width, control.height).width();
            const qreal needed = CaptionHeight(control, font, width);
            if (needed > 0)
                m_baseHeight
                    = qMax(m_baseHeight, (qCeil(needed) + 1) * qreal(kLineUnits) / control.height);
        }
    }
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const
{
    // Edges are rounded, not sizes, so that neighbours meet where they should.
    const int left = qRound(x * m_baseWidth / 4);
    const int top = qRound(y * m_baseHeight / kLineUnits);
    const int right = qRound((x + width) * m_baseWidth / 4);
    const int bottom = qRound((y + height) * m_baseHeight / kLineUnits);
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnits::ToPixels(int width, int height) const
{
    return ToPixels(0, 0, width, height).size();
}

} // namespace tk
