#include "support/uitest.h"
#include "toolkit/propertypage.h"
#include "toolkit/propertysheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include <array>

namespace {

constexpr std::array kControls = {
    tk::ControlTemplate {1, tk::ControlKind::Edit, "", 4, 4, 40, 12, tk::TabStop, "Value"},
};
constexpr tk::DialogTemplate kFirst {901, "First", 100, 40, kControls};
constexpr tk::DialogTemplate kSecond {902, "Second", 100, 40, kControls};
constexpr tk::DialogTemplate kThird {903, "Third", 100, 40, kControls};

// Logs the page hooks as the sheet calls them.
class RecordingPage : public tk::PropertyPage {
public:
    RecordingPage(const tk::DialogTemplate& dialogTemplate, QStringList& log)
        : tk::PropertyPage(dialogTemplate)
        , m_log(log)
    {
    }

    bool OnInitDialog() override
    {
        m_log << "init " + Caption() + (GetDlgItem(1) ? " with controls" : " without controls");
        return true;
    }
    bool OnSetActive() override
    {
        m_log << "active " + Caption();
        return true;
    }
    void OnReset() override { m_log << "reset " + Caption(); }

private:
    QStringList& m_log;
};

struct Sheet {
    QStringList log;
    tk::PropertySheet sheet {"Caption"};
    RecordingPage first {kFirst, log};
    RecordingPage second {kSecond, log};
    RecordingPage third {kThird, log};

    Sheet()
    {
        sheet.AddPage(&first);
        sheet.AddPage(&second);
        sheet.AddPage(&third);
    }
};

} // namespace

class TestPropertySheet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { PrepareWidgetTests(); }

    void pagesAreCreatedWhenFirstShown();
    void onlyOkAndCancel();
    void closing_data();
    void closing();
    void doModalReturnsWhenClosed();
};

void TestPropertySheet::pagesAreCreatedWhenFirstShown()
{
    Sheet s;
    QVERIFY(s.log.isEmpty()); // nothing before the sheet starts
    s.sheet.Start();
    QCOMPARE(s.log, (QStringList {"init First with controls", "active First"}));
    s.sheet.SetActivePage(2);
    s.sheet.SetActivePage(0);
    s.sheet.SetActivePage(2);
    QCOMPARE(s.log,
        (QStringList {"init First with controls", "active First", "init Third with controls",
            "active Third", "active First", "active Third"}));
    QVERIFY(!s.second.HasControls());
    auto* tabs = s.sheet.findChild<QTabWidget*>();
    QCOMPARE(tabs->tabText(0), QStringLiteral("First"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Third"));
}

void TestPropertySheet::onlyOkAndCancel()
{
    Sheet s;
    auto* buttons = s.sheet.findChild<QDialogButtonBox*>();
    QCOMPARE(buttons->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons->buttons().size(), 2);
}

void TestPropertySheet::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("resets");

    const QStringList shown {"reset First", "reset Third"};
    QTest::newRow("OK") << "ok" << int(QDialog::Accepted) << QStringList {};
    QTest::newRow("Cancel") << "cancel" << int(QDialog::Rejected) << shown;
    QTest::newRow("Escape") << "escape" << int(QDialog::Rejected) << shown;
    QTest::newRow("close button") << "close" << int(QDialog::Rejected) << shown;
}

void TestPropertySheet::closing()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    QFETCH(QStringList, resets);

    Sheet s;
    s.sheet.Start();
    QVERIFY(QTest::qWaitForWindowExposed(&s.sheet));
    s.sheet.SetActivePage(2);
    s.log.clear();
    auto* buttons = s.sheet.findChild<QDialogButtonBox*>();
    if (how == "ok")
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    else if (how == "cancel")
        QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    else if (how == "escape")
        QTest::keyClick(&s.sheet, Qt::Key_Escape);
    else
        s.sheet.close();
    QCOMPARE(s.sheet.result(), result);
    QVERIFY(!s.sheet.isVisible());
    QCOMPARE(s.log, resets);
}

void TestPropertySheet::doModalReturnsWhenClosed()
{
    Sheet s;
    WhenModalOpens([](QWidget* modal) {
        auto* buttons = modal->findChild<QDialogButtonBox*>();
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QCOMPARE(s.sheet.DoModal(), int(QDialog::Accepted));
    QCOMPARE(s.log.first(), QStringLiteral("init First with controls"));
}

QTEST_MAIN(TestPropertySheet)
#include "test_propertysheet.moc"
