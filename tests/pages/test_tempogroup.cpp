#include "res/resource.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/slider.h"
#include "toolkit/updown.h"

#include <QToolButton>
#include <QtTest>

namespace {

const char* const kPageNames[] = {"Simple", "Multi-tap", "Song Length"};

QString Text(tk::DialogSurface& page, int id)
{
    return QString::fromStdString(page.GetDlgItemText(id));
}

int SliderPos(CTempoPage& page)
{
    return page.SliderControl(IDC_TEMPO_SLIDER).GetPos();
}

void TypeTempo(CTempoPage& page, const QString& text)
{
    TypeOver(page.EditControl(IDC_TEMPO), text);
}

void AddPageRows(const char* what, const std::function<void(QTestData&, int)>& columns)
{
    for (int page = 0; page < 3; ++page)
        columns(QTest::addRow("%s, %s", kPageNames[page], what), page);
}

} // namespace

class TestTempoGroup : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void startsFromSharedTempo_data();
    void startsFromSharedTempo();
    void typedTempo_data();
    void typedTempo();
    void typedTempoReachesOtherPages_data();
    void typedTempoReachesOtherPages();
    void sliderKeys_data();
    void sliderKeys();
    void upDownLeavesWholeNumber_data();
    void upDownLeavesWholeNumber();
    void resetSets140Everywhere_data();
    void resetSets140Everywhere();
    void songLengthKeepsTypedTempoToItself();
    void caretStaysWhileTyping_data();
    void caretStaysWhileTyping();
};

void TestTempoGroup::startsFromSharedTempo_data()
{
    QTest::addColumn<int>("page");
    AddPageRows("fresh start", [](QTestData& row, int page) { row << page; });
}

void TestTempoGroup::startsFromSharedTempo()
{
    QFETCH(int, page);
    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& shown = harness.ShowPage(page);
    QCOMPARE(Text(shown, IDC_TEMPO), QStringLiteral("120"));
    QCOMPARE(SliderPos(shown), 240);
    QCOMPARE(QString::fromStdString(harness.SharedTempo()), QStringLiteral("120"));
}

void TestTempoGroup::typedTempo_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("slider");
    QTest::addColumn<QString>("shared");

    const struct {
        const char* typed;
        int slider;
    } cases[] = {{"120.5", 240}, {"9", 240}, {"351", 325}, {"1e2", 260}, {"", 240}, {"95abc", 265}};
    for (const auto& c : cases) {
        AddPageRows(c.typed[0] ? c.typed : "erased", [&](QTestData& row, int page) {
            // Only a whole-number value of at least 1 is passed on, and never
            // from the Song Length page.
            const bool passedOn = page != 2 && c.typed[0] != '\0';
            row << page << QString(c.typed) << c.slider << QString(passedOn ? c.typed : "120");
        });
    }
}

void TestTempoGroup::typedTempo()
{
    QFETCH(int, page);
    QFETCH(QString, typed);
    QFETCH(int, slider);
    QFETCH(QString, shared);

    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& shown = harness.ShowPage(page);
    TypeTempo(shown, typed);
    QCOMPARE(Text(shown, IDC_TEMPO), typed);
    QCOMPARE(SliderPos(shown), slider);
    QCOMPARE(QString::fromStdString(harness.SharedTempo()), shared);
}

void TestTempoGroup::typedTempoReachesOtherPages_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("slider");

    QTest::newRow("9 from Simple to Multi-tap") << 0 << 1 << "9" << 350;
    QTest::newRow("351 from Multi-tap to Song Length") << 1 << 2 << "351" << 10;
    QTest::newRow("120.5 from Simple to Song Length") << 0 << 2 << "120.5" << 240;
}

void TestTempoGroup::typedTempoReachesOtherPages()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, typed);
    QFETCH(int, slider);

    SheetHarness harness;
    QVERIFY(harness.Show());
    harness.ShowPage(to); // created before, so that only activation brings the tempo
    TypeTempo(harness.ShowPage(from), typed);
    CTempoPage& other = harness.ShowPage(to);
    QCOMPARE(Text(other, IDC_TEMPO), typed);
    QCOMPARE(SliderPos(other), slider);
}

void TestTempoGroup::sliderKeys_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("tempo");

    const struct {
        const char* name;
        Qt::Key key;
        const char* tempo;
    } keys[] = {{"Home to the top", Qt::Key_Home, "350"}, {"End to the bottom", Qt::Key_End, "10"},
        {"Up one step", Qt::Key_Up, "121"}, {"Page Down one page", Qt::Key_PageDown, "110"}};
    for (const auto& k : keys)
        AddPageRows(k.name,
            [&](QTestData& row, int page) { row << page << int(k.key) << QString(k.tempo); });
}

