// Renders the README's pictures offscreen: each page and the About box, with
// the values a musician would have on them (a tempo tapped in, a few echo
// taps of their own, a song's length converted).
//
//   beatwise_screenshots OUTPUT_FOLDER      (make screenshots)
#include "app/aboutdialog.h"
#include "res/resource.h"
#include "support/fakes.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/listbox.h"
#include "toolkit/listview.h"

#include <QDir>
#include <QFontDatabase>
#include <QLineEdit>

#include <cstdio>

namespace {

bool Save(QWidget& window, const QDir& folder, const QString& name)
{
    QTest::qWait(50); // let every repaint land
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void EditLabel(tk::ListView& list, int row, const QString& label)
{
    list.EditLabel(row);
    if (auto* editor = list.findChild<QLineEdit*>()) {
        TypeOver(*editor, label);
        QTest::keyClick(editor, Qt::Key_Return);
        (void)QTest::qWaitFor([&list] { return !list.findChild<QLineEdit*>(); });
    }
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    PrepareWidgetTests();
    QApplication::setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    DescribeApplication();

    FakeClock clock;
    RecordingTone tone; // silent
    SheetHarness harness;
    if (!harness.Show())
        return 1;

    // Simple: a tempo tapped in by hand, and a dotted-eighth echo.
    CTempoPage& simple = harness.ShowPage(0);
    for (qint64 interval : {0, 470, 466, 462, 468, 465, 471, 463}) {
        clock.now += interval;
        ClickAt(simple.GetDlgItem(IDC_TAP_TEMPO), 0);
    }
    tk::ListBox& lengths = simple.ListBoxControl(IDC_LENGTH_LIST);
    lengths.setFocus();
    QTest::keyClick(&lengths, Qt::Key_Home);
    for (int row = 0; row < 11; ++row)
        QTest::keyClick(&lengths, Qt::Key_Down); // 3/4 beat
    TypeOver(simple.EditControl(IDC_CYCLES), "2");
    if (!Save(harness.sheet, folder, QStringLiteral("simple.png")))
        return 1;

    // Multi-tap: a few taps of the musician's own.
    CTempoPage& multitap = harness.ShowPage(1);
    tk::ListView& taps = multitap.ListViewControl(IDC_MULTITAP_LIST);
    int row = 0;
    for (const char* label : {"0.75", "1.5", "2.25", "3"})
        EditLabel(taps, row++, QString::fromLatin1(label));
    taps.setCurrentItem(taps.topLevelItem(1));
    if (!Save(harness.sheet, folder, QStringLiteral("multitap.png")))
        return 1;

    // Song Length: 64 bars of 4/4 at the tapped tempo, as a time.
    CTempoPage& songLength = harness.ShowPage(2);
    TypeOver(songLength.EditControl(IDC_SONG_TIME), "");
    TypeOver(songLength.EditControl(IDC_SONG_BARS), "63:4");
    if (!Save(harness.sheet, folder, QStringLiteral("songlength.png")))
        return 1;

    CAboutDialog about;
    about.show();
    if (!QTest::qWaitForWindowExposed(&about) || !Save(about, folder, QStringLiteral("about.png")))
        return 1;
    return 0;
}
