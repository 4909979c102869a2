#include "calc/delays.h"
#include "res/resource.h"
#include "support/fakes.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/listbox.h"
#include "toolkit/slider.h"

#include <QToolButton>
#include <QtTest>

namespace {

struct SimplePage : PageDriver {
    SimplePage()
        : PageDriver(0)
    {
    }

    void ChooseLength(int index)
    {
        tk::ListBox& list = page.ListBoxControl(IDC_LENGTH_LIST);
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(&list, Qt::Key_Down);
    }
};

} // namespace

class TestSimplePage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void startsAt120AndResetsTo140();
    void delays_data();
    void delays();
    void typedTempos_data();
    void typedTempos();
    void emptyOrZeroCycles_data();
    void emptyOrZeroCycles();
    void cyclesUpDownRewritesTempoFromSlider();
    void taps_data();
    void taps();
    void lateHandlersKeepPressTimes_data();
    void lateHandlersKeepPressTimes();
    void tapSeriesSurvivesReset();
    void spaceTapsOncePerKeyPress();
};

void TestSimplePage::startsAt120AndResetsTo140()
{
    SimplePage simple;
    QVERIFY(simple.Show());
    QStringList lengths;
    tk::ListBox& list = simple.page.ListBoxControl(IDC_LENGTH_LIST);
    for (int i = 0; i < list.count(); ++i)
        lengths << list.item(i)->text();
    QCOMPARE(lengths,
        (QStringList {"1 beat", "1/2 beat", "1/3 beat", "1/4 beat", "2 beats", "3 beats", "4 beats",
            "5 beats", "6 beats", "8 beats", "2/3 beat", "3/4 beat", "4/3 beat", "5/4 beat"}));
    QCOMPARE(list.GetCurSel(), 0);
    QCOMPARE(simple.Text(IDC_DELAY), QStringLiteral("500"));
    QCOMPARE(simple.Text(IDC_CYCLES), QStringLiteral("4"));
    QCOMPARE(simple.Text(IDC_FREQUENCY), QStringLiteral("8"));

    simple.ChooseLength(5);
    simple.Type(IDC_CYCLES, "7");
    simple.Click(IDC_RESET);
    QCOMPARE(list.GetCurSel(), 0);
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("140"));
    QCOMPARE(simple.Text(IDC_DELAY), QStringLiteral("428"));
    QCOMPARE(simple.Text(IDC_CYCLES), QStringLiteral("4"));
    QCOMPARE(simple.Text(IDC_FREQUENCY), QStringLiteral("9.33333"));
    QCOMPARE(simple.Shared(), QStringLiteral("140"));
}

void TestSimplePage::delays_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("delay");

    QTest::newRow("120, 1/3 beat") << "120" << 2 << "166";
    QTest::newRow("120, 2/3 beat") << "120" << 10 << "333";
    QTest::newRow("120, 5/4 beat") << "120" << 13 << "625";
    QTest::newRow("140, 8 beats") << "140" << 9 << "3428";
    QTest::newRow("100, 3 beats") << "100" << 5 << "1799";
    QTest::newRow("10, 4/3 beat") << "10" << 12 << "7999";
}

void TestSimplePage::delays()
{
    QFETCH(QString, tempo);
    QFETCH(int, length);
    QFETCH(QString, delay);

    SimplePage simple;
    QVERIFY(simple.Show());
    simple.ChooseLength(length);
    simple.Type(IDC_TEMPO, tempo);
    QCOMPARE(simple.Text(IDC_DELAY), delay);
    // The same whichever is chosen first.
    simple.Type(IDC_TEMPO, "60");
    simple.Type(IDC_TEMPO, tempo);
    simple.ChooseLength(0);
    simple.ChooseLength(length);
    QCOMPARE(simple.Text(IDC_DELAY), delay);
}

