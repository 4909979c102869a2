#include "res/resource.h"
#include "support/fakes.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/slider.h"

#include <QtTest>

namespace {

// The Song Length page, driven keystroke by keystroke with real focus changes.
struct SongLengthPage : PageDriver {
    SongLengthPage()
        : PageDriver(2)
    {
    }

    // Clicks into the field, selects its text and types over it; returns what
    // the watched field shows after each keystroke.
    QStringList Type(int id, const QString& text, int watched = -1)
    {
        tk::Edit& edit = page.EditControl(id);
        QTest::mouseClick(&edit, Qt::LeftButton);
        edit.selectAll();
        QStringList seen;
        if (text.isEmpty())
            QTest::keyClick(&edit, Qt::Key_Delete);
        for (QChar c : text) {
            QTest::keyClick(&edit, c.toLatin1());
            if (watched >= 0)
                seen << Text(watched);
        }
        return seen;
    }

    QString Count(FakeClock& clock, qint64 now)
    {
        clock.now = now;
        Click(IDC_COUNT);
        return Text(IDC_SONG_BARS);
    }
};

} // namespace

class TestSongLengthPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void startsWithPlaceholdersIn44();
    void timeFromBarsKeystrokeByKeystroke();
    void barsFromTime();
    void tempoFromBothLengths();
    void zeroTimeDerivesNoTempo();
    void typedTempoRederivesTimeOnly();
    void signatureRewritesBarsOnly();
    void leavingAndResetClearLengths();
    void countFirstAndSecondPress();
    void countPause_data();
    void countPause();
    void countMeasuresAfterFiveSeconds();
    void countInOtherSignatures();
    void countContinuesFromTypedTotal();
    void countStopsAtLargestTotal();
};

void TestSongLengthPage::startsWithPlaceholdersIn44()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("120"));
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("0:0"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:00"));
    QVERIFY(song.page.IsDlgButtonChecked(IDC_SIG_4_4));
    // With both placeholders in place a time derives a tempo, from 0 beats: nothing.
    song.Type(IDC_SONG_TIME, "1:00");
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("120"));
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("0:0"));
}

void TestSongLengthPage::timeFromBarsKeystrokeByKeystroke()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Type(IDC_SONG_TIME, "");
    const QStringList times = song.Type(IDC_SONG_BARS, "2:4", IDC_SONG_TIME);
    QCOMPARE(times, (QStringList {"00:00:01", "00:00:04", "00:00:06"}));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("120"));
}

void TestSongLengthPage::barsFromTime()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Type(IDC_SONG_BARS, "");
    const QStringList bars = song.Type(IDC_SONG_TIME, "1:00", IDC_SONG_BARS);
    QCOMPARE(bars, (QStringList {"0:2", "29:4", "29:4", "29:4"}));
}

void TestSongLengthPage::tempoFromBothLengths()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Click(IDC_RESET); // 140, shared too
    song.Type(IDC_SONG_BARS, "");
    song.Type(IDC_SONG_TIME, "2:00");
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("69:4"));
    const QStringList tempos = song.Type(IDC_SONG_BARS, "60:0", IDC_TEMPO);
    // A lone number is a beat, at most a bar's worth: 6 and 60 are 4 beats.
    QCOMPARE(tempos, (QStringList {"2", "2", "120", "120"}));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("2:00")); // not rewritten
    QCOMPARE(song.Shared(), QStringLiteral("120"));
    QCOMPARE(song.page.SliderControl(IDC_TEMPO_SLIDER).GetPos(), 240);
}

void TestSongLengthPage::zeroTimeDerivesNoTempo()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    // Beats typed over the bars placeholder with "00:00:00" in the time: an
    // endless tempo is not passed off as one.
    song.Type(IDC_SONG_BARS, "8");
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("120"));
    QCOMPARE(song.Shared(), QStringLiteral("120"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:00"));
}

void TestSongLengthPage::typedTempoRederivesTimeOnly()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "2:4");
    const QStringList times = song.Type(IDC_TEMPO, "60", IDC_SONG_TIME);
    QCOMPARE(times, (QStringList {"00:02:00", "00:00:12"}));
    QCOMPARE(song.Shared(), QStringLiteral("120"));
    QCOMPARE(QString::fromStdString(song.harness.ShowPage(0).GetDlgItemText(IDC_TEMPO)),
        QStringLiteral("120"));
    // A negative tempo gives a negative time, shown with its sign.
    song.harness.ShowPage(2);
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "2:4");
    song.Type(IDC_TEMPO, "-120");
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("-00:00:06"));
}

void TestSongLengthPage::signatureRewritesBarsOnly()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "3:2");
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:07"));
    song.Click(IDC_SIG_3_4);
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("4:2"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:07"));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("120"));
}

