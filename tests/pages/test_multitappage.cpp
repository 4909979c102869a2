#include "res/resource.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/listview.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QtTest>

namespace {

struct MultitapPage : PageDriver {
    MultitapPage()
        : PageDriver(1)
    {
    }

    tk::ListView& List() { return page.ListViewControl(IDC_MULTITAP_LIST); }
    QStringList Column(int column)
    {
        QStringList cells;
        for (int row = 0; row < List().GetItemCount(); ++row)
            cells << List().GetItemText(row, column);
        return cells;
    }
    void TypeTempo(const QString& text) { Type(IDC_TEMPO, text); }

    // Edits a label in place: F2, the new text, then Enter or Escape.
    bool EditLabel(int row, const QString& text, Qt::Key end = Qt::Key_Return)
    {
        List().setFocus();
        List().setCurrentItem(List().topLevelItem(row), 0);
        QTest::keyClick(List().viewport(), Qt::Key_F2);
        auto* editor = List().findChild<QLineEdit*>();
        if (!editor)
            return false;
        TypeOver(*editor, text);
        QTest::keyClick(editor, end);
        return QTest::qWaitFor([this] { return !List().findChild<QLineEdit*>(); });
    }
};

const QStringList kStartBeats {"0.25", "0.33", "0.50", "0.66", "0.75", "1.00", "1.25", "1.33",
    "1.50", "1.66", "1.75", "2.00", "2.25", "2.50", "2.75", "3.00", "3.50", "4.00", "4.50", "5.00"};
const QStringList kStartDelays {"125", "165", "250", "330", "375", "500", "625", "665", "750",
    "830", "875", "1000", "1125", "1250", "1375", "1500", "1750", "2000", "2250", "2500"};
const QStringList kResetBeats {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "1.75", "2.00",
    "2.25", "2.50", "2.75", "3.00", "3.50", "4.00", "4.50", "5.00"};
const QStringList kResetDelays {"428", "857", "1285", "1714", "2142", "2571", "3000", "3428",
    "3857", "4285", "750", "857", "964", "1071", "1178", "1285", "1500", "1714", "1928", "2142"};

} // namespace

class TestMultitapPage : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void startsWithTwentyRowsAt120();
    void resetRelabelsFirstTenAt140();
    void roundingAt100();
    void editedLabels_data();
    void editedLabels();
    void editsThatChangeNothing_data();
    void editsThatChangeNothing();
    void emptyTempoShowsNotApplicable();
    void labelsSurviveResetAndPageChanges();
};

void TestMultitapPage::startsWithTwentyRowsAt120()
{
    MultitapPage multitap;
    QVERIFY(multitap.Show());
    QCOMPARE(multitap.Column(0), kStartBeats);
    QCOMPARE(multitap.Column(1), kStartDelays);
    QCOMPARE(multitap.Column(2).first(), QStringLiteral("1"));
    QCOMPARE(multitap.Column(2).last(), QStringLiteral("20"));
    QCOMPARE(multitap.List().headerItem()->text(1), QStringLiteral("Delay(ms)"));
    // The rows on the window's own grey (240 in a light palette), from the palette.
    QCOMPARE(multitap.List().palette().color(QPalette::Base),
        QApplication::palette().color(QPalette::Window));
    // A click on a header sorts nothing.
    QHeaderView* header = multitap.List().header();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionPosition(1) + 5, 5));
    QCOMPARE(multitap.Column(0), kStartBeats);
}

void TestMultitapPage::resetRelabelsFirstTenAt140()
{
    MultitapPage multitap;
    QVERIFY(multitap.Show());
    for (int times = 0; times < 2; ++times) {
        multitap.Click(IDC_RESET);
        QCOMPARE(multitap.Column(0), kResetBeats);
        QCOMPARE(multitap.Column(1), kResetDelays);
        QCOMPARE(multitap.Shared(), QStringLiteral("140"));
    }
}

void TestMultitapPage::roundingAt100()
{
    MultitapPage multitap;
    QVERIFY(multitap.Show());
    multitap.TypeTempo("100");
    const QStringList delays = multitap.Column(1);
    // 0.75, 1.00, 1.50, 2.25, 2.50, 3.00 and 4.50 beats
    QCOMPARE((QStringList {
                 delays[4], delays[5], delays[8], delays[12], delays[13], delays[15], delays[18]}),
        (QStringList {"449", "600", "899", "1349", "1500", "1799", "2699"}));
    QCOMPARE(multitap.Shared(), QStringLiteral("100"));
}

