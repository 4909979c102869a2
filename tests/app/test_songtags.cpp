// BPM tags written into song files and read back by other programs: every
// format, the keep and force rules, the window's Save to File, a full disk.
#include "app/songtagsaver.h"
#include "app/songtempofinder.h"
#include "songcorpus.h"
#include "support/sheetharness.h"
#include "support/uitest.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What a program printed on its standard output; its status in status.
QString Run(const QString& program, const QStringList& arguments, int* status = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return QStringLiteral("(did not finish)");
    if (status)
        *status = process.exitCode();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Sorted, a line a line of the tags' own.
QStringList Tags(const QString& path)
{
    QStringList lines = Run("/usr/bin/python3", {SONGTAGS_PY, "show", path}).split('\n');
    lines.removeAll(QString());
    lines.sort();
    return lines;
}

// The audio's own bytes, as FFmpeg demuxes them: tags are no part of them.
QString Audio(const QString& path)
{
    return Run(
        "ffmpeg", {"-v", "error", "-i", path, "-map", "0:a", "-c", "copy", "-f", "md5", "-"});
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSongTags : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void everyFormatRoundTrips_data();
    void everyFormatRoundTrips();
    void windowSavesTheTempoShown();
    void fullDiskLeavesTheOriginal();

private:
    QString Made(const QString& name, const QStringList& encoder, const QStringList& tags);

    QTemporaryDir m_dir;
};

void TestSongTags::initTestCase()
{
    PrepareWidgetTests();
    corpus::Song clicks {"clicks", 128, corpus::Pattern::Clicks};
    clicks.seconds = 20;
    QVERIFY(corpus::Write(clicks, m_dir.filePath("clicks.wav").toStdString()));
}

// The clicks at 128 bpm encoded by FFmpeg, tagged by mutagen: a title, an
// artist and whatever else is given.
QString TestSongTags::Made(const QString& name, const QStringList& encoder, const QStringList& tags)
{
    const QString path = m_dir.filePath(name);
    Run("ffmpeg",
        QStringList {"-v", "error", "-y", "-i", m_dir.filePath("clicks.wav")} + encoder
            + QStringList {path});
    Run("/usr/bin/python3",
        QStringList {SONGTAGS_PY, "add", path} + tags + QStringList {"title=Clicks", "artist=Me"});
    return path;
}

void TestSongTags::everyFormatRoundTrips_data()
{
    QTest::addColumn<QString>("made"); // its name, then FFmpeg's options
    QTest::addColumn<QStringList>("tagged"); // before Beatwise
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("bpm"); // as mutagen reads it after; none when kept
    QTest::addColumn<QStringList>("reader"); // another reader, and what it must print

    const QStringList none;
    QTest::newRow("MP3, its ID3v2.3 kept")
        << "a.mp3 -c:a libmp3lame" << QStringList {"--v23"} << none << "tag written"
        << "TBPM=128" << QStringList {"id3v2", "-l", "TBPM [^\\n]*: 128\\n"};
    QTest::newRow("FLAC, two BPM fields forced into one")
        << "a.flac" << QStringList {"bpm=90", "bpm=91"} << QStringList {"--force"} << "tag written"
        << "bpm=128.00" << QStringList {"metaflac", "--show-tag=BPM", "\\ABPM=128.00\\n\\z"};
    QTest::newRow("Ogg Vorbis") << "a.ogg -c:a libvorbis" << none << none << "tag written"
                                << "bpm=128.00" << none;
    QTest::newRow("Opus") << "a.opus -c:a libopus" << none << none << "tag written"
                          << "bpm=128.00" << none;
    QTest::newRow("M4A") << "a.m4a -c:a aac" << none << none << "tag written"
                         << "tmpo=[128]" << none;
    QTest::newRow("M4A of Apple Lossless, its tag kept")
        << "b.m4a -c:a alac" << QStringList {"bpm=127"} << none << "tag kept: 127"
        << "" << none;
    QTest::newRow("WAV") << "a.wav" << none << none << "tag written"
                         << "TBPM=128" << none;
    QTest::newRow("AIFF, a line break in its tag kept on the line")
        << "a.aiff" << QStringList {"bpm=12\n7"} << none << "tag kept: 12?7"
        << "" << none;
}

void TestSongTags::everyFormatRoundTrips()
{
    QFETCH(QString, made);
    QFETCH(QStringList, tagged);
    QFETCH(QStringList, options);
    QFETCH(QString, said);
    QFETCH(QString, bpm);
    QFETCH(QStringList, reader);

    const QStringList encoder = made.split(' ');
    const QString path = Made(encoder.front(), encoder.mid(1), tagged);
    const QStringList before = Tags(path);
    const QString audio = Audio(path);
    QVERIFY2(audio.startsWith("MD5="), qPrintable(audio));
    const qsizetype wavData = path.endsWith(".wav") ? Bytes(path).indexOf("data") : -1;
    int status = -1;
    const QStringList tempo = {"--tempo", "--write-tags"};
    QCOMPARE(Run(BEATWISE_PROGRAM, tempo + options + QStringList {path}, &status),
        path + ": 128.00 bpm (" + said + ")\n");
    QCOMPARE(status, 0);
    // Every other tag as it was, and the BPM once.
    QStringList expected
        = bpm.isEmpty() ? before : before.filter(QRegularExpression("^(?!TBPM=|bpm=|tmpo=)"));
    if (!bpm.isEmpty())
        expected += bpm;
    expected.sort();
    QCOMPARE(Tags(path), expected);
    QCOMPARE(Audio(path), audio);
    if (wavData >= 0) // nor is the audio moved, nor the INFO list before it
        QCOMPARE(Bytes(path).indexOf("data"), wavData);
    if (!reader.isEmpty()) {
        const QString read
            = Run(reader.front(), reader.mid(1, reader.size() - 2) + QStringList {path});
        QVERIFY2(QRegularExpression(reader.back()).match(read).hasMatch(), qPrintable(read));
    }
    // Run again, it changes nothing: the tag is kept, byte for byte.
    const QByteArray written = Bytes(path);
    QVERIFY(Run(BEATWISE_PROGRAM, tempo + QStringList {path}).contains("(tag kept: "));
    QCOMPARE(Bytes(path), written);
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".beatwise"),
        QStringList());
}

