#include "app/aboutdialog.h"
#include "res/dialogtemplates.h"
#include "res/resource.h"
#include "support/sheetharness.h"
#include "support/uitest.h"
#include "toolkit/edit.h"
#include "toolkit/helpwindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

#include <set>

namespace {

// The application as it starts, with its sheet closed by the given button.
struct ClosingApp : CTempoApp {
    QDialogButtonBox::StandardButton closeWith = QDialogButtonBox::Ok;
    QStringList seen;

    bool InitInstance() override
    {
        WhenModalOpens([this](QWidget* modal) {
            auto* tabs = modal->findChild<QTabWidget*>();
            seen << modal->windowTitle();
            for (int i = 0; i < tabs->count(); ++i)
                seen << tabs->tabText(i);
            seen << tabs->tabText(tabs->currentIndex()) + " shown";
            seen << QString::number(modal->findChild<QDialogButtonBox*>()->buttons().size())
                    + " buttons";
            seen << (modal->windowIcon().isNull() ? "no icon" : "icon");
            QTest::mouseClick(
                modal->findChild<QDialogButtonBox*>()->button(closeWith), Qt::LeftButton);
        });
        return CTempoApp::InitInstance();
    }
};

} // namespace

class TestApp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PrepareWidgetTests();
        DescribeApplication();
    }

    void sheetIsTheWholeRun_data();
    void sheetIsTheWholeRun();
    void aboutBoxLeavesPagesAlone_data();
    void aboutBoxLeavesPagesAlone();
    void everyHelpRequestOpensContents_data();
    void everyHelpRequestOpensContents();
    void templatesNameEveryControl_data();
    void templatesNameEveryControl();
    void versionBlockDescribesProgram();
};

void TestApp::sheetIsTheWholeRun_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("OK") << int(QDialogButtonBox::Ok);
    QTest::newRow("Cancel") << int(QDialogButtonBox::Cancel);
}

void TestApp::sheetIsTheWholeRun()
{
    QFETCH(int, button);

    ClosingApp app;
    app.closeWith = QDialogButtonBox::StandardButton(button);
    QCOMPARE(app.InitInstance(), false); // no message loop follows: the process ends
    QCOMPARE(app.seen,
        (QStringList {"Beatwise - Delay Time Calculator", "Simple", "Multi-tap", "Song Length",
            "Simple shown", "2 buttons", "icon"}));
    QCOMPARE(app.MainWindow(), nullptr);
}

void TestApp::aboutBoxLeavesPagesAlone_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("withEscape");

    const char* pages[] = {"Simple", "Multi-tap", "Song Length"};
    for (int page = 0; page < 3; ++page) {
        QTest::addRow("%s, OK", pages[page]) << page << false;
        QTest::addRow("%s, Escape", pages[page]) << page << true;
    }
}

