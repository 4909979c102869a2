#pragma once

#include "app/mainsheet.h"
#include "app/tempoapp.h"
#include "pages/page1.h"
#include "pages/page2.h"
#include "pages/page3.h"
#include "support/uitest.h"
#include "toolkit/dialogsurface.h"
#include "toolkit/edit.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <memory>
#include <string>

// Types over the whole text of an edit, keystroke by keystroke, as a user
// does after selecting it.
inline void TypeOver(QLineEdit& edit, const QString& text)
{
    edit.setFocus();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

// The main sheet as the application builds it, with a fresh application
// object (shared tempo "120"), shown without waiting so that tests can
// drive it.
class SheetHarness {
public:
    SheetHarness()
        : app(std::make_unique<TestApp>())
        , sheet(QStringLiteral("Beatwise - Delay Time Calculator"), nullptr, 0, app->m_strTempo)
    {
        sheet.AddPage(&simple);
        sheet.AddPage(&multitap);
        sheet.AddPage(&songLength);
        app->SetMainWindow(&sheet);
    }

    // Shows the sheet and waits until it is on screen.
    bool Show()
    {
        sheet.Start();
        sheet.activateWindow();
        return QTest::qWaitForWindowExposed(&sheet) && QTest::qWaitForWindowActive(&sheet);
    }

    CTempoPage& Page(int index)
    {
        CTempoPage* pages[] = {&simple, &multitap, &songLength};
        return *pages[index];
    }

    // Shows a page as a click on its tab would.
    CTempoPage& ShowPage(int index)
    {
        sheet.SetActivePage(index);
        return Page(index);
    }

    std::string& SharedTempo() { return app->m_strTempo; }

    struct TestApp : CTempoApp {
        bool InitInstance() override { return false; }
    };

    std::unique_ptr<TestApp> app;
    CMainSheet sheet;
    CPage1 simple;
    CPage2 multitap;
    CPage3 songLength;
};

// One page of a freshly shown sheet, driven as a user would.
struct PageDriver {
    explicit PageDriver(int index)
        : page(harness.Page(index))
        , m_index(index)
    {
    }

    // Shows the sheet, then this page.
    bool Show()
    {
        if (!harness.Show())
            return false;
        harness.ShowPage(m_index);
        return true;
    }

    QString Text(int id) const { return QString::fromStdString(page.GetDlgItemText(id)); }
    QString Shared() { return QString::fromStdString(harness.SharedTempo()); }
    // A click without an event time: a tap button takes the clock's reading.
    void Click(int id) { ClickAt(page.GetDlgItem(id), 0); }
    void Type(int id, const QString& text) { TypeOver(page.EditControl(id), text); }

    SheetHarness harness;
    CTempoPage& page;

private:
    int m_index;
};
