// MIDI clock out and in through a real JACK server (the dummy driver, under
// a name of the test's own), with a probe client that records every byte
// at its frame and sends clocks at frames of its own plan.
#include "app/midiclocksync.h"
#include "res/resource.h"
#include "support/jackprobe.h"
#include "support/sheetharness.h"
#include "support/uitest.h"

#include <QStandardPaths>
#include <QtTest>

#include <cmath>

namespace {

using Frames = std::vector<std::uint64_t>;

// Frames of a steady clock at bpm for seconds, from frame 0.
Frames Steady(double bpm, double seconds, std::uint64_t from = 0)
{
    const double interval = JackServer::kRate * 60.0 / (24 * bpm);
    Frames frames;
    for (double at = 0; at < seconds * JackServer::kRate; at += interval)
        frames.push_back(from + std::uint64_t(std::llround(at)));
    return frames;
}

std::vector<std::uint64_t> Clocks(const std::vector<JackProbe::Byte>& heard)
{
    std::vector<std::uint64_t> clocks;
    for (const JackProbe::Byte& byte : heard) {
        if (byte.message == 0xF8)
            clocks.push_back(byte.frame);
    }
    return clocks;
}

} // namespace

class TestMidiClock : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void clockKeepsRateAndFrames_data();
    void clockKeepsRateAndFrames();
    void changeAndStartTakeTheNextClock();
    void followsAClockIn_data();
    void followsAClockIn();
    void endsWithItsReason();

private:
    // A server with this period, a probe on it and a sheet at this tempo.
    void Begin(int period, const QString& tempo);
    CMidiClockSync& Clock() { return m_driver->harness.sheet.MidiClock(); }
    QString Status() { return m_driver->harness.sheet.Status(); }

    std::unique_ptr<JackServer> m_server;
    std::unique_ptr<JackProbe> m_probe;
    std::unique_ptr<PageDriver> m_driver;
};

void TestMidiClock::initTestCase()
{
    PrepareWidgetTests();
    QStandardPaths::setTestModeEnabled(true); // the port chosen is kept apart
}

void TestMidiClock::init()
{
    m_server = std::make_unique<JackServer>();
}

void TestMidiClock::cleanup()
{
    m_driver.reset();
    m_probe.reset();
    m_server.reset();
}

void TestMidiClock::Begin(int period, const QString& tempo)
{
    if (const QString why = m_server->Start(period); !why.isEmpty())
        QSKIP(qPrintable(why));
    m_probe = std::make_unique<JackProbe>();
    QVERIFY(m_probe->IsOpen());
    m_driver = std::make_unique<PageDriver>(0);
    QVERIFY(m_driver->Show());
    m_driver->Type(IDC_TEMPO, tempo);
    QTRY_COMPARE(m_driver->Shared(), tempo);
}

void TestMidiClock::clockKeepsRateAndFrames_data()
{
    QTest::addColumn<int>("period");
    QTest::addColumn<QString>("tempo");
    QTest::newRow("20 bpm, 64 frames") << 64 << "20";
    QTest::newRow("120 bpm, 256 frames") << 256 << "120";
    QTest::newRow("333 bpm, 1024 frames") << 1024 << "333";
    QTest::newRow("999 bpm, 2048 frames") << 2048 << "999";
}

void TestMidiClock::clockKeepsRateAndFrames()
{
    QFETCH(int, period);
    QFETCH(QString, tempo);
    Begin(period, tempo);
    // A cycle the server misses under load loses bytes: that run is not the clock's.
    for (int run = 0; run < 3 && (run == 0 || m_probe->Xruns() > 0); ++run) {
        m_probe->Clear();
        Clock().SetOn(true, QStringLiteral("probe:in"));
        QVERIFY2(Clock().IsOn(), qPrintable(Status()));
        QCOMPARE(Clock().Port(), QStringLiteral("probe:in"));
        QTest::qWait(2500);
        Clock().SetOn(false);
    }
    if (m_probe->Xruns() > 0)
        QSKIP("the JACK server missed cycles on every run: too loaded a machine");
    const auto clocks = Clocks(m_probe->Heard());
    QVERIFY2(clocks.size() > 16, qPrintable(QString::number(clocks.size())));
    const double ideal = JackServer::kRate * 60 / (24 * tempo.toDouble());
    const double mean = double(clocks.back() - clocks.front()) / double(clocks.size() - 1);
    QVERIFY2(std::abs(mean / ideal - 1) < 1e-4, qPrintable(QString::number(mean)));
    // Each at its own frame, on the grid from the first: never at a cycle's start.
    for (size_t k = 0; k < clocks.size(); ++k) {
        const double off = double(clocks[k]) - (double(clocks[0]) + double(k) * ideal);
        QVERIFY2(
            std::abs(off) <= 1, qPrintable(QStringLiteral("clock %1 off by %2").arg(k).arg(off)));
    }
}

