// Beatwise from the keyboard and through a screen reader's eyes.
#include "calc/delays.h"
#include "res/resource.h"
#include "support/fakes.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/helpwindow.h"
#include "toolkit/listview.h"

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

namespace {

QWidget* Focused()
{
    return QApplication::focusWidget();
}

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void mnemonicActsLikeClick_data();
    void mnemonicActsLikeClick();
    void labelMnemonicFocusesItsField_data();
    void labelMnemonicFocusesItsField();
    void f2EditsLabelFromAnyCell_data();
    void f2EditsLabelFromAnyCell();
    void helpStaysUsableOverAboutBox();
    void screenReaderNamesEveryControl_data();
    void screenReaderNamesEveryControl();
    void multitapCellsNamedByHeaders();
};

void TestKeyboard::mnemonicActsLikeClick_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focused");
    QTest::addColumn<QString>("bars");
    QTest::addColumn<QString>("time");

    // Pressed three times, a second apart, from the emptied bars field: the
    // button takes the focus, so the length fields convert nothing.
    QTest::newRow("Alt+C counts") << int(Qt::Key_C) << IDC_COUNT << "0:3"
                                  << "00:00:00";
    QTest::newRow("Alt+3 sets 3/4") << int(Qt::Key_3) << IDC_SIG_3_4 << "0:0"
                                    << "";
}

void TestKeyboard::mnemonicActsLikeClick()
{
    QFETCH(int, key);
    QFETCH(int, focused);
    QFETCH(QString, bars);
    QFETCH(QString, time);

    FakeClock clock;
    RecordingTone tone;
    PageDriver song(2);
    QVERIFY(song.Show());
    song.Type(IDC_SONG_TIME, "");
    song.Type(IDC_SONG_BARS, "");
    for (int press = 0; press < 3; ++press) {
        clock.now = 1000 + 1000 * press;
        QTest::keyClick(Focused(), Qt::Key(key), Qt::AltModifier);
    }
    QCOMPARE(Focused(), song.page.GetDlgItem(focused));
    QCOMPARE(song.Text(IDC_SONG_BARS), bars);
    QCOMPARE(song.Text(IDC_SONG_TIME), time);
}

void TestKeyboard::labelMnemonicFocusesItsField_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("field");

    QTest::newRow("&Tempo") << int(Qt::Key_T) << IDC_TEMPO;
    QTest::newRow("&Song Length") << int(Qt::Key_S) << IDC_SONG_TIME;
    QTest::newRow("T&ime Signature, to the checked one") << int(Qt::Key_I) << IDC_SIG_6_8;
}

void TestKeyboard::labelMnemonicFocusesItsField()
{
    QFETCH(int, key);
    QFETCH(int, field);

    PageDriver song(2);
    QVERIFY(song.Show());
    song.Click(IDC_SIG_6_8);
    song.Click(IDC_RESET); // the focus starts on a button
    QTest::keyClick(Focused(), Qt::Key(key), Qt::AltModifier);
    QCOMPARE(Focused(), song.page.GetDlgItem(field));
}

void TestKeyboard::f2EditsLabelFromAnyCell_data()
{
    QTest::addColumn<int>("column");
    QTest::newRow("Delay(ms)") << 1;
    QTest::newRow("No.") << 2;
}

void TestKeyboard::f2EditsLabelFromAnyCell()
{
    QFETCH(int, column);

    PageDriver multitap(1);
    QVERIFY(multitap.Show());
    tk::ListView& list = multitap.page.ListViewControl(IDC_MULTITAP_LIST);
    const QRect cell = list.visualRect(list.model()->index(3, column));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(list.viewport(), Qt::Key_F2);
    auto* editor = list.findChild<QLineEdit*>();
    QVERIFY(editor);
    TypeOver(*editor, "3");
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(QTest::qWaitFor([&list] { return !list.findChild<QLineEdit*>(); }));
    QCOMPARE(list.GetItemText(3, 0), QStringLiteral("3"));
    QCOMPARE(list.GetItemText(3, 1), QString::fromStdString(calc::TapDelayText("120", "3")));
}

