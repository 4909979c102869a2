#include "support/probesurface.h"
#include "support/uitest.h"
#include "toolkit/edit.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class TestDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void controlsByIdAndText();
    void tabOrderIsTemplateOrder();
    void radioSetIsExclusive();
    void programChecksAreSilent();
    void mnemonics_data();
    void mnemonics();
};

void TestDialog::controlsByIdAndText()
{
    ProbeSurface surface;
    QCOMPARE(surface.GetDlgItem(probe::kButton)->accessibleName(), QStringLiteral("Go"));
    QVERIFY(surface.GetDlgItem(4242) == nullptr);
    surface.SetDlgItemText(probe::kButton, "&Stop");
    QCOMPARE(surface.Text(probe::kButton), QStringLiteral("&Stop"));
    surface.SetDlgItemText(probe::kReadOnly, "500");
    QCOMPARE(surface.log, QStringList {"change 13 '500'"});
    for (const tk::ControlTemplate& control : probe::kControls) {
        if (control.id != tk::kNoId)
            QVERIFY(!surface.GetDlgItem(control.id)->accessibleName().isEmpty());
    }
}

void TestDialog::tabOrderIsTemplateOrder()
{
    ProbeSurface surface;
    surface.show();
    surface.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&surface));
    surface.FocusFirstTabStop();
    surface.CheckDlgButton(probe::kRadioA, true);
    QStringList visited {QApplication::focusWidget()->accessibleName()};
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->accessibleName();
    }
    QCOMPARE(visited.first(), QStringLiteral("Value"));
    QVERIFY2(visited.indexOf("Choices") < visited.indexOf("Rows")
            && visited.indexOf("Rows") < visited.indexOf("Level")
            && visited.indexOf("Level") < visited.indexOf("A")
            && visited.indexOf("A") < visited.indexOf("Go")
            && visited.indexOf("Go") < visited.indexOf("Other"),
        qPrintable(visited.join(", ")));
    QVERIFY2(!visited.contains("Result"), "a read-only edit is no tab stop");
}

void TestDialog::radioSetIsExclusive()
{
    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    surface.CheckDlgButton(probe::kRadioA, true);
    QTest::mouseClick(surface.GetDlgItem(probe::kRadioB), Qt::LeftButton);
    QVERIFY(surface.IsDlgButtonChecked(probe::kRadioB));
    QVERIFY(!surface.IsDlgButtonChecked(probe::kRadioA));
    QCOMPARE(surface.log, QStringList {"clicked 17"});
}

void TestDialog::programChecksAreSilent()
{
    ProbeSurface surface;
    surface.CheckDlgButton(probe::kRadioA, true);
    surface.CheckDlgButton(probe::kRadioB, true);
    QVERIFY(!surface.IsDlgButtonChecked(probe::kRadioA));
    surface.CheckDlgButton(probe::kRadioB, false); // the program may clear a set
    QVERIFY(!surface.IsDlgButtonChecked(probe::kRadioB));
    QVERIFY(surface.log.isEmpty());
}

void TestDialog::mnemonics_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focused");
    QTest::addColumn<QString>("logged");

    QTest::newRow("Alt+G presses the button") << int(Qt::Key_G) << ""
                                              << "clicked 18";
    QTest::newRow("Alt+V focuses the labelled edit") << int(Qt::Key_V) << "Value"
                                                     << "";
    QTest::newRow("Alt+P focuses the checked radio") << int(Qt::Key_P) << "B"
                                                     << "";
}

void TestDialog::mnemonics()
{
    QFETCH(int, key);
    QFETCH(QString, focused);
    QFETCH(QString, logged);

    ProbeSurface surface;
    surface.show();
    surface.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&surface));
    surface.CheckDlgButton(probe::kRadioB, true);
    surface.EditControl(probe::kOther).setFocus();
    surface.log.clear();
    QTest::keyClick(&surface, Qt::Key(key), Qt::AltModifier);
    if (!focused.isEmpty())
        QCOMPARE(QApplication::focusWidget()->accessibleName(), focused);
    // A button's mnemonic clicks it the way a visible press does, a moment later.
    QTRY_VERIFY2(
        logged.isEmpty() || surface.log.contains(logged), qPrintable(surface.log.join("; ")));
}

QTEST_MAIN(TestDialog)
#include "test_dialog.moc"