void TestSimplePage::typedTempos_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("delay");
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("shared");
    QTest::addColumn<QString>("otherPageShows");

    QTest::newRow("120.7") << "120.7"
                           << "497"
                           << "8.04667"
                           << "120.7"
                           << "120.7";
    QTest::newRow("abc") << "abc"
                         << "0"
                         << "0"
                         << "120"
                         << "120";
    QTest::newRow("1d2") << "1d2"
                         << "600"
                         << "6.66667"
                         << "1d2"
                         << "1d2";
    QTest::newRow("0.5") << "0.5"
                         << "120000"
                         << "3.33333e-002"
                         << "120"
                         << "120";
    QTest::newRow("-60") << "-60"
                         << "-1000"
                         << "-4"
                         << "120"
                         << "120";
    QTest::newRow("5") << "5"
                       << "12000"
                       << "0.333333"
                       << "5"
                       << "5";
}

void TestSimplePage::typedTempos()
{
    QFETCH(QString, tempo);
    QFETCH(QString, delay);
    QFETCH(QString, frequency);
    QFETCH(QString, shared);
    QFETCH(QString, otherPageShows);

    SimplePage simple;
    QVERIFY(simple.Show());
    simple.Type(IDC_TEMPO, tempo);
    QCOMPARE(simple.Text(IDC_DELAY), delay);
    QCOMPARE(simple.Text(IDC_FREQUENCY), frequency);
    QCOMPARE(simple.Shared(), shared);
    CTempoPage& other = simple.harness.ShowPage(2);
    QCOMPARE(QString::fromStdString(other.GetDlgItemText(IDC_TEMPO)), otherPageShows);
}

void TestSimplePage::emptyOrZeroCycles_data()
{
    QTest::addColumn<QString>("cycles");
    QTest::newRow("empty") << "";
    QTest::newRow("0") << "0";
}

void TestSimplePage::emptyOrZeroCycles()
{
    QFETCH(QString, cycles);

    SimplePage simple;
    QVERIFY(simple.Show());
    simple.ChooseLength(4);
    simple.Type(IDC_CYCLES, cycles);
    QCOMPARE(simple.Text(IDC_FREQUENCY), QStringLiteral("0"));
    QCOMPARE(simple.Text(IDC_DELAY), QStringLiteral("1000"));
}

void TestSimplePage::cyclesUpDownRewritesTempoFromSlider()
{
    SimplePage simple;
    QVERIFY(simple.Show());
    simple.Type(IDC_TEMPO, "120.5");
    QCOMPARE(simple.Text(IDC_DELAY), QStringLiteral("497"));
    auto arrows = simple.page.GetDlgItem(IDC_CYCLES_SPIN)->findChildren<QToolButton*>();
    QTest::mouseClick(arrows.first(), Qt::LeftButton); // up
    QCOMPARE(simple.Text(IDC_CYCLES), QStringLiteral("5"));
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("120"));
    QCOMPARE(simple.Text(IDC_DELAY), QStringLiteral("500"));
    QCOMPARE(simple.Text(IDC_FREQUENCY), QStringLiteral("10"));
}

void TestSimplePage::taps_data()
{
    QTest::addColumn<QList<qint64>>("presses");
    QTest::addColumn<QStringList>("tempos"); // the tempo edit after each press
    QTest::addColumn<int>("slider");
    QTest::addColumn<int>("beeps");

    QTest::newRow("steady 500 ms") << QList<qint64> {1000, 1500, 2000, 2500}
                                   << QStringList {"120", "120", "120", "120"} << 240 << 0;
    QTest::newRow("pause beeps; the press after it starts the series")
        << QList<qint64> {1000, 1700, 5000, 5600, 6200}
        << QStringList {"120", "85.7143", "85.7143", "100", "100"} << 360 - 100 << 1;
    QTest::newRow("172 ms moves the slider")
        << QList<qint64> {1000, 1172} << QStringList {"120", "348.837"} << 360 - 348 << 0;
    QTest::newRow("171 ms leaves the slider")
        << QList<qint64> {1000, 1171} << QStringList {"120", "350.877"} << 240 << 0;
}

