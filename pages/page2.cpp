#include "pages/page2.h"

#include "res/resource.h"

CPage2::CPage2(QWidget* parent)
    : CTempoPage(IDD_MULTITAP, parent)
{
}

bool CPage2::OnInitDialog()
{
    InitTempoGroup();
    return true;
}

bool CPage2::OnSetActive()
{
    ActivateTempoGroup();
    RecalcDelays();
    return CTempoPage::OnSetActive();
}

void CPage2::OnReset()
{
    ResetTempoGroup();
    RecalcDelays();
}

void CPage2::RecalcDelays()
{
    if (!HasControls())
        return;
    const std::string tempo = GetDlgItemText(IDC_TEMPO);
    WriteBackTempo(tempo);
}
