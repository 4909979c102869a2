#include "app/tempomapview.h"

#include "app/tempohost.h"
#include "app/tempomapwindow.h"
#include "toolkit/buttonmnemonic.h"
#include "toolkit/pushbutton.h"

CTempoMapView::CTempoMapView(CTempoHost& host)
    : QObject(&host.Window())
    , m_host(host)
    , m_button(new tk::PushButton(tr("Tempo &Map...")))
{
    host.AddToStatus(m_button);
    m_button->setAccessibleName(tr("Tempo map of the song"));
    tk::ClickLikeMouseOnMnemonic(m_button);
    m_button->setAutoDefault(false);
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, &CTempoMapView::Open);
}

void CTempoMapView::Offer(const QString& name, const analysis::SongTempo& song)
{
    m_name = name;
    m_song = song;
    m_button->setVisible(!song.map.beats.empty());
    if (m_window && m_window->isVisible() && !song.map.beats.empty())
        m_window->Show(name, song);
}

void CTempoMapView::Withdraw()
{
    m_button->hide();
}

void CTempoMapView::Open()
{
    if (!m_window)
        m_window = new CTempoMapWindow(&m_host.Window());
    m_window->Show(m_name, m_song);
}

CTempoMapWindow* CTempoMapView::Window() const
{
    return m_window;
}
