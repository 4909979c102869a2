#include "app/tempoapp.h"

#include "app/mainsheet.h"
#include "pages/page1.h"
#include "pages/page2.h"
#include "pages/page3.h"
#include "res/resource.h"
#include "res/versioninfo.h"
#include "toolkit/firstpaint.h"
#include "toolkit/iconfolder.h"
#include "toolkit/tone.h"

#include <QApplication>

CTempoApp::CTempoApp()
{
    SetHelpSource(QUrl(QString::fromLatin1(IDR_HELP)));
}

bool CTempoApp::InitInstance()
{
    CMainSheet sheet(QStringLiteral("Beatwise - Delay Time Calculator"), nullptr, 0, m_strTempo);
    sheet.setAccessibleDescription(QString::fromUtf8(res::kFileDescription));
    CPage1 simple;
    sheet.AddPage(&simple);
    CPage2 multitap;
    sheet.AddPage(&multitap);
    CPage3 songLength;
    sheet.AddPage(&songLength);
    SetMainWindow(&sheet);
    // The tone's code loads once the window is up, long before a first tone.
    tk::AfterFirstPaint(&sheet, [this, &sheet] {
        tk::PreloadTone();
        if (m_linkAtStart)
            sheet.SetLinkOn(true);
        if (m_midiClockAtStart)
            sheet.SetMidiClockOn(true, m_midiClockPort);
        if (!m_songFile.isEmpty())
            sheet.FindSongTempo(m_songFile);
        else if (m_listenAtStart)
            sheet.Listen();
    });
    sheet.DoModal();
    SetMainWindow(nullptr);
    // The pages go before the sheet, in reverse order of construction.
    return false;
}

void CTempoApp::WinHelp(unsigned long, unsigned)
{
    tk::Application::WinHelp(0, tk::HelpContents);
}

CTempoApp& TheApp()
{
    // Beatwise has exactly one application object while it runs; tests make
    // their own, so that each starts from a fresh shared tempo.
    return static_cast<CTempoApp&>(*tk::Application::Current());
}

void DescribeApplication()
{
    QApplication::setApplicationName(QString::fromUtf8(res::kProductName));
    // No display name: Qt would add it to a caption that names the program already.
    QApplication::setApplicationVersion(QString::fromUtf8(res::kVersion));
    QApplication::setOrganizationName(QString::fromUtf8(res::kCompanyName));
    QApplication::setWindowIcon(tk::IconFromFolder(QString::fromLatin1(IDR_MAINFRAME)));
}
