// Every page, the About box and the Tempo Map window legible at the desktop's default font, at a
// large font, with a dark palette and (run again by CTest with
// QT_SCALE_FACTOR=2) at twice the scale: every caption whole, in the dialog's
// one font, and drawn in a colour that stands out from what is behind it;
// the emblem, the slider's ticks, the Multi-tap list and the tempo chart in
// the palette's colours, and every cell of the list and label of the chart whole.
#include "app/aboutdialog.h"
#include "app/tempomapwindow.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/dialogsurface.h"
#include "toolkit/listview.h"
#include "toolkit/tempochart.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOption>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

QPalette DarkPalette()
{
    QPalette dark;
    const QColor window(0x2b, 0x2b, 0x2b), text(0xe6, 0xe6, 0xe6);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

QString Drawn(QString caption)
{
    caption.replace(QLatin1String("&&"), QLatin1String("\x01"));
    caption.remove(QLatin1Char('&'));
    return caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
}

// Where a control draws its caption, by the style's own reckoning.
QRect CaptionPlace(QWidget* widget)
{
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
    }
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxLabel;
        return group->style()->subControlRect(
            QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    }
    return widget->contentsRect();
}

QString Caption(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return {};
}

int Distance(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
}

// What a caption's control shows it on, and in.
QPair<QColor, QColor> Colours(QWidget* widget)
{
    const QPalette& palette = widget->palette();
    if (qobject_cast<QLineEdit*>(widget))
        return {palette.color(QPalette::Base), palette.color(QPalette::Text)};
    if (qobject_cast<QPushButton*>(widget))
        return {palette.color(QPalette::Button), palette.color(QPalette::ButtonText)};
    return {palette.color(QPalette::Window), palette.color(QPalette::WindowText)};
}

// A song of 64 beats that steps from 120 to 100 bpm at bar 9.
analysis::SongTempo Medley()
{
    analysis::SongTempo song;
    song.bpm = 120;
    song.map.firstBpm = 120;
    for (int i = 0; i < 64; ++i) {
        const double bpm = i < 32 ? 120 : 100;
        const double seconds = i < 32 ? 0.5 * i : 16 + 0.6 * (i - 32);
        song.map.beats.push_back({seconds, i / 4 + 1, i % 4 + 1, bpm});
    }
    song.map.changes.push_back({16, 9, 100});
    return song;
}

} // namespace

class TestLegibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }
    void everyCaptionLegible_data();
    void everyCaptionLegible();
};

void TestLegibility::everyCaptionLegible_data()
{
    QTest::addColumn<int>("dialog"); // a page, -1 for About, -2 for the Tempo Map
    QTest::addColumn<qreal>("pointSize"); // 0: the desktop's
    QTest::addColumn<bool>("dark");

    const char* names[] = {"Simple", "Multi-tap", "Song Length", "About", "Tempo Map"};
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    for (int dialog = 0; dialog < 5; ++dialog) {
        const int which = dialog == 3 ? -1 : dialog == 4 ? -2 : dialog;
        QTest::addRow("%s, default font, %gx", names[dialog], scale) << which << 0.0 << false;
        QTest::addRow("%s, 14 pt, %gx", names[dialog], scale) << which << 14.0 << false;
        QTest::addRow("%s, dark, %gx", names[dialog], scale) << which << 0.0 << true;
    }
}

