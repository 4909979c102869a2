#include "support/probesurface.h"
#include "support/uitest.h"
#include "toolkit/listbox.h"
#include "toolkit/listview.h"

#include <QLineEdit>
#include <QtTest>

namespace {

// A shown probe dialog whose list view has a label and a delay column.
tk::ListView& ShowRows(ProbeSurface& surface, const QStringList& labels)
{
    surface.show();
    if (!QTest::qWaitForWindowExposed(&surface))
        qWarning("the probe dialog did not show");
    tk::ListView& view = surface.ListViewControl(probe::kView);
    view.InsertColumn(0, "Beat", 50);
    view.InsertColumn(1, "Delay(ms)", 60);
    for (int row = 0; row < labels.size(); ++row)
        view.InsertItem(row, labels[row]);
    return view;
}

} // namespace

class TestLists : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void listBoxKeepsOrderAndSelectsSilently();
    void listBoxUserSelectionNotifies();
    void labelEditEnds_data();
    void labelEditEnds();
    void onlyTheLabelIsEditable_data();
    void onlyTheLabelIsEditable();
    void noLabelEditOnHiddenView();
    void backgroundKeepsTextReadable_data();
    void backgroundKeepsTextReadable();
};

void TestLists::listBoxKeepsOrderAndSelectsSilently()
{
    ProbeSurface surface;
    tk::ListBox& list = surface.ListBoxControl(probe::kList);
    for (const char* text : {"1 beat", "1/2 beat", "2 beats", "1/3 beat"})
        list.AddString(text);
    QCOMPARE(list.item(3)->text(), QStringLiteral("1/3 beat")); // never sorted
    QCOMPARE(list.GetCurSel(), -1);
    list.SetCurSel(2);
    QCOMPARE(list.GetCurSel(), 2);
    list.SetCurSel(-1);
    QCOMPARE(list.GetCurSel(), -1);
    list.ResetContent();
    QCOMPARE(list.count(), 0);
    QVERIFY2(surface.log.isEmpty(), qPrintable(surface.log.join("; ")));
}

void TestLists::listBoxUserSelectionNotifies()
{
    ProbeSurface surface;
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    tk::ListBox& list = surface.ListBoxControl(probe::kList);
    for (const char* text : {"a", "b", "c"})
        list.AddString(text);
    list.SetCurSel(0);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    QCOMPARE(list.GetCurSel(), 1);
    QCOMPARE(surface.log, QStringList {"selchange"});
}

void TestLists::labelEditEnds_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("endKey");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Enter commits") << "1.5" << int(Qt::Key_Return) << "label 1 '1.5'";
    QTest::newRow("Enter commits empty text") << "" << int(Qt::Key_Return) << "label 1 ''";
    QTest::newRow("Escape cancels") << "1.5" << int(Qt::Key_Escape) << "label 1 none";
}

void TestLists::labelEditEnds()
{
    QFETCH(QString, typed);
    QFETCH(int, endKey);
    QFETCH(QString, expected);

    ProbeSurface surface;
    tk::ListView& view = ShowRows(surface, {"0.25", "0.33"});
    view.setFocus();
    view.setCurrentItem(view.topLevelItem(1), 0);
    QTest::keyClick(view.viewport(), Qt::Key_F2);
    auto* editor = view.findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key(endKey));
    QTRY_COMPARE(surface.log, QStringList {expected}); // Enter commits from the event loop
    QTRY_VERIFY(!view.findChild<QLineEdit*>());
    QCOMPARE(view.GetItemText(1, 0), QStringLiteral("0.33")); // the owner stores the text
}

void TestLists::onlyTheLabelIsEditable_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<bool>("opens");

    QTest::newRow("F2 on the label") << 0 << true << true;
    QTest::newRow("F2 on the delay edits its row's label") << 1 << true << true;
    QTest::newRow("double-click on the label") << 0 << false << true;
    QTest::newRow("double-click on the delay") << 1 << false << false;
}

void TestLists::onlyTheLabelIsEditable()
{
    QFETCH(int, column);
    QFETCH(bool, byKey);
    QFETCH(bool, opens);

    ProbeSurface surface;
    tk::ListView& view = ShowRows(surface, {"0.25"});
    view.SetItemText(0, 1, "125");
    const QModelIndex cell = view.model()->index(0, column);
    if (byKey) {
        view.setFocus();
        view.setCurrentIndex(cell);
        QTest::keyClick(view.viewport(), Qt::Key_F2);
    } else {
        // Through the window, so that the press, release and double-click
        // come in the order a real mouse produces them.
        const QPoint point = view.viewport()->mapTo(&surface, view.visualRect(cell).center());
        QTest::mouseDClick(surface.windowHandle(), Qt::LeftButton, {}, point);
    }
    auto* editor = view.findChild<QLineEdit*>();
    QCOMPARE(editor != nullptr, opens);
    if (editor)
        QCOMPARE(editor->text(), QStringLiteral("0.25"));
}

void TestLists::noLabelEditOnHiddenView()
{
    // A click on a selected label edits it a moment later, when its page
    // may have been left: no editor may open there to take the keys.
    ProbeSurface surface;
    tk::ListView& view = ShowRows(surface, {"0.25"});
    view.setCurrentIndex(view.model()->index(0, 0));
    view.hide();
    static_cast<QAbstractItemView&>(view).edit(view.currentIndex()); // as the delayed edit does
    QVERIFY(!view.findChild<QLineEdit*>());
}

void TestLists::backgroundKeepsTextReadable_data()
{
    QTest::addColumn<QColor>("window");
    QTest::addColumn<QColor>("windowText");

    QTest::newRow("light desktop") << QColor(240, 240, 240) << QColor(Qt::black);
    QTest::newRow("dark desktop") << QColor(0x2b, 0x2b, 0x2b) << QColor(0xe6, 0xe6, 0xe6);
}

void TestLists::backgroundKeepsTextReadable()
{
    QFETCH(QColor, window);
    QFETCH(QColor, windowText);

    // The rows on the window's colour, in its text colour, whatever the desktop's.
    ProbeSurface surface;
    tk::ListView& view = surface.ListViewControl(probe::kView);
    QPalette desktop = view.palette();
    desktop.setColor(QPalette::Window, window);
    desktop.setColor(QPalette::WindowText, windowText);
    view.setPalette(desktop);
    view.SetBackgroundRole(QPalette::Window, QPalette::WindowText);
    QCOMPARE(view.palette().color(QPalette::Base), window);
    QCOMPARE(view.palette().color(QPalette::Text), windowText);
}

QTEST_MAIN(TestLists)
#include "test_lists.moc"
