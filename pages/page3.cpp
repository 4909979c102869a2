#include "pages/page3.h"

#include "res/resource.h"

CPage3::CPage3(QWidget* parent)
    : CTempoPage(IDD_SONG_LENGTH, parent)
{
}

bool CPage3::OnInitDialog()
{
    InitTempoGroup();
    return true;
}

bool CPage3::OnSetActive()
{
    ActivateTempoGroup();
    StoreSharedTempo();
    return CTempoPage::OnSetActive();
}

void CPage3::OnReset()
{
    ResetTempoGroup();
    StoreSharedTempo();
}

void CPage3::RecalcSongTime()
{
}

void CPage3::StoreSharedTempo()
{
    WriteBackTempo(m_strTempo);
}
