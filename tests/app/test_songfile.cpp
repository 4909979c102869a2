// The tempo of a song file dropped on the sheet, found while the sheet stays
// in use and typed into the page shown.
#include "app/songtempofinder.h"
#include "res/resource.h"
#include "songcorpus.h"
#include "support/sheetharness.h"
#include "support/uitest.h"

#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Drags a file onto a widget and lets it go there, as a file manager does.
void DropFile(QWidget* target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(target, &drop);
}

} // namespace

class TestSongFile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void droppedFileSetsTheShownTempo_data();
    void droppedFileSetsTheShownTempo();
    void escapeCancelsAndLeavesTheTempo();

private:
    QTemporaryDir m_dir;
    QString m_song;
};

void TestSongFile::initTestCase()
{
    PrepareWidgetTests();
    m_song = m_dir.filePath("click track.wav");
    QVERIFY(corpus::Write({"clicks", 128, corpus::Pattern::Clicks}, m_song.toStdString()));
    QFile text(m_dir.filePath("notes.txt"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not a song\n");
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
    QCOMPARE(driver.Text(IDC_TEMPO), tempo);
    QCOMPARE(driver.Shared(), shared);
    QVERIFY2(finder.Status().contains(said), qPrintable(finder.Status()));
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
    QVERIFY2(finder.Status().contains("cancelled"), qPrintable(finder.Status()));
}

QTEST_MAIN(TestSongFile)
#include "test_songfile.moc"
