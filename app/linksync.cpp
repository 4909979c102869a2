#include "app/linksync.h"

#include "app/songanalysis.h"
#include "app/tempohost.h"
#include "calc/numberreading.h"
#include "link/linksession.h"
#include "toolkit/buttonmnemonic.h"
#include "toolkit/runtimemodule.h"

#include <QCheckBox>
#include <QLabel>

#include <cmath>

namespace {

// Ableton Link and its network code, loaded when Link is first switched on.
tk::RuntimeModule& LinkModule()
{
    static tk::RuntimeModule module(QStringLiteral("libbeatwise_link.so"));
    return module;
}

template <typename Function> Function LinkFunction(const char* name)
{
    return reinterpret_cast<Function>(LinkModule().Function(name));
}

} // namespace

CLinkSync::CLinkSync(CTempoHost& host)
    : QObject(&host.Window())
    , m_host(host)
    , m_box(new QCheckBox(tr("&Link")))
    , m_peersLabel(new QLabel)
{
    host.AddToStatus(m_box);
    host.AddToStatus(m_peersLabel);
    m_box->setAccessibleName(tr("Link: share the tempo with the studio's Link session"));
    // Its name is its text, "1 peer", as a screen reader should say it.
    m_peersLabel->setAccessibleDescription(tr("Link peers"));
    m_peersLabel->hide();
    tk::ClickLikeMouseOnMnemonic(m_box);
    connect(m_box, &QCheckBox::toggled, this, &CLinkSync::SetOn);
    host.WatchTempo([this] { SendSharedTempo(); });
}

CLinkSync::~CLinkSync()
{
    // The widgets may be gone already; Link's threads must end before this
    // object does.
    CloseSession();
}

void CLinkSync::CloseSession()
{
    if (m_session) {
        emit SessionChanged(nullptr);
        LinkFunction<tempolink::CloseFunction>(tempolink::kClose)(m_session);
        m_session = nullptr;
    }
}

void CLinkSync::SetOn(bool on)
{
    if (on && !m_session)
        Start();
    else if (!on && m_session)
        Stop();
    const QSignalBlocker blocker(m_box);
    m_box->setChecked(m_session != nullptr);
}

void CLinkSync::Start()
{
    const auto open = LinkFunction<tempolink::OpenFunction>(tempolink::kOpen);
    if (!open || !LinkFunction<tempolink::CloseFunction>(tempolink::kClose)
        || !LinkFunction<tempolink::SetTempoFunction>(tempolink::kSetTempo)) {
        m_host.Say(tr("Link cannot start here: its module is missing."));
        return;
    }
    // Link calls from its own threads: everything it says is queued for the
    // window's thread, where this object lives.
    tempolink::Listener listener;
    listener.context = this;
    listener.peers = [](void* context, std::size_t count) {
        auto* self = static_cast<CLinkSync*>(context);
        QMetaObject::invokeMethod(
            self, [self, count] { self->ShowPeers(int(count)); }, Qt::QueuedConnection);
    };
    listener.tempo = [](void* context, double bpm) {
        auto* self = static_cast<CLinkSync*>(context);
        QMetaObject::invokeMethod(
            self, [self, bpm] { self->TakeSessionTempo(bpm); }, Qt::QueuedConnection);
    };
    const std::string shared = m_host.SharedTempo();
    const double bpm = calc::ReadNumber(shared);
    char error[256] = {};
    // Joining with the shared tempo only matters when there is no session to
    // join: one that is there keeps its own.
    m_session = open(bpm >= tempolink::kSlowest && bpm <= tempolink::kFastest ? bpm : 120, listener,
        error, sizeof error);
    if (!m_session) {
        m_host.Say(tr("Link cannot start: %1").arg(QString::fromLocal8Bit(error)));
        return;
    }
    m_timeline = {m_session, LinkFunction<tempolink::BeatAtFunction>(tempolink::kBeatAt),
        LinkFunction<tempolink::TimeAtFunction>(tempolink::kTimeAt)};
    if (m_timeline.beatAt && m_timeline.timeAt)
        emit SessionChanged(&m_timeline);
    m_seen = shared;
    m_fromSession.clear();
    m_sent = 0;
    ShowPeers(0);
    m_peersLabel->show();
}

void CLinkSync::Stop()
{
    CloseSession(); // Link's threads are over once this returns
    m_peersLabel->hide();
    m_peers = 0;
}

void CLinkSync::ShowPeers(int count)
{
    if (!m_session)
        return;
    m_peers = count;
    m_peersLabel->setText(count == 1 ? tr("1 peer") : tr("%1 peers").arg(count));
}

void CLinkSync::TakeSessionTempo(double bpm)
{
    if (!m_session)
        return;
    // Link tells of this peer's own changes too, later than they were made:
    // a tempo typed since must not give way to the one sent before it.
    if (m_sent > 0 && std::abs(bpm - m_sent) < 0.005)
        return;
    m_sent = 0;
    const QString typed = SongTempoWords::Typed(bpm);
    if (typed.toStdString() == m_host.SharedTempo())
        return; // already the tempo here
    m_fromSession = typed.toStdString();
    m_host.TypeTempo(bpm);
    // What the page made of it came from the session: not to be sent back.
    m_seen = m_host.SharedTempo();
}

void CLinkSync::SendSharedTempo()
{
    const std::string shared = m_host.SharedTempo();
    if (!m_session || shared == m_seen)
        return;
    m_seen = shared;
    if (shared == m_fromSession)
        return;
    const double bpm = calc::ReadNumber(shared);
    if (bpm >= tempolink::kSlowest && bpm <= tempolink::kFastest) {
        LinkFunction<tempolink::SetTempoFunction>(tempolink::kSetTempo)(m_session, bpm);
        m_sent = bpm;
    }
}