void TestMidiClock::changeAndStartTakeTheNextClock()
{
    const int period = 512;
    Begin(period, QStringLiteral("120"));
    Clock().SetOn(true, QStringLiteral("probe:in"));
    QTest::qWait(300);
    const std::uint64_t pressed = m_probe->Now();
    QTest::keyClick(&m_driver->page.EditControl(IDC_TEMPO), Qt::Key_Up); // a step goes at once
    QTest::keyClick(&m_driver->harness.sheet, Qt::Key_A, Qt::AltModifier); // St&art
    QTest::qWait(300);
    QTest::keyClick(&m_driver->harness.sheet, Qt::Key_O, Qt::AltModifier); // St&op
    QTest::qWait(100);
    const auto heard = m_probe->Heard();
    const double before = JackServer::kRate * 60 / (24 * 120.0), after = before * 120 / 121;
    std::vector<std::uint8_t> others;
    std::uint64_t last = 0;
    for (size_t i = 0; i < heard.size(); ++i) {
        if (heard[i].message != 0xF8) {
            others.push_back(heard[i].message);
            // Start goes with a clock, the first beat; Stop needs none.
            QVERIFY(heard[i].message != 0xFA
                || (i + 1 < heard.size() && heard[i + 1].frame == heard[i].frame));
            continue;
        }
        // The old interval or the new, and the new from the first cycle after the step.
        const double interval = double(heard[i].frame - last);
        QVERIFY2(last == 0 || std::abs(interval - after) <= 1
                || (last <= pressed + 2 * period && std::abs(interval - before) <= 1),
            qPrintable(QString::number(interval)));
        last = heard[i].frame;
    }
    QCOMPARE(others, (std::vector<std::uint8_t> {0xFA, 0xFC}));
}

void TestMidiClock::followsAClockIn_data()
{
    QTest::addColumn<Frames>("plan");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("said");
    QTest::newRow("steady") << Steady(132.5, 2.5) << "132.5"
                            << ": 132.5 bpm";
    Frames lost = Steady(132.5, 2.5); // as a missed audio cycle loses them
    for (size_t k = lost.size() - 3; k > 0; k -= std::min<size_t>(k, 17))
        lost.erase(lost.begin() + std::ptrdiff_t(k));
    QTest::newRow("clocks lost") << lost << "132.5"
                                 << ": 132.5 bpm";
    Frames burst;
    for (std::uint64_t frame = 0; frame < 2 * JackServer::kRate; frame += 3)
        burst.push_back(frame);
    QTest::newRow("a burst") << burst << "120"
                             << "unsteady";
    Frames two = Steady(120, 2.5), other = Steady(97, 2.5, 301);
    two.insert(two.end(), other.begin(), other.end());
    std::sort(two.begin(), two.end());
    QTest::newRow("two masters") << two << "120"
                                 << "unsteady";
}

void TestMidiClock::followsAClockIn()
{
    QFETCH(Frames, plan);
    QFETCH(QString, tempo);
    QFETCH(QString, said);
    Begin(256, QStringLiteral("120"));
    Clock().SetFollowing(true);
    QVERIFY(Clock().IsFollowing());
    m_probe->Send(plan);
    // Told while the two seconds of clock play, however loaded the machine.
    QTRY_VERIFY2_WITH_TIMEOUT(
        Status().startsWith("Following MIDI clock from probe:out") && Status().contains(said),
        qPrintable(Status()), 2000);
    QTRY_COMPARE(m_driver->Shared(), tempo);
    // Silence for a second is a clock stopped.
    QTRY_VERIFY_WITH_TIMEOUT(Status().endsWith("the clock stopped"), 5000);
    QCOMPARE(m_driver->Shared(), tempo);
}

void TestMidiClock::endsWithItsReason()
{
    Begin(256, QStringLiteral("120"));
    // Out of what MIDI clock carries: refused, and said why.
    m_driver->Type(IDC_TEMPO, QStringLiteral("1200"));
    QTRY_COMPARE(m_driver->Shared(), QStringLiteral("1200"));
    Clock().SetOn(true, QStringLiteral("probe:in"));
    QVERIFY(!Clock().IsOn());
    QCOMPARE(
        Status(), QStringLiteral("MIDI clock: it carries tempos from 20 to 999 bpm, not 1200."));
    m_driver->Type(IDC_TEMPO, QStringLiteral("120"));
    QTRY_COMPARE(m_driver->Shared(), QStringLiteral("120"));

    // The port driven goes away.
    Clock().SetOn(true, QStringLiteral("probe:in"));
    QVERIFY(Clock().IsOn());
    m_probe->Close();
    QTRY_VERIFY(!Clock().IsOn());
    QCOMPARE(Status(), QStringLiteral("MIDI clock stopped: probe:in went away."));

    // The server quits.
    Clock().SetOn(true);
    Clock().SetFollowing(true);
    QVERIFY(Clock().IsOn());
    m_server->Stop();
    QTRY_VERIFY(!Clock().IsOn() && !Clock().IsFollowing());
    QCOMPARE(Status(), QStringLiteral("MIDI clock stopped: the JACK or PipeWire server quit."));

    // No server: the box stays off.
    Clock().SetOn(true);
    QVERIFY(!Clock().IsOn());
    QCOMPARE(Status(), QStringLiteral("MIDI clock: no JACK or PipeWire server is running."));
}

QTEST_MAIN(TestMidiClock)
#include "test_midiclock.moc"
