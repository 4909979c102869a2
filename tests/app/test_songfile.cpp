// The tempo of a song file dropped on the sheet, found while the sheet stays
// in use and typed into the page shown.
#include "app/songtempofinder.h"
#include "res/resource.h"
#include "songcorpus.h"

#include "support/sheetharness.h"
#include "support/songfiles.h"
#include "support/uitest.h"
#include <sndfile.h>

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestSongFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void droppedFileSetsTheShownTempo_data();
    void droppedFileSetsTheShownTempo();
    void escapeCancelsAndLeavesTheTempo();
    void levelButtonsOfferTheOtherLevels();
    void tempoFromTheCommandLine_data();
    void tempoFromTheCommandLine();

private:
    QTemporaryDir m_dir;
    QString m_song;
};

void TestSongFile::initTestCase()
{
    PrepareWidgetTests();
    m_song = m_dir.filePath("click track.wav");
    QVERIFY(WriteSongFiles(QDir(m_dir.path())));
}

void TestSongFile::droppedFileSetsTheShownTempo_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("shared"); // as typing a tempo on that page leaves it
    QTest::addColumn<QString>("said");

    QTest::newRow("Simple") << 0 << "click track.wav"
                            << "128"
                            << "128"
                            << "128 bpm";
    QTest::newRow("Multi-tap") << 1 << "click track.wav"
                               << "128"
                               << "128"
                               << "128 bpm";
    QTest::newRow("Song Length") << 2 << "click track.wav"
                                 << "128"
                                 << "120"
                                 << "128 bpm";
    QTest::newRow("drifting") << 0 << "live.wav"
                              << "120"
                              << "120"
                              << "(drifts ";
    QTest::newRow("not audio") << 0 << "notes.txt"
                               << "120"
                               << "120"
                               << "not audio";
}

void TestSongFile::droppedFileSetsTheShownTempo()
{
    QFETCH(int, page);
    QFETCH(QString, file);
    QFETCH(QString, tempo);
    QFETCH(QString, shared);
    QFETCH(QString, said);

    PageDriver driver(page);
    QVERIFY(driver.Show());
    // Onto an edit: the file is the sheet's, never text for the edit.
    DropFile(driver.page.GetDlgItem(IDC_TEMPO), m_dir.filePath(file));
    CSongTempoFinder& finder = driver.harness.sheet.SongTempoFinder();
    QVERIFY(finder.IsBusy());
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    if (said.startsWith("(drifts")) { // the median of a live band's tempos
        QVERIFY(std::abs(driver.Text(IDC_TEMPO).toDouble() - 120) < 2.4);
    } else {
        QCOMPARE(driver.Text(IDC_TEMPO), tempo);
        QCOMPARE(driver.Shared(), shared);
    }
    QVERIFY2(
        driver.harness.sheet.Status().contains(said), qPrintable(driver.harness.sheet.Status()));
}

void TestSongFile::escapeCancelsAndLeavesTheTempo()
{
    const QString song = m_dir.filePath("long song.wav");
    corpus::Song longSong {"long", 128, corpus::Pattern::FourOnTheFloor};
    longSong.seconds = 600;
    QVERIFY(corpus::Write(longSong, song.toStdString()));
    PageDriver simple(0);
    QVERIFY(simple.Show());
    DropFile(&simple.page, song);
    QTest::keyClick(&simple.harness.sheet, Qt::Key_Escape);
    CSongTempoFinder& finder = simple.harness.sheet.SongTempoFinder();
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    QVERIFY(simple.harness.sheet.isVisible()); // Escape stopped the analysis, not the sheet
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("120"));
    QCOMPARE(simple.Shared(), QStringLiteral("120"));
    QVERIFY2(simple.harness.sheet.Status().contains("cancelled"),
        qPrintable(simple.harness.sheet.Status()));
}