void TestSongLengthPage::leavingAndResetClearLengths()
{
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Click(IDC_SIG_6_8);
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "2:1");
    // Left with the time field focused and shown again at another tempo:
    // the page's own writes while it is shown derive no tempo.
    QTest::mouseClick(song.page.GetDlgItem(IDC_SONG_TIME), Qt::LeftButton);
    TypeOver(song.harness.ShowPage(0).EditControl(IDC_TEMPO), "100");
    song.harness.ShowPage(2);
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("100"));
    QCOMPARE(song.Shared(), QStringLiteral("100"));
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("0:0"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:00"));
    QVERIFY(song.page.IsDlgButtonChecked(IDC_SIG_6_8));
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "2:1");
    song.Click(IDC_RESET);
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("140"));
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("0:0"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:00"));
    QVERIFY(song.page.IsDlgButtonChecked(IDC_SIG_6_8));
    QCOMPARE(song.Shared(), QStringLiteral("140"));
}

void TestSongLengthPage::countFirstAndSecondPress()
{
    FakeClock clock;
    RecordingTone tone;
    SongLengthPage song;
    QVERIFY(song.Show());
    QCOMPARE(song.Count(clock, 100000), QStringLiteral("0:1"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:00"));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("120")); // the edit waits for a second beat
    QCOMPARE(song.Shared(), QStringLiteral("0"));
    QCOMPARE(song.Count(clock, 100500), QStringLiteral("0:2"));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("0"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:00"));
    QVERIFY(tone.beeps.isEmpty());
}

void TestSongLengthPage::countPause_data()
{
    QTest::addColumn<qint64>("gap");
    QTest::addColumn<QString>("bars");
    QTest::addColumn<int>("beeps");

    QTest::newRow("2999 ms continues") << qint64(2999) << "0:3" << 0;
    QTest::newRow("3000 ms starts anew") << qint64(3000) << "0:1" << 1;
}

void TestSongLengthPage::countPause()
{
    QFETCH(qint64, gap);
    QFETCH(QString, bars);
    QFETCH(int, beeps);

    FakeClock clock;
    RecordingTone tone;
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Count(clock, 1000);
    song.Count(clock, 1500);
    QCOMPARE(song.Count(clock, 1500 + gap), bars);
    QCOMPARE(tone.beeps.size(), beeps);
    if (beeps)
        QCOMPARE(tone.beeps.first(), qMakePair(512, 75));
}

void TestSongLengthPage::countMeasuresAfterFiveSeconds()
{
    FakeClock clock;
    RecordingTone tone;
    SongLengthPage song;
    QVERIFY(song.Show());
    for (int beat = 0; beat < 11; ++beat)
        song.Count(clock, 1000 + 500 * beat);
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("0"));
    QCOMPARE(song.Count(clock, 6001), QStringLiteral("2:4"));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("144"));
    QCOMPARE(song.Shared(), QStringLiteral("144"));
    QCOMPARE(song.Text(IDC_SONG_TIME), QStringLiteral("00:00:05"));
    QCOMPARE(song.page.SliderControl(IDC_TEMPO_SLIDER).GetPos(), 216);
    // A measured tempo beyond the slider's range is still used.
    for (int beat = 0; beat < 59; ++beat)
        song.Count(clock, 6100 + 10 * beat);
    const int slider = song.page.SliderControl(IDC_TEMPO_SLIDER).GetPos();
    song.Count(clock, 6700);
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("864"));
    QCOMPARE(song.Shared(), QStringLiteral("864"));
    QCOMPARE(song.page.SliderControl(IDC_TEMPO_SLIDER).GetPos(), slider);
}

void TestSongLengthPage::countInOtherSignatures()
{
    FakeClock clock;
    RecordingTone tone;
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Click(IDC_SIG_3_4);
    QStringList bars;
    for (int beat = 0; beat < 4; ++beat)
        bars << song.Count(clock, 1000 + 400 * beat);
    QCOMPARE(bars.last(), QStringLiteral("1:1"));
    song.Click(IDC_SIG_4_4);
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("0:4"));
    song.Click(IDC_SIG_7_8);
    QCOMPARE(song.Text(IDC_SONG_BARS), QStringLiteral("0:4"));
    for (int beat = 4; beat < 7; ++beat)
        bars << song.Count(clock, 1000 + 400 * beat);
    QCOMPARE(bars.last(), QStringLiteral("0:7"));
}

void TestSongLengthPage::countContinuesFromTypedTotal()
{
    FakeClock clock;
    RecordingTone tone;
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "2:1");
    QCOMPARE(song.Count(clock, 1000), QStringLiteral("2:2"));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("0"));
    // Reset zeroes the total but the count goes on from its first beat.
    song.Click(IDC_RESET);
    QCOMPARE(song.Count(clock, 2000), QStringLiteral("0:1"));
    QCOMPARE(song.Text(IDC_TEMPO), QStringLiteral("140"));
    QVERIFY(tone.beeps.isEmpty());
}

void TestSongLengthPage::countStopsAtLargestTotal()
{
    FakeClock clock;
    RecordingTone tone;
    SongLengthPage song;
    QVERIFY(song.Show());
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "99999999999:1");
    song.Click(IDC_SIG_2_4);
    QCOMPARE(song.Count(clock, 1000), QStringLiteral("1073741823:1"));
    QCOMPARE(song.Count(clock, 1500), QStringLiteral("1073741823:1"));
}

QTEST_MAIN(TestSongLengthPage)
#include "test_songlengthpage.moc"