void TestSongTags::windowSavesTheTempoShown()
{
    const QString path = Made("window.flac", {}, {"bpm=127"});
    PageDriver simple(0);
    QVERIFY(simple.Show());
    CSongTempoFinder& finder = simple.harness.sheet.SongTempoFinder();
    CSongTagSaver& saver = simple.harness.sheet.TagSaver();
    DropFile(&simple.page, path);
    QTRY_VERIFY_WITH_TIMEOUT(!finder.IsBusy(), 20000);
    QCOMPARE(simple.harness.sheet.Status(),
        QStringLiteral("Tempo of window.flac: 128 bpm (its tag says 127)"));
    // The half chosen is the tempo saved, by the button's mnemonic.
    QTest::keyClick(&simple.harness.sheet, Qt::Key_H, Qt::AltModifier);
    QTest::keyClick(&simple.harness.sheet, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!saver.IsBusy(), 20000);
    QCOMPARE(simple.harness.sheet.Status(),
        QStringLiteral("The tag of window.flac now says 64.00 bpm."));
    QVERIFY(Tags(path).contains("bpm=64.00"));
    QVERIFY(Tags(path).contains("title=Clicks"));

    // Saved again at once: the file changed was changed by Beatwise itself.
    QTest::keyClick(&simple.harness.sheet, Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(&simple.harness.sheet, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!saver.IsBusy(), 20000);
    QVERIFY(Tags(path).contains("bpm=256.00"));

    // Changed by someone else since it was analysed: left as they left it.
    QFile other(path);
    QVERIFY(other.open(QIODevice::Append));
    other.write("x");
    other.close();
    const QByteArray theirs = Bytes(path);
    QTest::keyClick(&simple.harness.sheet, Qt::Key_V, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!saver.IsBusy(), 20000);
    QCOMPARE(simple.harness.sheet.Status(),
        QStringLiteral(
            "The tag of window.flac was not written: it changed while it was analysed."));
    QCOMPARE(Bytes(path), theirs);
}

void TestSongTags::fullDiskLeavesTheOriginal()
{
    if (QProcess::execute("unshare", {"-m", "true"}) != 0)
        QSKIP("no private mount namespace can be made here for a small disk");
    const QString song = Made("full.wav", {}, {}), disk = m_dir.filePath("disk");
    // A disk with room for the song but not for its copy.
    const QString script = QStringLiteral(
        "mkdir \"$1\" && mount -t tmpfs -o size=%1k tmpfs \"$1\" && cp \"$2\" \"$1/full.wav\""
        " && head -c %2 /dev/zero > \"$1/filler\" || exit 9\n"
        "\"$3\" --tempo --write-tags --force \"$1/full.wav\"; echo \"status $?\"\n"
        "cmp -s \"$1/full.wav\" \"$2\" && echo untouched; ls -A \"$1\"")
                               .arg(QFileInfo(song).size() * 3 / 2 / 1024 + 8)
                               .arg(QFileInfo(song).size() / 2);
    const QString said
        = Run("unshare", {"-m", "sh", "-c", script, "sh", disk, song, BEATWISE_PROGRAM});
    QCOMPARE(said,
        disk
            + "/full.wav: 128.00 bpm (tag not written: its copy could not be written: No space "
              "left on device)\nstatus 1\nuntouched\nfiller\nfull.wav\n");
}

QTEST_MAIN(TestSongTags)
#include "test_songtags.moc"
