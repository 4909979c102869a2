// What Beatwise has loaded when its window first paints: no audio library
// and no SVG renderer of its own; the tone's module and the song analysis
// come later.
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void firstPaintLoadsNoSoundCode();
};

void TestStartup::firstPaintLoadsNoSoundCode()
{
    QTemporaryDir dir;
    const QString report = dir.filePath("report");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("BEATWISE_FIRST_PAINT_REPORT", report);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(BEATWISE_PROGRAM), {});
    QVERIFY(program.waitForFinished(30000));
    QFile file(report);
    QVERIFY2(file.open(QIODevice::ReadOnly), "the program reported no first paint");
    const QString loaded = QString::fromUtf8(file.readAll());
    QVERIFY(loaded.contains("libQt6Widgets"));
    for (const char* library :
        {"libpulse", "libbeatwise_sound", "libbeatwise_analysis", "libaubio", "libjack",
            "libbeatwise_midi", "libbeatwise_link", "libsndfile", "libQt6Multimedia", "qsvgicon"})
        QVERIFY2(!loaded.contains(QLatin1String(library)), library);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