void TestSimplePage::taps()
{
    QFETCH(QList<qint64>, presses);
    QFETCH(QStringList, tempos);
    QFETCH(int, slider);
    QFETCH(int, beeps);

    FakeClock clock;
    RecordingTone tone;
    SimplePage simple;
    QVERIFY(simple.Show());
    QStringList shown;
    for (qint64 now : presses) {
        clock.now = now;
        simple.Click(IDC_TAP_TEMPO);
        shown << simple.Text(IDC_TEMPO);
    }
    QCOMPARE(shown, tempos);
    QCOMPARE(simple.page.SliderControl(IDC_TEMPO_SLIDER).GetPos(), slider);
    QCOMPARE(tone.beeps.size(), beeps);
    if (beeps)
        QCOMPARE(tone.beeps.first(), qMakePair(512, 75));
    // The outputs and the shared tempo follow the tapped tempo.
    QCOMPARE(simple.Shared(), tempos.last());
    QCOMPARE(simple.Text(IDC_DELAY),
        QString::fromStdString(calc::DelayText(tempos.last().toStdString(), 0)));
}

void TestSimplePage::lateHandlersKeepPressTimes_data()
{
    QTest::addColumn<quint64>("eventZero"); // the window system's time when the clock reads 0

    QTest::newRow("window system's own zero point") << quint64(123456789);
    QTest::newRow("its 32-bit time wraps after the pause") << quint64(0x100000000 - 5000);
}

void TestSimplePage::lateHandlersKeepPressTimes()
{
    QFETCH(quint64, eventZero);

    // Presses 400 ms apart, a pause, then 500 ms apart; each handled up to
    // 600 ms after the press, as a busy window would.
    const QList<qint64> pressed {1000, 1400, 9000, 9500, 10000, 10500};
    const QList<qint64> handled {1000, 1600, 9600, 9800, 10450, 10590};
    FakeClock clock;
    RecordingTone tone;
    SimplePage simple;
    QVERIFY(simple.Show());
    QStringList shown;
    for (qsizetype i = 0; i < pressed.size(); ++i) {
        clock.now = handled[i];
        ClickAt(simple.page.GetDlgItem(IDC_TAP_TEMPO), quint32(eventZero + quint64(pressed[i])));
        shown << simple.Text(IDC_TEMPO);
    }
    QCOMPARE(shown, QStringList({"120", "150", "150", "120", "120", "120"}));
    QCOMPARE(tone.beeps.size(), 1);
}

void TestSimplePage::tapSeriesSurvivesReset()
{
    FakeClock clock;
    RecordingTone tone;
    SimplePage simple;
    QVERIFY(simple.Show());
    for (qint64 now : {1000, 1500}) {
        clock.now = now;
        simple.Click(IDC_TAP_TEMPO);
    }
    simple.Click(IDC_RESET);
    simple.harness.ShowPage(1);
    simple.harness.ShowPage(0);
    simple.Type(IDC_TEMPO, "90");
    clock.now = 2100;
    simple.Click(IDC_TAP_TEMPO);
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("109.091")); // 0.5 s and 0.6 s
    QVERIFY(tone.beeps.isEmpty());
}

void TestSimplePage::spaceTapsOncePerKeyPress()
{
    FakeClock clock;
    RecordingTone tone;
    SimplePage simple;
    QVERIFY(simple.Show());
    QWidget* tap = simple.page.GetDlgItem(IDC_TAP_TEMPO);
    tap->setFocus();
    const int readingsBefore = clock.readings;
    clock.now = 1000;
    QTest::keyClick(tap, Qt::Key_Space);
    clock.now = 1500;
    QTest::keyPress(tap, Qt::Key_Space);
    for (int i = 0; i < 5; ++i) { // the key held down
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
        QApplication::sendEvent(tap, &repeat);
        QKeyEvent enterRepeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r", true);
        QApplication::sendEvent(tap, &enterRepeat);
    }
    QTest::keyRelease(tap, Qt::Key_Space);
    QCOMPARE(clock.readings - readingsBefore, 2);
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("120"));
}

QTEST_MAIN(TestSimplePage)
#include "test_simplepage.moc"