void TestSongFile::levelButtonsOfferTheOtherLevels()
{
    PageDriver simple(0);
    QVERIFY(simple.Show());
    CSongTempoFinder& finder = simple.harness.sheet.SongTempoFinder();
    const auto named = [&](const char* name) -> QPushButton* {
        for (auto* button : simple.harness.sheet.StatusArea()->findChildren<QPushButton*>()) {
            if (button->accessibleName() == QLatin1String(name))
                return button;
        }
        return nullptr;
    };
    QPushButton *half = named("Half the tempo found"), *twice = named("Double the tempo found");
    QPushButton *third = named("A third of the tempo found"),
                *triple = named("Triple the tempo found");
    QVERIFY(half && twice && third && triple);
    QVERIFY(!half->isVisible() && !twice->isVisible());

    DropFile(&simple.page, m_song);
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    QVERIFY(half->isVisible() && twice->isVisible());
    QTest::keyClick(&simple.harness.sheet, Qt::Key_H, Qt::AltModifier); // its mnemonic
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("64"));
    QCOMPARE(simple.Shared(), QStringLiteral("64"));
    twice->click(); // twice the tempo found, not twice the half
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("256"));

    // The next song takes the offer back, and a cancel leaves it gone.
    DropFile(&simple.page, m_dir.filePath("live.wav"));
    QVERIFY(!half->isVisible() && !twice->isVisible());
    QTest::keyClick(&simple.harness.sheet, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    QVERIFY(!half->isVisible() && !twice->isVisible());
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("256"));

    // Music in threes offers a third and triple too; music in twos does not.
    DropFile(&simple.page, m_dir.filePath("waltz.wav"));
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    QVERIFY2(simple.harness.sheet.Status().endsWith("162 bpm in 3/4"),
        qPrintable(simple.harness.sheet.Status()));
    QVERIFY(half->isVisible() && twice->isVisible() && third->isVisible() && triple->isVisible());
    QTest::keyClick(&simple.harness.sheet, Qt::Key_E, Qt::AltModifier);
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("486"));
    third->click();
    QCOMPARE(simple.Text(IDC_TEMPO), QStringLiteral("54"));
    DropFile(&simple.page, m_song);
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    QVERIFY(half->isVisible() && !third->isVisible() && !triple->isVisible());
}