void TestKeyboard::helpStaysUsableOverAboutBox()
{
    SheetHarness harness;
    QVERIFY(harness.Show());
    int scrolled = 0;
    bool helpClosedAlone = false;
    WhenModalOpens([&](QWidget* about) {
        QTest::keyClick(about, Qt::Key_F1);
        tk::HelpWindow* help = harness.app->OpenHelpWindow();
        if (!help || !help->isVisible())
            return;
        // Keys through the window system, as a user's come: a window that
        // the box blocks never gets them.
        help->Browser()->setFocus();
        QTest::keyClick(help->windowHandle(), Qt::Key_PageDown);
        scrolled = help->Browser()->verticalScrollBar()->value();
        QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
        helpClosedAlone
            = QTest::qWaitFor([&] { return !harness.app->OpenHelpWindow(); }) && about->isVisible();
        about->activateWindow(); // as the desktop does when the help closes
        if (QTest::qWaitForWindowActive(about))
            QTest::keyClick(about, Qt::Key_F1); // open again, and leave it open
        QTest::mouseClick(about->findChild<QPushButton*>(), Qt::LeftButton);
    });
    QTest::mouseClick(harness.Page(0).GetDlgItem(IDC_ABOUT), Qt::LeftButton);
    QVERIFY(scrolled > 0);
    QVERIFY(helpClosedAlone);
    // The help outlives the box it was opened over.
    QVERIFY(harness.app->OpenHelpWindow() && harness.app->OpenHelpWindow()->isVisible());
}

void TestKeyboard::screenReaderNamesEveryControl_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");

    const auto edit = int(QAccessible::EditableText);
    QTest::newRow("delay, an output") << 0 << IDC_DELAY << edit << "Delay" << true;
    QTest::newRow("frequency, an output") << 0 << IDC_FREQUENCY << edit << "Frequency" << true;
    QTest::newRow("length list") << 0 << IDC_LENGTH_LIST << int(QAccessible::List) << "Length"
                                 << false;
    QTest::newRow("slider") << 1 << IDC_TEMPO_SLIDER << int(QAccessible::Slider) << "Tempo"
                            << false;
    QTest::newRow("song time") << 2 << IDC_SONG_TIME << edit << "Song Length (hh:mm:ss)" << false;
    QTest::newRow("7/8") << 2 << IDC_SIG_7_8 << int(QAccessible::RadioButton) << "7/8" << false;
}

void TestKeyboard::screenReaderNamesEveryControl()
{
    QFETCH(int, page);
    QFETCH(int, id);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(bool, readOnly);

    PageDriver driver(page);
    QVERIFY(driver.Show());
    QAccessibleInterface* control
        = QAccessible::queryAccessibleInterface(driver.page.GetDlgItem(id));
    QVERIFY(control);
    QCOMPARE(int(control->role()), role);
    QCOMPARE(control->text(QAccessible::Name), name);
    QCOMPARE(bool(control->state().readOnly), readOnly);
}

void TestKeyboard::multitapCellsNamedByHeaders()
{
    PageDriver multitap(1);
    QVERIFY(multitap.Show());
    QAccessibleTableInterface* table
        = QAccessible::queryAccessibleInterface(multitap.page.GetDlgItem(IDC_MULTITAP_LIST))
              ->tableInterface();
    QVERIFY(table);
    QTRY_COMPARE(table->rowCount(), 20); // once the view has laid out its rows
    QStringList headers;
    for (int column = 0; column < table->columnCount(); ++column) {
        QAccessibleInterface* cell = table->cellAt(2, column);
        QVERIFY(cell && cell->tableCellInterface());
        const QList<QAccessibleInterface*> cells = cell->tableCellInterface()->columnHeaderCells();
        headers << (cells.isEmpty() ? QString() : cells.first()->text(QAccessible::Name));
    }
    QCOMPARE(headers, QStringList({"Beat", "Delay(ms)", "No."}));
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
