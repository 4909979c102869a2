#include "res/resource.h"
#include "support/fakes.h"
#include "support/pulseserver.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/tone.h"

#include <QtTest>

#include <chrono>
#include <cmath>
#include <future>
#include <thread>

namespace {

// The loud stretch of a recording: how long it lasts, its pitch and peak.
struct Sound {
    double seconds = 0;
    double hertz = 0;
    float peak = 0;
};

Sound LoudStretch(const std::vector<float>& samples)
{
    constexpr float kLoud = 0.05f;
    const auto isLoud = [](float sample) { return std::abs(sample) > kLoud; };
    const auto first = std::find_if(samples.begin(), samples.end(), isLoud);
    if (first == samples.end())
        return {};
    const auto last = std::find_if(samples.rbegin(), samples.rend(), isLoud).base();
    Sound sound;
    sound.seconds = double(last - first) / PulseServer::kRate;
    int crossings = 0;
    for (auto it = first + 1; it != last; ++it) {
        crossings += (*(it - 1) < 0) != (*it < 0) ? 1 : 0;
        sound.peak = std::max(sound.peak, std::abs(*it));
    }
    sound.hertz = crossings / 2.0 / sound.seconds;
    return sound;
}

// Presses a page's button with event times from the window system, each
// handled at once; the clock and the event times share their zero point.
void PressAt(FakeClock& clock, QWidget* button, qint64 time)
{
    clock.now = time;
    ClickAt(button, quint64(time));
    QTest::qWait(10); // the tone plays on while the next presses come
}

} // namespace

// The tap tone and the tap timing against a real sound server.
class TestSoundServer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_server.Stop(); }

    void pauseInTappingSoundsTheTone();
    void seriesAfterPauseKeepsTheTempo_data();
    void seriesAfterPauseKeepsTheTempo();
    // Last: its tones sound once the server answers again, into any recording.
    void beepReturnsWhileTheServerDoesNotAnswer();

private:
    PulseServer m_server;
};

void TestSoundServer::initTestCase()
{
    PrepareWidgetTests();
    const QString failure = m_server.Start();
    if (!failure.isEmpty())
        QSKIP(qPrintable("no sound server: " + failure));
}

void TestSoundServer::pauseInTappingSoundsTheTone()
{
    FakeClock clock;
    PageDriver simple(0);
    QVERIFY(simple.Show());
    QWidget* tap = simple.page.GetDlgItem(IDC_TAP_TEMPO);
    PressAt(clock, tap, 1000);
    QVERIFY(m_server.StartRecording());
    PressAt(clock, tap, 9000);
    const Sound tone = LoudStretch(m_server.StopRecording(500));
    QVERIFY2(
        tone.seconds > 0.065 && tone.seconds < 0.080, qPrintable(QString::number(tone.seconds)));
    QVERIFY2(std::abs(tone.hertz - 512) < 10, qPrintable(QString::number(tone.hertz)));
    QVERIFY(tone.peak > 0.4f);
}

void TestSoundServer::seriesAfterPauseKeepsTheTempo_data()
{
    QTest::addColumn<int>("pageIndex");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("interval");
    QTest::addColumn<QString>("tempo");

    QTest::newRow("Tap Tempo, 8 presses 500 ms apart") << 0 << IDC_TAP_TEMPO << 8 << 500 << "120";
    QTest::newRow("Tap Tempo, 8 presses 200 ms apart") << 0 << IDC_TAP_TEMPO << 8 << 200 << "300";
    QTest::newRow("Tap Tempo, 4 presses 400 ms apart") << 0 << IDC_TAP_TEMPO << 4 << 400 << "150";
    // Twelve beats over 5.5 s count as 5 whole seconds: 60 / 5 x 12.
    QTest::newRow("Count, 12 presses 500 ms apart") << 2 << IDC_COUNT << 12 << 500 << "144";
}

void TestSoundServer::seriesAfterPauseKeepsTheTempo()
{
    QFETCH(int, pageIndex);
    QFETCH(int, button);
    QFETCH(int, presses);
    QFETCH(int, interval);
    QFETCH(QString, tempo);

    FakeClock clock;
    PageDriver page(pageIndex);
    QVERIFY(page.Show());
    QWidget* pressed = page.page.GetDlgItem(button);
    // A first series, then a pause that the tone announces.
    for (qint64 time : {1000, 1450, 1900, 2350})
        PressAt(clock, pressed, time);
    for (int i = 0; i < presses; ++i)
        PressAt(clock, pressed, 10000 + qint64(interval) * i);
    QCOMPARE(page.Text(IDC_TEMPO), tempo);
}

void TestSoundServer::beepReturnsWhileTheServerDoesNotAnswer()
{
    m_server.Freeze();
    const auto thaw = qScopeGuard([this] { m_server.Thaw(); });
    std::promise<void> returned;
    std::thread watchdog([done = returned.get_future()] {
        if (done.wait_for(std::chrono::seconds(10)) == std::future_status::timeout)
            qFatal("Beep is waiting for a sound server that does not answer");
    });
    tk::CurrentTone().Beep(512, 75);
    tk::CurrentTone().Beep(512, 75); // one that cuts the first short
    returned.set_value();
    watchdog.join();
}

QTEST_MAIN(TestSoundServer)
#include "test_soundserver.moc"