void TestApp::aboutBoxLeavesPagesAlone()
{
    QFETCH(int, page);
    QFETCH(bool, withEscape);

    SheetHarness harness;
    QVERIFY(harness.Show());
    CTempoPage& shown = harness.ShowPage(page);
    shown.SetDlgItemText(IDC_TEMPO, "99.5");
    const std::string shared = harness.SharedTempo();

    QStringList seen;
    WhenModalOpens([&](QWidget* modal) {
        seen << modal->windowTitle();
        for (auto* label : modal->findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                seen << label->text();
            else if (!label->pixmap().isNull())
                seen << "icon";
        }
        auto* ok = modal->findChild<QPushButton*>();
        seen << ok->text() + (ok->isDefault() ? " default" : "");
        if (withEscape)
            QTest::keyClick(modal, Qt::Key_Escape);
        else
            QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseClick(shown.GetDlgItem(IDC_ABOUT), Qt::LeftButton);

    QCOMPARE(seen.value(0), QStringLiteral("About Beatwise"));
    QVERIFY(seen.contains("icon"));
    QVERIFY(seen.contains("Beatwise Version 1.0"));
    QVERIFY(seen.contains("&OK default"));
    QCOMPARE(QString::fromStdString(shown.GetDlgItemText(IDC_TEMPO)), QStringLiteral("99.5"));
    QCOMPARE(harness.SharedTempo(), shared);
}

void TestApp::everyHelpRequestOpensContents_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<qulonglong>("data");
    QTest::addColumn<uint>("command");

    QTest::newRow("F1 on a page") << true << qulonglong(0) << uint(0);
    QTest::newRow("a context topic") << false << qulonglong(0x20066) << uint(tk::HelpContext);
    QTest::newRow("a named anchor") << false << qulonglong(7) << uint(tk::HelpContext);
    QTest::newRow("contents") << false << qulonglong(0) << uint(tk::HelpContents);
}

void TestApp::everyHelpRequestOpensContents()
{
    QFETCH(bool, byKey);
    QFETCH(qulonglong, data);
    QFETCH(uint, command);

    SheetHarness harness;
    QVERIFY(harness.Show());
    QVERIFY(!harness.app->OpenHelpWindow());
    harness.app->WinHelp(0, tk::HelpContents);
    tk::HelpWindow* help = harness.app->OpenHelpWindow();
    QCOMPARE(help->Browser()->source(), QUrl(QString::fromLatin1(IDR_HELP)));
    QVERIFY(help->Browser()->toPlainText().contains("Tapping in a tempo"));
    QScrollBar* scroll = help->Browser()->verticalScrollBar();
    QVERIFY(scroll->maximum() > 0); // the guide is longer than its window
    scroll->setValue(scroll->maximum());
    if (byKey) {
        harness.ShowPage(1);
        harness.sheet.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&harness.sheet));
        QTest::keyClick(
            QApplication::focusWidget() ? QApplication::focusWidget() : &harness.sheet, Qt::Key_F1);
    } else {
        harness.app->WinHelp(data, command);
    }
    QCOMPARE(scroll->value(), 0);
    QVERIFY(help->isVisible());
}

void TestApp::templatesNameEveryControl_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("Simple") << IDD_SIMPLE;
    QTest::newRow("Multi-tap") << IDD_MULTITAP;
    QTest::newRow("Song Length") << IDD_SONG_LENGTH;
    QTest::newRow("About") << IDD_ABOUTBOX;
}

void TestApp::templatesNameEveryControl()
{
    QFETCH(int, id);

    const tk::DialogTemplate& dialog = res::DialogTemplate(id);
    QCOMPARE(dialog.id, id);
    std::set<int> ids;
    for (const tk::ControlTemplate& control : dialog.controls) {
        const QString name = QString::fromUtf8(
            control.accessibleName.data(), qsizetype(control.accessibleName.size()));
        QVERIFY2(!name.isEmpty() && !name.contains('&') && !name.endsWith("..."),
            qPrintable(QString::number(control.id)));
        if (control.id != tk::kNoId)
            QVERIFY2(ids.insert(control.id).second, "ids are unique within a template");
    }
    // Every control is built, and the page's icon loads.
    tk::DialogSurface surface(dialog);
    surface.CreateControls();
    int icons = 0;
    for (auto* label : surface.findChildren<QLabel*>())
        icons += label->pixmap().isNull() ? 0 : 1;
    QCOMPARE(icons, 1);
}

void TestApp::versionBlockDescribesProgram()
{
    QCOMPARE(QApplication::applicationName(), QStringLiteral("Beatwise"));
    QCOMPARE(QApplication::applicationVersion(), QStringLiteral("1.0.0.1"));
    QVERIFY(!QApplication::windowIcon().isNull());
    // No display name of its own: Qt would add one to every caption, and the
    // sheet's already names the program. Without one, it follows the name.
    QApplication::setApplicationName(QStringLiteral("probe"));
    const QString displayed = QApplication::applicationDisplayName();
    QApplication::setApplicationName(QStringLiteral("Beatwise"));
    QCOMPARE(displayed, QStringLiteral("probe"));
}

QTEST_MAIN(TestApp)
#include "test_app.moc"
