#include "support/probesurface.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/updown.h"

#include <QtTest>

class TestEdit : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void programWriteNotifiesOnceBeforeReturning_data();
    void programWriteNotifiesOnceBeforeReturning();
    void typingNotifiesOncePerKeystroke();
    void selectionSurvivesRoundTrip_data();
    void selectionSurvivesRoundTrip();
    void focusChangesNotify();
    void upDownStepsBuddy_data();
    void upDownStepsBuddy();
    void arrowKeysInBuddyStepUpDown();
};

void TestEdit::programWriteNotifiesOnceBeforeReturning_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("written");

    QTest::newRow("unchanged 120") << "120"
                                   << "120";
    QTest::newRow("unchanged empty") << ""
                                     << "";
    QTest::newRow("120 to 121") << "120"
                                << "121";
    QTest::newRow("empty to 95abc") << ""
                                    << "95abc";
}

void TestEdit::programWriteNotifiesOnceBeforeReturning()
{
    QFETCH(QString, before);
    QFETCH(QString, written);

    ProbeSurface surface;
    surface.SetDlgItemText(probe::kEdit, before.toStdString());
    surface.log.clear();
    surface.SetDlgItemText(probe::kEdit, written.toStdString());
    // Logged inside the write, with the new text already in place.
    QCOMPARE(surface.log, QStringList {QStringLiteral("change 10 '%1'").arg(written)});
}

void TestEdit::typingNotifiesOncePerKeystroke()
{
    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    tk::Edit& edit = surface.EditControl(probe::kEdit);
    edit.setFocus();
    surface.log.clear();
    QTest::keyClicks(&edit, "125");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(surface.log,
        (QStringList {"change 10 '1'", "change 10 '12'", "change 10 '125'", "change 10 '12'"}));
}

void TestEdit::selectionSurvivesRoundTrip_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    QTest::newRow("caret in the middle") << 2 << 2;
    QTest::newRow("selection left to right") << 1 << 4;
    QTest::newRow("selection right to left") << 4 << 1;
    QTest::newRow("whole text") << 0 << 5;
}

void TestEdit::selectionSurvivesRoundTrip()
{
    QFETCH(int, start);
    QFETCH(int, end);

    ProbeSurface surface;
    tk::Edit& edit = surface.EditControl(probe::kEdit);
    edit.SetText("120.5");
    edit.SetSel({start, end});
    const tk::Edit::Selection selection = edit.GetSel();
    QCOMPARE(selection.start, start);
    QCOMPARE(selection.end, end);
    QCOMPARE(edit.cursorPosition(), end);
}

void TestEdit::focusChangesNotify()
{
    ProbeSurface surface;
    surface.show();
    surface.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&surface));
    surface.EditControl(probe::kEdit).setFocus(Qt::TabFocusReason);
    surface.logFocus = true;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); // to the list
    surface.EditControl(probe::kOther).setFocus(Qt::MouseFocusReason);
    surface.EditControl(probe::kEdit).setFocus(Qt::MouseFocusReason);
    QCOMPARE(
        surface.log, (QStringList {"killfocus 10", "setfocus 19", "killfocus 19", "setfocus 10"}));
}

void TestEdit::upDownStepsBuddy_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QString>("expected");

    QTest::newRow("120 up") << "120" << +1 << "121";
    QTest::newRow("120 down") << "120" << -1 << "119";
    QTest::newRow("120.5 up") << "120.5" << +1 << "121";
    QTest::newRow("upper bound up stays") << "350" << +1 << "350";
    QTest::newRow("lower bound down stays") << "10" << -1 << "10";
    QTest::newRow("above range up") << "400" << +1 << "350";
    QTest::newRow("above range down") << "400" << -1 << "349";
    QTest::newRow("empty up") << "" << +1 << "11";
    QTest::newRow("abc down") << "abc" << -1 << "10";
}

void TestEdit::upDownStepsBuddy()
{
    QFETCH(QString, text);
    QFETCH(int, direction);
    QFETCH(QString, expected);

    ProbeSurface surface;
    tk::UpDown& upDown = surface.UpDownControl(probe::kSpin);
    upDown.SetRange(10, 350);
    surface.SetDlgItemText(probe::kEdit, text.toStdString());
    surface.log.clear();
    upDown.Step(direction);
    // The buddy's change comes first, then the scroll.
    QCOMPARE(surface.log,
        (QStringList {QStringLiteral("change 10 '%1'").arg(expected),
            QStringLiteral("vscroll 4 %1 Value").arg(expected)}));
}

void TestEdit::arrowKeysInBuddyStepUpDown()
{
    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    surface.UpDownControl(probe::kSpin).SetRange(1, 100);
    surface.SetDlgItemText(probe::kEdit, "4");
    tk::Edit& edit = surface.EditControl(probe::kEdit);
    // The arrows sit at the buddy's right edge, the buddy narrowed for them.
    QCOMPARE(surface.GetDlgItem(probe::kSpin)->geometry().left(), edit.geometry().right() + 1);

    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Up);
    QTest::keyClick(&edit, Qt::Key_Down);
    QCOMPARE(surface.Text(probe::kEdit), QStringLiteral("5"));
    QTest::mouseClick(
        surface.GetDlgItem(probe::kSpin)->findChildren<QWidget*>().first(), Qt::LeftButton);
    QCOMPARE(surface.Text(probe::kEdit), QStringLiteral("6"));
}

QTEST_MAIN(TestEdit)
#include "test_edit.moc"
