// Listening for the tempo of what plays, through a private sound server
// that a player plays generated drum songs into.
#include "app/songanalysis.h"
#include "app/songtempofinder.h"
#include "app/tempolistener.h"
#include "res/resource.h"
#include "songcorpus.h"

#include "support/fakes.h"
#include "support/pulseserver.h"
#include "support/sheetharness.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestListen : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }
    void init();
    void cleanup() { m_server.reset(); }
    void tempoOfWhatPlays_data();
    void tempoOfWhatPlays();
    void silenceTypesNothing();
    void listeningEnds_data();
    void listeningEnds();

private:
    QString Status() const { return m_harness->sheet.Status(); }
    CTempoListener& Listener() { return m_harness->sheet.Listener(); }
    QString ShownTempo()
    {
        return QString::fromStdString(m_harness->simple.GetDlgItemText(IDC_TEMPO));
    }
    bool StartListening();
    QPushButton* Button(const QString& text) const;

    QTemporaryDir m_dir;
    std::unique_ptr<PulseServer> m_server;
    std::unique_ptr<SheetHarness> m_harness;
};

void TestListen::init()
{
    m_harness.reset(); // before its server, as a desktop's programs go before their session
    m_server = std::make_unique<PulseServer>();
    if (const QString failure = m_server->Start(); !failure.isEmpty())
        QSKIP(qPrintable("no sound server: " + failure));
    m_harness = std::make_unique<SheetHarness>();
    QVERIFY(m_harness->Show());
}

bool TestListen::StartListening()
{
    m_harness->sheet.Listen();
    // Until the server has it recording.
    return QTest::qWaitFor(
        [this] {
            return m_server->Control({"list", "short", "source-outputs"}).trimmed().size() > 0;
        },
        5000);
}

QPushButton* TestListen::Button(const QString& text) const
{
    for (auto* button : m_harness->sheet.findChildren<QPushButton*>()) {
        if (button->text().remove('&') == text)
            return button;
    }
    return nullptr;
}

void TestListen::tempoOfWhatPlays_data()
{
    QTest::addColumn<double>("bpm");
    QTest::addColumn<int>("pattern");
    QTest::addColumn<double>("seconds"); // of music played
    QTest::addColumn<double>("before"); // the tempo of a song played first, 0 for none
    QTest::addColumn<bool>("mixed"); // into the song before, with no gap: a medley
    const int backbeat = int(corpus::Pattern::Backbeat);
    const int floor = int(corpus::Pattern::FourOnTheFloor);
    QTest::newRow("90, backbeat") << 90.0 << backbeat << 8.0 << 0.0 << false;
    QTest::newRow("128, four on the floor") << 128.0 << floor << 4.0 << 0.0 << false;
    QTest::newRow("174, backbeat") << 174.0 << backbeat << 8.0 << 0.0 << false;
    QTest::newRow("the next song of a playlist") << 128.0 << floor << 6.0 << 90.0 << false;
    QTest::newRow("a medley") << 100.0 << backbeat << 8.0 << 128.0 << true;
}

void TestListen::tempoOfWhatPlays()
{
    QFETCH(double, bpm);
    QFETCH(int, pattern);
    QFETCH(double, seconds);
    QFETCH(double, before);
    QFETCH(bool, mixed);
    QVERIFY(StartListening());
    for (const double tempo : {before, bpm}) {
        if (tempo == 0 || (mixed && tempo == bpm))
            continue;
        corpus::Song song {
            "song", tempo, tempo == bpm ? corpus::Pattern(pattern) : corpus::Pattern::Backbeat};
        song.seconds = tempo == bpm ? seconds : 8;
        if (mixed) { // changing to bpm with no gap, heard for seconds
            song.seconds = 16 + seconds;
            song.stepBpm = bpm;
            song.stepSeconds = 16;
        }
        song.sampleRate = PulseServer::kRate;
        const QString file = m_dir.filePath(QStringLiteral("%1.wav").arg(tempo));
        QVERIFY(corpus::Write(song, file.toStdString()));
        QTest::qWait(tempo == bpm && before > 0 ? 2000 : 0); // the gap between songs
        QVERIFY(m_server->StartPlaying(file));
        QVERIFY(QTest::qWaitFor([this] { return !m_server->Playing(); }, 30000));
    }
    // The next showing after the music has been heard to its end.
    QTest::qWait(700);
    QVERIFY2(std::abs(Listener().Tempo() - bpm) <= 0.01 * bpm, qPrintable(Status()));
    QVERIFY2(Status().startsWith(QStringLiteral("Listening: ")), qPrintable(Status()));
    QVERIFY(Status().contains(SongTempoWords::Typed(Listener().Tempo()) + " bpm"));
    QCOMPARE(ShownTempo(), QStringLiteral("120")); // nothing typed until Use
    QTest::mouseClick(Button("Use"), Qt::LeftButton);
    QCOMPARE(ShownTempo(), SongTempoWords::Typed(Listener().Tempo()));
    Listener().Stop();
}

void TestListen::silenceTypesNothing()
{
    FakeClock clock;
    QVERIFY(StartListening());
    clock.now = CTempoListener::kNoBeatYet;
    QTRY_COMPARE(Status(), QStringLiteral("Listening: no beat yet"));
    QCOMPARE(Listener().Tempo(), 0.0);
    QVERIFY(!Button("Use")->isEnabled());
    // Two minutes of it end by themselves.
    clock.now = CTempoListener::kLongest;
    QTRY_VERIFY(!Listener().IsListening());
    QCOMPARE(Status(), QStringLiteral("Listened for 2 minutes: no beat was heard."));
    QCOMPARE(ShownTempo(), QStringLiteral("120"));
}

void TestListen::listeningEnds_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("status");
    QTest::newRow("Stop") << "stop"
                          << "Stopped listening.";
    QTest::newRow("Escape") << "escape"
                            << "Stopped listening.";
    QTest::newRow("server killed") << "kill"
                                   << "Listening stopped: the sound server went away.";
    QTest::newRow("sink taken away") << "unload"
                                     << "Listening stopped: the sound went away.";
    QTest::newRow("no server") << "none"
                               << "Cannot listen: no sound server is running.";
}

void TestListen::listeningEnds()
{
    QFETCH(QString, how);
    QFETCH(QString, status);
    if (how == "none") {
        m_server->Stop();
        m_harness->sheet.Listen();
    } else {
        QVERIFY(StartListening());
        if (how == "stop")
            QTest::mouseClick(Button("Stop"), Qt::LeftButton);
        else if (how == "escape")
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else if (how == "kill")
            m_server->Kill();
        else
            QVERIFY(!m_server->Control({"unload-module", "module-null-sink"}).isNull());
    }
    QTRY_VERIFY(!Listener().IsListening());
    QCOMPARE(Status(), status);
    QVERIFY(m_harness->sheet.isVisible()); // Escape stopped listening, not the sheet
    QCOMPARE(ShownTempo(), QStringLiteral("120"));
    // And it listens again.
    if (how == "stop" || how == "escape")
        QVERIFY(StartListening());
}

QTEST_MAIN(TestListen)
#include "test_listen.moc"
