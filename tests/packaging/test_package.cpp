// The desktop files validate, and the Debian package holds what a desktop
// and Debian need: the program, its menu entry (which opens audio files),
// its description and its icons, its manual page, its licence and history,
// with the libraries and plugins it runs on among its dependencies; and
// nothing in it names the folders it was built in.
#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

namespace {

const QString kAppId = QStringLiteral("org.beatwise.Beatwise");

struct Run {
    int exitCode = -1;
    QString output;
};

Run RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAll())};
}

QString Package()
{
    const QDir dir(QStringLiteral(BEATWISE_PACKAGE_DIR));
    const QStringList debs = dir.entryList({QStringLiteral("beatwise_*.deb")}, QDir::Files);
    return debs.size() == 1 ? dir.filePath(debs.first()) : QString();
}

} // namespace

class TestPackage : public QObject {
    Q_OBJECT

private slots:
    void desktopFilesValidate_data();
    void desktopFilesValidate();
    void packageHoldsWhatTheDesktopNeeds();
};

void TestPackage::desktopFilesValidate_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("menu entry") << "desktop-file-validate"
                                << QStringList {
                                       BEATWISE_SOURCE_DIR "/res/desktop/" + kAppId + ".desktop"};
    QTest::newRow("AppStream metainfo")
        << "appstreamcli"
        << QStringList {
               "validate", "--no-net", BEATWISE_BINARY_DIR "/desktop/" + kAppId + ".metainfo.xml"};
}

void TestPackage::desktopFilesValidate()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);

    QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
        qPrintable(tool + " is not installed (scripts/install-deps)"));
    const Run run = RunTool(tool, arguments);
    QVERIFY2(run.exitCode == 0 && !run.output.contains("error", Qt::CaseInsensitive),
        qPrintable(run.output));
}

void TestPackage::packageHoldsWhatTheDesktopNeeds()
{
    const QString deb = Package();
    QVERIFY2(!deb.isEmpty(), "no package built in " BEATWISE_PACKAGE_DIR);

    const QString files = RunTool("dpkg-deb", {"--contents", deb}).output;
    QStringList expected {"./usr/bin/beatwise",
        "./usr/" BEATWISE_LIBDIR "/beatwise/libbeatwise_sound.so",
        "./usr/" BEATWISE_LIBDIR "/beatwise/libbeatwise_analysis.so",
        "./usr/" BEATWISE_LIBDIR "/beatwise/libbeatwise_link.so",
        "./usr/share/applications/" + kAppId + ".desktop",
        "./usr/share/metainfo/" + kAppId + ".metainfo.xml",
        "./usr/share/icons/hicolor/scalable/apps/" + kAppId + ".svg",
        "./usr/share/man/man1/beatwise.1.gz", "./usr/share/doc/beatwise/copyright",
        "./usr/share/doc/beatwise/changelog.Debian.gz"};
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        expected
            << QStringLiteral("./usr/share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kAppId);
    for (const QString& file : expected)
        QVERIFY2(files.contains(file + '\n'), qPrintable(file + " missing"));
    QVERIFY2(!files.contains("/usr/local/"), "everything installs under /usr");

    const QString depends = RunTool("dpkg-deb", {"--field", deb, "Depends"}).output;
    // Those of the sound and analysis modules too, which the program does not link.
    for (const char* package :
        {"libqt6widgets6", "libpulse0", "libaubio5", "libsndfile1", "libc6", "qt6-qpa-plugins"})
        QVERIFY2(depends.contains(QLatin1String(package)), qPrintable(depends));

    QTemporaryDir unpacked;
    QCOMPARE(RunTool("dpkg-deb", {"--extract", deb, unpacked.path()}).exitCode, 0);
    QFile entry(unpacked.filePath("usr/share/applications/" + kAppId + ".desktop"));
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
    QVERIFY(lines.contains("Exec=beatwise %f"));
    QVERIFY(lines.contains("Icon=" + kAppId));
    const QStringList types = lines.filter(QRegularExpression("^MimeType="));
    QVERIFY(types.size() == 1 && types.first().contains("audio/flac;")
        && types.first().contains("audio/mpeg;"));
    QVERIFY(QFileInfo(unpacked.filePath("usr/bin/beatwise")).isExecutable());

    QFile copyright(unpacked.filePath("usr/share/doc/beatwise/copyright"));
    QVERIFY(copyright.open(QIODevice::ReadOnly));
    const QByteArray terms = copyright.readAll();
    QVERIFY(terms.startsWith(
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"));
    QVERIFY(terms.contains("\nLicense: GPL-3+\n"));
    const Run manual = RunTool(
        "sh", {"-c", "gzip -dc " + unpacked.filePath("usr/share/man/man1/beatwise.1.gz")});
    QVERIFY(manual.output.startsWith(".TH BEATWISE 1") && manual.output.contains(R"(\-\-tempo)"));

    // No build folder anywhere, not even as the place to load a module from.
    // (A sanitizer build names its objects for its reports: it never ships.)
#ifdef BEATWISE_RELEASE_BUILD
    QDirIterator each(unpacked.path(), QDir::Files, QDirIterator::Subdirectories);
    while (each.hasNext()) {
        QFile file(each.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const char* folder : {BEATWISE_SOURCE_DIR, BEATWISE_BINARY_DIR})
            QVERIFY2(!bytes.contains(folder), qPrintable(file.fileName() + " names " + folder));
    }
#endif
    // The modules are private: no maintainer script runs ldconfig for them.
    QTemporaryDir control;
    QCOMPARE(RunTool("dpkg-deb", {"--control", deb, control.path()}).exitCode, 0);
    for (const char* script : {"postinst", "postrm"})
        QVERIFY2(!QFile::exists(control.filePath(script)), script);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
