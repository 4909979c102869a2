#include "support/probesurface.h"
#include "support/uitest.h"
#include "toolkit/scrollcode.h"
#include "toolkit/slider.h"

#include <QStyleOptionSlider>
#include <QtTest>

namespace {

// A point on the slider's groove, close to its top end.
QPoint GrooveNearTop(const QSlider& slider)
{
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.subControls = QStyle::SC_All;
    option.orientation = slider.orientation();
    option.minimum = slider.minimum();
    option.maximum = slider.maximum();
    option.sliderPosition = slider.sliderPosition();
    option.sliderValue = slider.value();
    option.upsideDown = !slider.invertedAppearance();
    option.tickPosition = slider.tickPosition();
    option.tickInterval = slider.tickInterval();
    const QRect groove = slider.style()->subControlRect(
        QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, &slider);
    return QPoint(groove.center().x(), groove.top() + groove.height() / 10);
}

} // namespace

class TestSlider : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void programMovesAreSilentAndClamped_data();
    void programMovesAreSilentAndClamped();
    void keysReportScrollCodes_data();
    void keysReportScrollCodes();
    void wheelAndDragReport();
    void topIsTheMinimum();

private:
    static void Prepare(ProbeSurface& surface, int position);
};

void TestSlider::Prepare(ProbeSurface& surface, int position)
{
    tk::Slider& slider = surface.SliderControl(probe::kSlider);
    slider.SetRange(10, 350);
    slider.SetLineSize(1);
    slider.SetPageSize(10);
    slider.SetTicFreq(20);
    slider.SetPos(position);
    surface.log.clear();
}

void TestSlider::programMovesAreSilentAndClamped_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("position");

    QTest::newRow("240") << 240 << 240;
    QTest::newRow("below range") << 3 << 10;
    QTest::newRow("above range") << 400 << 350;
}

void TestSlider::programMovesAreSilentAndClamped()
{
    QFETCH(int, requested);
    QFETCH(int, position);

    ProbeSurface surface;
    Prepare(surface, 100);
    surface.SliderControl(probe::kSlider).SetPos(requested);
    QCOMPARE(surface.SliderControl(probe::kSlider).GetPos(), position);
    QVERIFY2(surface.log.isEmpty(), qPrintable(surface.log.join("; ")));
}

void TestSlider::keysReportScrollCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Up") << int(Qt::Key_Up) << "vscroll 0 239 Level";
    QTest::newRow("Down") << int(Qt::Key_Down) << "vscroll 1 241 Level";
    QTest::newRow("Page Up") << int(Qt::Key_PageUp) << "vscroll 2 230 Level";
    QTest::newRow("Page Down") << int(Qt::Key_PageDown) << "vscroll 3 250 Level";
    QTest::newRow("Home") << int(Qt::Key_Home) << "vscroll 6 10 Level";
    QTest::newRow("End") << int(Qt::Key_End) << "vscroll 7 350 Level";
}

void TestSlider::keysReportScrollCodes()
{
    QFETCH(int, key);
    QFETCH(QString, expected);

    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    Prepare(surface, 240);
    QTest::keyClick(surface.GetDlgItem(probe::kSlider), Qt::Key(key));
    QCOMPARE(surface.log, QStringList {expected});
}

void TestSlider::wheelAndDragReport()
{
    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    Prepare(surface, 240);
    tk::Slider& slider = surface.SliderControl(probe::kSlider);

    // Turning the wheel away from the user moves the thumb up.
    const QPointF centre = QRectF(slider.rect()).center();
    QWheelEvent wheel(centre, slider.mapToGlobal(centre), QPoint(), QPoint(0, 120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&slider, &wheel);
    QVERIFY(slider.GetPos() < 240);
    QCOMPARE(surface.log.size(), 1);
    QVERIFY(surface.log.first().startsWith("vscroll 5 "));

    // Dragging reports each move, and the release.
    surface.log.clear();
    slider.setSliderDown(true);
    slider.setSliderPosition(200);
    slider.setSliderDown(false);
    QCOMPARE(surface.log,
        (QStringList {"vscroll 5 200 Level", "vscroll 4 200 Level", "vscroll 8 200 Level"}));
}

void TestSlider::topIsTheMinimum()
{
    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    Prepare(surface, 240);
    tk::Slider& slider = surface.SliderControl(probe::kSlider);
    // A click near the top pages toward the minimum.
    QTest::mouseClick(&slider, Qt::LeftButton, {}, GrooveNearTop(slider));
    QVERIFY2(!surface.log.isEmpty() && slider.GetPos() < 240, qPrintable(surface.log.join("; ")));
}

QTEST_MAIN(TestSlider)
#include "test_slider.moc"