void TestMultitapPage::editedLabels_data()
{
    QTest::addColumn<QString>("tempo");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("delay");

    QTest::newRow("2 beats") << "120"
                             << "2 beats"
                             << "1000";
    QTest::newRow("1/2") << "120"
                         << "1/2"
                         << "500";
    QTest::newRow("leading blank") << "120"
                                   << " 1"
                                   << "500";
    QTest::newRow(".5") << "120"
                        << ".5"
                        << "250";
    QTest::newRow("1e3") << "120"
                         << "1e3"
                         << "500000";
    QTest::newRow("abc") << "120"
                         << "abc"
                         << "N/A";
    QTest::newRow("0.001") << "120"
                           << "0.001"
                           << "N/A";
    QTest::newRow("0.002") << "120"
                           << "0.002"
                           << "1";
    QTest::newRow("past 2^31 ms") << "0.00001"
                                  << "1.00"
                                  << "6000000000";
}

void TestMultitapPage::editedLabels()
{
    QFETCH(QString, tempo);
    QFETCH(QString, label);
    QFETCH(QString, delay);

    MultitapPage multitap;
    QVERIFY(multitap.Show());
    multitap.TypeTempo(tempo);
    const QStringList before = multitap.Column(1);
    QVERIFY(multitap.EditLabel(3, label));
    QVERIFY(multitap.harness.sheet.isVisible()); // Enter ends the edit, not the sheet
    QCOMPARE(multitap.List().GetItemText(3, 0), label); // kept exactly as typed
    QCOMPARE(multitap.List().GetItemText(3, 1), delay);
    QStringList others = multitap.Column(1);
    others.removeAt(3);
    QStringList othersBefore = before;
    othersBefore.removeAt(3);
    QCOMPARE(others, othersBefore);
}

void TestMultitapPage::editsThatChangeNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("endKey");

    QTest::newRow("cleared and committed") << "" << int(Qt::Key_Return);
    QTest::newRow("cancelled with Escape") << "7" << int(Qt::Key_Escape);
}

void TestMultitapPage::editsThatChangeNothing()
{
    QFETCH(QString, text);
    QFETCH(int, endKey);

    MultitapPage multitap;
    QVERIFY(multitap.Show());
    QVERIFY(multitap.EditLabel(5, text, Qt::Key(endKey)));
    QCOMPARE(multitap.Column(0), kStartBeats);
    QCOMPARE(multitap.Column(1), kStartDelays);
}

void TestMultitapPage::emptyTempoShowsNotApplicable()
{
    MultitapPage multitap;
    QVERIFY(multitap.Show());
    multitap.TypeTempo("");
    QCOMPARE(multitap.Column(1), QStringList(20, "N/A"));
    QCOMPARE(multitap.Shared(), QStringLiteral("120"));
    multitap.TypeTempo("90");
    QCOMPARE(multitap.List().GetItemText(5, 1), QStringLiteral("666"));
    QCOMPARE(multitap.Shared(), QStringLiteral("90"));
}

void TestMultitapPage::labelsSurviveResetAndPageChanges()
{
    MultitapPage multitap;
    QVERIFY(multitap.Show());
    QVERIFY(multitap.EditLabel(0, "0.125"));
    QVERIFY(multitap.EditLabel(15, "6"));
    multitap.harness.ShowPage(0);
    multitap.harness.ShowPage(1);
    QCOMPARE(multitap.List().GetItemText(0, 0), QStringLiteral("0.125"));
    QCOMPARE(multitap.List().GetItemText(15, 1), QStringLiteral("3000"));
    multitap.Click(IDC_RESET);
    QCOMPARE(multitap.List().GetItemText(0, 0), QStringLiteral("1"));
    QCOMPARE(multitap.List().GetItemText(15, 0), QStringLiteral("6"));
    QCOMPARE(multitap.List().GetItemText(15, 1), QStringLiteral("2571"));
}

QTEST_MAIN(TestMultitapPage)
#include "test_multitappage.moc"