void TestTempoGroup::sliderKeys()
{
    QFETCH(int, page);
    QFETCH(int, key);
    QFETCH(QString, tempo);

    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& shown = harness.ShowPage(page);
    tk::Slider& slider = shown.SliderControl(IDC_TEMPO_SLIDER);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key(key));
    QCOMPARE(Text(shown, IDC_TEMPO), tempo);
    QCOMPARE(SliderPos(shown), 360 - tempo.toInt());
    // The slider's tempo reaches the other pages from every page.
    QCOMPARE(QString::fromStdString(harness.SharedTempo()), tempo);
}

void TestTempoGroup::upDownLeavesWholeNumber_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    AddPageRows("120.5 stepped up", [](QTestData& row, int page) {
        row << page << "120.5"
            << "121";
    });
    AddPageRows("400 stepped down", [](QTestData& row, int page) {
        row << page << "400"
            << "349";
    });
}

void TestTempoGroup::upDownLeavesWholeNumber()
{
    QFETCH(int, page);
    QFETCH(QString, typed);
    QFETCH(QString, expected);

    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& shown = harness.ShowPage(page);
    TypeTempo(shown, typed);
    auto arrows = shown.GetDlgItem(IDC_TEMPO_SPIN)->findChildren<QToolButton*>();
    QTest::mouseClick(arrows.at(expected.toInt() > 300 ? 1 : 0), Qt::LeftButton);
    QCOMPARE(Text(shown, IDC_TEMPO), expected);
    QCOMPARE(QString::fromStdString(shown.Tempo()), expected);
    QCOMPARE(QString::fromStdString(harness.SharedTempo()), expected);
}

void TestTempoGroup::resetSets140Everywhere_data()
{
    QTest::addColumn<int>("page");
    AddPageRows("Reset", [](QTestData& row, int page) { row << page; });
}

void TestTempoGroup::resetSets140Everywhere()
{
    QFETCH(int, page);

    SheetHarness harness;
    QVERIFY(harness.Show());
    for (int other = 0; other < 3; ++other)
        harness.ShowPage(other);
    CTempoPage& shown = harness.ShowPage(page);
    TypeTempo(shown, "99");
    QTest::mouseClick(shown.GetDlgItem(IDC_RESET), Qt::LeftButton);
    QCOMPARE(Text(shown, IDC_TEMPO), QStringLiteral("140"));
    QCOMPARE(SliderPos(shown), 220);
    QCOMPARE(QString::fromStdString(harness.SharedTempo()), QStringLiteral("140"));
    CTempoPage& next = harness.ShowPage((page + 1) % 3);
    QCOMPARE(Text(next, IDC_TEMPO), QStringLiteral("140"));
}

void TestTempoGroup::songLengthKeepsTypedTempoToItself()
{
    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& songLength = harness.ShowPage(2);
    TypeTempo(songLength, "100");
    QCOMPARE(SliderPos(songLength), 260);
    QCOMPARE(Text(harness.ShowPage(0), IDC_TEMPO), QStringLiteral("120"));
    // Coming back replaces the typed tempo with the shared one.
    QCOMPARE(Text(harness.ShowPage(2), IDC_TEMPO), QStringLiteral("120"));
    // The slider does pass its tempo on.
    songLength.SliderControl(IDC_TEMPO_SLIDER).setFocus();
    QTest::keyClick(songLength.GetDlgItem(IDC_TEMPO_SLIDER), Qt::Key_PageUp);
    QCOMPARE(Text(harness.ShowPage(1), IDC_TEMPO), QStringLiteral("130"));
}

void TestTempoGroup::caretStaysWhileTyping_data()
{
    QTest::addColumn<int>("page");
    AddPageRows("typing 5 after the 1 of 120", [](QTestData& row, int page) { row << page; });
}

void TestTempoGroup::caretStaysWhileTyping()
{
    QFETCH(int, page);

    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& shown = harness.ShowPage(page);
    tk::Edit& edit = shown.EditControl(IDC_TEMPO);
    edit.setFocus();
    edit.setCursorPosition(1);
    QTest::keyClick(&edit, Qt::Key_5);
    QCOMPARE(edit.text(), QStringLiteral("1520"));
    QCOMPARE(edit.cursorPosition(), 2);
    edit.setSelection(1, 2); // "52"
    QTest::keyClick(&edit, Qt::Key_3);
    QCOMPARE(edit.text(), QStringLiteral("130"));
    QCOMPARE(edit.cursorPosition(), 2);
    QCOMPARE(SliderPos(shown), 230);
}

QTEST_MAIN(TestTempoGroup)
#include "test_tempogroup.moc"