void TestSongFile::tempoFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("printed"); // a regular expression, line by line
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("outputFile"); // for standard output, if not a pipe

    QTest::newRow("a tempo") << QStringList {"click track.wav"} << "click track.wav: 128.00 bpm\n"
                             << 0 << QString();
    QTest::newRow("in order, one without")
        << QStringList {"backbeat.flac", "chord.wav", "live.wav", "missing.wav"}
        << "backbeat.flac: 84.00 bpm\n"
           "chord.wav: no tempo: No steady beat was found in chord.wav.\n"
           R"(live.wav: 1[12]\d\.\d\d bpm \(drifts \d+\.\d\d to \d+\.\d\d\)\n)"
           "missing.wav: no tempo: missing.wav cannot be read, or it is empty.\n"
        << 1 << QString();
    QTest::newRow("meter and level")
        << QStringList {"waltz.wav", "jig.wav", "shuffle.wav", "ballad.wav", "hymn.wav"}
        << "waltz.wav: 162.00 bpm in 3/4\n"
           "jig.wav: 86.00 bpm in 6/8\n"
           "shuffle.wav: 97.00 bpm\n"
           "ballad.wav: 59.00 bpm\n"
           "hymn.wav: 83.00 bpm\n"
        << 0 << QString();
    QTest::newRow("--range") << QStringList {"--range", "100:200", "ballad.wav", "waltz.wav"}
                             << "ballad.wav: 118.00 bpm\nwaltz.wav: 162.00 bpm in 3/4\n"
                             << 0 << QString();
    QTest::newRow("--range=, down")
        << QStringList {"--range=40:80", "waltz.wav"} << "waltz.wav: 40.50 bpm in 3/4\n"
        << 0 << QString();
    QTest::newRow("--verbose")
        << QStringList {"--verbose", "--", "click track.wav"}
        << R"(click track.wav: 128.00 bpm \(next likeliest \d+\.\d\d bpm, sure [01]\.\d\d\)\n)" << 0
        << QString();
    QTest::newRow("a rate out of reach")
        << QStringList {"high.wav"}
        << "high.wav: no tempo: high.wav is audio at 769000 Hz: Beatwise analyses rates from "
           "4000 to 768000 Hz.\n"
        << 1 << QString();
    QTest::newRow("no file") << QStringList {} << "" << 2 << QString();
    QTest::newRow("a range too narrow")
        << QStringList {"--range", "100:150", "waltz.wav"} << "" << 2 << QString();
    QTest::newRow("a range not a range")
        << QStringList {"--range", "1e999:2e999", "waltz.wav"} << "" << 2 << QString();
    // A script reads a line a file, and learns of every failure.
    QTest::newRow("a line break in a name")
        << QStringList {"two\nlines.wav", "--", "no\nsuch.wav"}
        << R"("two\\nlines.wav": 128.00 bpm\n"no\\nsuch.wav": no tempo: "no\\nsuch.wav" cannot )"
           R"(be read, or it is empty.\n)"
        << 1 << QString();
    QTest::newRow("a damaged MP3, quietly")
        << QStringList {"damaged.mp3"} << "damaged.mp3: 128.00 bpm\n"
        << 0 << QString();
    // Tags: written, then kept, forced in a dry run, and refused by a read-only folder.
    QTest::newRow("tag written") << QStringList {"--write-tags", "tagged.flac"}
                                 << "tagged.flac: 84.00 bpm \\(tag written\\)\n"
                                 << 0 << QString();
    QTest::newRow("tag kept") << QStringList {"--write-tags", "tagged.flac"}
                              << "tagged.flac: 84.00 bpm \\(tag kept: 84.00\\)\n"
                              << 0 << QString();
    QTest::newRow("tags of two files, their lines in the order given")
        << QStringList {"--write-tags", "locked/song.wav", "tagged.flac"}
        << "locked/song.wav: 128.00 bpm \\(tag not written: its folder is read-only\\)\n"
           "tagged.flac: 84.00 bpm \\(tag kept: 84.00\\)\n"
        << 1 << QString();
    QTest::newRow("tag forced, dry run")
        << QStringList {"--write-tags", "--force", "--dry-run", "--range", "100:200", "tagged.flac"}
        << "tagged.flac: 168.00 bpm \\(tag would be written\\)\n"
        << 0 << QString();
    QTest::newRow("tag in a read-only folder")
        << QStringList {"--write-tags", "locked/song.wav"}
        << "locked/song.wav: 128.00 bpm \\(tag not written: its folder is read-only\\)\n"
        << 1 << QString();
    QTest::newRow("a full disk") << QStringList {"click track.wav"} << "" << 1 << "/dev/full";
}

void TestSongFile::cleanupTestCase()
{
    QFile::setPermissions(m_dir.filePath("locked"),
        QFileDevice::ReadOwner | QFileDevice::WriteOwner
            | QFileDevice::ExeOwner); // so that it can go
}

void TestSongFile::tempoFromTheCommandLine()
{
    QFETCH(QStringList, files);
    QFETCH(QString, printed);
    QFETCH(int, status);
    QFETCH(QString, outputFile);

    // No display at all, and a German desktop's decimal comma must not show.
    QProcess beatwise;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(name);
    environment.insert("LC_ALL", "de_DE.UTF-8");
    beatwise.setProcessEnvironment(environment);
    beatwise.setWorkingDirectory(m_dir.path());
    if (!outputFile.isEmpty())
        beatwise.setStandardOutputFile(outputFile);
    beatwise.start(QStringLiteral(BEATWISE_PROGRAM), QStringList {"--tempo"} + files);
    QVERIFY(beatwise.waitForFinished(60000));
    QCOMPARE(beatwise.exitStatus(), QProcess::NormalExit);
    const QString output = QString::fromUtf8(beatwise.readAllStandardOutput());
    QVERIFY2(
        QRegularExpression("\\A" + printed + "\\z").match(output).hasMatch(), qPrintable(output));
    QCOMPARE(beatwise.exitCode(), status);
    const QByteArray error = beatwise.readAllStandardError();
    if (status == 2)
        QVERIFY(error.contains("--tempo"));
    else if (!outputFile.isEmpty())
        QVERIFY2(error.contains("could not be written"), error.constData());
    else
        QVERIFY2(error.isEmpty(), error.constData()); // no decoder's chatter
}

QTEST_MAIN(TestSongFile)
#include "test_songfile.moc"