void TestLegibility::everyCaptionLegible()
{
    QFETCH(int, dialog);
    QFETCH(qreal, pointSize);
    QFETCH(bool, dark);

    const QFont desktopFont = QApplication::font();
    const QPalette desktopPalette = QApplication::palette();
    const auto restore = qScopeGuard([&] {
        QApplication::setFont(desktopFont);
        QApplication::setPalette(desktopPalette);
    });
    if (pointSize > 0) {
        QFont large = desktopFont;
        large.setPointSizeF(pointSize);
        QApplication::setFont(large);
    }
    if (dark)
        QApplication::setPalette(DarkPalette());

    std::unique_ptr<SheetHarness> sheet;
    std::unique_ptr<CAboutDialog> about;
    std::unique_ptr<CTempoMapWindow> map;
    QWidget* window = nullptr;
    QWidget* surface = nullptr; // what holds the captions
    if (dialog == -2) {
        map = std::make_unique<CTempoMapWindow>(nullptr);
        map->Show(QStringLiteral("medley.wav"), Medley());
        QVERIFY(QTest::qWaitForWindowExposed(map.get()));
        surface = window = map.get();
    } else if (dialog >= 0) {
        sheet = std::make_unique<SheetHarness>();
        QVERIFY(sheet->Show());
        surface = &sheet->ShowPage(dialog);
        window = &sheet->sheet;
    } else {
        about = std::make_unique<CAboutDialog>();
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about.get()));
        surface = &about->Surface();
        window = about.get();
    }
    const QImage image = window->grab().toImage();
    const qreal ratio = image.devicePixelRatio();

    int captions = 0;
    for (QWidget* widget : surface->findChildren<QWidget*>()) {
        const QString caption = Drawn(Caption(widget));
        if (caption.isEmpty() || !widget->isVisible())
            continue;
        ++captions;
        const QString what = QStringLiteral("'%1'").arg(caption);
        QVERIFY2(widget->font() == surface->font(), qPrintable(what + " in a font of its own"));
        QVERIFY2(surface->rect().contains(QRect(widget->mapTo(surface, QPoint()), widget->size())),
            qPrintable(what + " off the dialog"));
        const QRect place = CaptionPlace(widget);
        const QFontMetrics metrics(widget->font());
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->wordWrap()) {
            QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(what));
        } else if (!qobject_cast<QLineEdit*>(widget)) {
            QVERIFY2(
                metrics.horizontalAdvance(caption) <= place.width(), qPrintable(what + " cut off"));
            QVERIFY2(metrics.height() <= widget->height(), qPrintable(what + " cut off below"));
        }
        // Drawn: some pixels where the caption goes stand out from the
        // background, by at least half the distance of the two colours.
        const auto [background, foreground] = Colours(widget);
        QVERIFY2(Distance(background, foreground) >= 250, qPrintable(what + " hard to read"));
        const QRect onImage(widget->mapTo(window, place.topLeft()) * ratio, place.size() * ratio);
        bool visible = false;
        for (int y = onImage.top(); y <= onImage.bottom() && !visible; ++y) {
            for (int x = onImage.left(); x <= onImage.right() && !visible; ++x)
                visible = Distance(image.pixelColor(x, y), background) * 2
                    >= Distance(foreground, background);
        }
        QVERIFY2(visible, qPrintable(what + " not to be seen"));
    }
    QVERIFY(captions >= 3);

    // What is drawn rather than written holds too: no slab of another
    // palette, no square behind the emblem, ticks that show, cells whole.
    const auto pixel = [&](QWidget* widget, QPoint at) {
        return image.pixelColor(widget->mapTo(window, at) * ratio);
    };
    // The page's own colour, just outside a control.
    const auto behind = [&](QWidget* widget) { return pixel(widget, {-3, widget->height() / 2}); };
    for (QLabel* emblem : surface->findChildren<QLabel*>()) {
        if (!emblem->pixmap().isNull())
            QVERIFY2(Distance(pixel(emblem, emblem->contentsRect().topLeft() + QPoint(1, 1)),
                         behind(emblem))
                    < 30,
                "the emblem sits on a square of its own");
    }
    for (QSlider* slider : surface->findChildren<QSlider*>()) {
        int strongest = 0; // the ticks, right of the groove
        for (int y = 0; y < slider->height(); ++y)
            strongest = std::max(
                strongest, Distance(pixel(slider, {slider->width() - 3, y}), behind(slider)));
        QVERIFY2(strongest >= 150, "the slider's ticks are faint");
    }
    for (tk::TempoChart* chart : surface->findChildren<tk::TempoChart*>()) {
        // Room for its labels at this font, and lines and labels that stand
        // out from the window's colour.
        QVERIFY2(chart->width() >= chart->minimumSizeHint().width()
                && chart->height() >= chart->minimumSizeHint().height(),
            "the chart is squeezed");
        const QColor background = chart->palette().color(QPalette::Window);
        const int needed = Distance(chart->palette().color(QPalette::WindowText), background) / 2;
        int standing = 0;
        for (int y = 0; y < chart->height(); ++y) {
            for (int x = 0; x < chart->width(); ++x)
                standing += Distance(pixel(chart, {x, y}), background) >= needed;
        }
        QVERIFY2(standing > chart->width(), "the chart is faint");
    }
    for (QTreeWidget* list : surface->findChildren<QTreeWidget*>()) {
        // The rows on the window's colour of the palette in use.
        QVERIFY2(Distance(pixel(list->viewport(), {list->viewport()->width() - 2, 2}),
                     window->palette().color(QPalette::Window))
                < 30,
            "the list is a slab of another palette");
        // A label edited wider than any at the start still fits its column.
        static_cast<tk::ListView&>(*list).SetItemText(0, 0, QStringLiteral("12.125"));
        const QFontMetrics metrics(list->font());
        for (int column = 0; column < list->columnCount(); ++column) {
            for (int row = 0; row < list->topLevelItemCount(); ++row) {
                const QString text = list->topLevelItem(row)->text(column);
                QVERIFY2(metrics.horizontalAdvance(text)
                            + 2 * list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin)
                        < list->columnWidth(column),
                    qPrintable(QStringLiteral("'%1' cut off in its column").arg(text)));
            }
        }
    }
}

QTEST_MAIN(TestLegibility)
#include "test_legibility.moc"
