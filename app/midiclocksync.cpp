#include "app/midiclocksync.h"

#include "app/songanalysis.h"
#include "app/tempohost.h"
#include "calc/numberreading.h"
#include "toolkit/buttonmnemonic.h"
#include "toolkit/pushbutton.h"
#include "toolkit/runtimemodule.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QTimer>

namespace {

// JACK and the clock's code, loaded when MIDI clock is first switched on.
tk::RuntimeModule& MidiModule()
{
    static tk::RuntimeModule module(QStringLiteral("libbeatwise_midi.so"));
    return module;
}

constexpr const char* kPortKey = "midiClock/port";
constexpr int kLookEvery = 50; // ms

} // namespace

CMidiClockSync::CMidiClockSync(CTempoHost& host)
    : QObject(&host.Window())
    , m_host(host)
    , m_box(new QCheckBox(tr("MIDI Cloc&k")))
    , m_port(new QComboBox)
    , m_start(new tk::PushButton(tr("St&art")))
    , m_follow(new QCheckBox(tr("Follo&w MIDI Clock")))
    , m_look(new QTimer(this))
{
    for (QWidget* control : {static_cast<QWidget*>(m_box), static_cast<QWidget*>(m_port),
             static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_follow)})
        host.AddToStatus(control);
    m_box->setAccessibleName(tr("MIDI Clock: send the tempo to outboard gear"));
    m_port->setAccessibleName(tr("MIDI clock port"));
    // Its name is its text, Start or Stop, as it changes.
    m_start->setAccessibleDescription(tr("Start or stop the gear on MIDI clock"));
    m_follow->setAccessibleName(tr("Follow MIDI Clock: take the tempo from a clock that comes in"));
    tk::ClickLikeMouseOnMnemonic(m_box);
    tk::ClickLikeMouseOnMnemonic(m_follow);
    tk::ClickLikeMouseOnMnemonic(m_start);
    m_start->setAutoDefault(false);
    connect(m_box, &QCheckBox::toggled, this, [this](bool on) { SetOn(on); });
    connect(m_follow, &QCheckBox::toggled, this, &CMidiClockSync::SetFollowing);
    connect(m_start, &QPushButton::clicked, this, &CMidiClockSync::StartOrStop);
    connect(m_port, &QComboBox::activated, this, [this] {
        QSettings().setValue(kPortKey, Port());
        Drive();
    });
    host.WatchTempo([this] {
        if (m_sending)
            SendSharedTempo();
    });
    m_look->setInterval(kLookEvery);
    connect(m_look, &QTimer::timeout, this, &CMidiClockSync::Look);
    ShowControls();
}

CMidiClockSync::~CMidiClockSync() = default; // the clock's thread ends with it

bool CMidiClockSync::Open()
{
    if (m_clock)
        return true;
    const auto open
        = reinterpret_cast<midi::OpenMidiClock>(MidiModule().Function(midi::kOpenMidiClock));
    if (!open) {
        m_host.Say(tr("MIDI clock cannot start here: its module is missing."));
        return false;
    }
    char error[256] = {};
    m_clock.reset(open("Beatwise", error, sizeof error));
    if (!m_clock) {
        m_host.Say(tr("MIDI clock: %1").arg(QString::fromLocal8Bit(error)));
        return false;
    }
    m_look->start();
    return true;
}

void CMidiClockSync::CloseIfIdle()
{
    if (!m_sending && !m_following) {
        m_look->stop();
        m_clock.reset();
        m_playing = false;
    }
}

void CMidiClockSync::SetOn(bool on, const QString& port)
{
    if (on && !m_sending) {
        const double bpm = calc::ReadNumber(m_host.SharedTempo());
        if (!(bpm >= midi::kSlowest && bpm <= midi::kFastest)) {
            m_host.Say(tr("MIDI clock: it carries tempos from %1 to %2 bpm, not %3.")
                           .arg(midi::kSlowest)
                           .arg(midi::kFastest)
                           .arg(QString::fromStdString(m_host.SharedTempo())));
        } else if (Open()) {
            if (!port.isEmpty())
                QSettings().setValue(kPortKey, port);
            FillPorts(QSettings().value(kPortKey).toString());
            Drive();
            m_seen.clear();
            SendSharedTempo();
            m_clock->SetSending(true);
            m_sending = true;
            KeepToSession();
        }
    } else if (!on && m_sending) {
        m_clock->SetSending(false);
        m_sending = false;
        CloseIfIdle();
    }
    ShowControls();
}

void CMidiClockSync::SetFollowing(bool on)
{
    if (on && !m_following && Open()) {
        m_clock->SetFollowing(true);
        m_following = true;
        m_heard = {};
        m_heard.state = midi::Followed::State(-1); // says the first state heard
        m_typed = 0;
    } else if (!on && m_following) {
        m_clock->SetFollowing(false);
        m_following = false;
        CloseIfIdle();
    }
    ShowControls();
}

void CMidiClockSync::StartOrStop()
{
    if (!m_clock || !m_sending)
        return;
    if (m_playing)
        m_clock->Stop();
    else
        m_clock->Start();
    m_playing = !m_playing;
    ShowControls();
}

void CMidiClockSync::FollowSession(const tempolink::Timeline* session)
{
    m_session = session;
    KeepToSession();
}

void CMidiClockSync::KeepToSession()
{
    if (!m_clock)
        return;
    // The clock lets go of the old beats before they change.
    m_clock->SetTimeline(nullptr);
    if (!m_session)
        return;
    m_sessionBeats.context = const_cast<tempolink::Timeline*>(m_session);
    m_sessionBeats.beatAt = [](void* context, std::int64_t micros) {
        const auto* session = static_cast<const tempolink::Timeline*>(context);
        return session->beatAt(session->session, micros, 4);
    };
    m_sessionBeats.timeAt = [](void* context, double beat) {
        const auto* session = static_cast<const tempolink::Timeline*>(context);
        return session->timeAt(session->session, beat, 4);
    };
    m_clock->SetTimeline(&m_sessionBeats);
}

QString CMidiClockSync::Port() const
{
    return m_port->currentData().toString();
}

void CMidiClockSync::FillPorts(const QString& chosen)
{
    m_port->clear();
    m_port->addItem(tr("No port"), QString());
    for (const std::string& name : m_clock->Destinations())
        m_port->addItem(QString::fromStdString(name), QString::fromStdString(name));
    // A port kept from before that is not there now still shows, and says so.
    if (!chosen.isEmpty() && m_port->findData(chosen) < 0)
        m_port->addItem(chosen, chosen);
    m_port->setCurrentIndex(std::max(0, m_port->findData(chosen)));
}

void CMidiClockSync::Drive()
{
    std::string why;
    if (m_clock && !m_clock->Drive(Port().toStdString(), why))
        m_host.Say(tr("MIDI clock: %1").arg(QString::fromStdString(why)));
}

void CMidiClockSync::Look()
{
    if (!m_clock)
        return;
    const midi::Report report = m_clock->Poll();
    if (report.ended != midi::Ended::No) {
        Ended(report.ended);
        return;
    }
    if (m_following)
        Follow(report);
}

void CMidiClockSync::SendSharedTempo()
{
    const std::string shared = m_host.SharedTempo();
    if (shared == m_seen)
        return;
    m_seen = shared;
    const double bpm = calc::ReadNumber(shared);
    if (bpm >= midi::kSlowest && bpm <= midi::kFastest) {
        m_clock->SetTempo(bpm);
        return;
    }
    if (bpm > 0)
        m_host.Say(tr("MIDI clock: it carries tempos from %1 to %2 bpm, not %3; it keeps the last.")
                       .arg(midi::kSlowest)
                       .arg(midi::kFastest)
                       .arg(QString::fromStdString(shared)));
}

void CMidiClockSync::Follow(const midi::Report& report)
{
    const midi::Followed& in = report.in;
    if (in.state == midi::Followed::State::Steady && std::abs(in.bpm - m_typed) >= 0.005) {
        m_typed = in.bpm;
        if (SongTempoWords::Typed(in.bpm).toStdString() != m_host.SharedTempo())
            m_host.TypeTempo(in.bpm);
    }
    if (in.state == m_heard.state && in.playing == m_heard.playing && in.bpm == m_heard.bpm)
        return;
    m_heard = in;
    const QString from
        = report.source.empty() ? tr("no MIDI output") : QString::fromStdString(report.source);
    const QString playing = in.playing ? tr(", playing") : QString();
    switch (in.state) {
    case midi::Followed::State::None:
        m_host.Say(tr("Following MIDI clock from %1: no clock yet").arg(from));
        break;
    case midi::Followed::State::Steady:
        m_host.Say(tr("Following MIDI clock from %1: %2 bpm%3")
                       .arg(from, SongTempoWords::Typed(in.bpm), playing));
        break;
    case midi::Followed::State::Unsteady:
        m_host.Say(
            tr("Following MIDI clock from %1: unsteady, the tempo is kept%2").arg(from, playing));
        break;
    case midi::Followed::State::Stopped:
        m_host.Say(tr("Following MIDI clock from %1: the clock stopped").arg(from));
        break;
    }
}

void CMidiClockSync::Ended(midi::Ended why)
{
    const QString port = Port();
    m_clock.reset();
    m_look->stop();
    m_sending = m_following = m_playing = false;
    ShowControls();
    m_host.Say(why == midi::Ended::ServerGone
            ? tr("MIDI clock stopped: the JACK or PipeWire server quit.")
            : tr("MIDI clock stopped: %1 went away.").arg(port));
}

void CMidiClockSync::ShowControls()
{
    const QSignalBlocker box(m_box), follow(m_follow);
    m_box->setChecked(m_sending);
    m_follow->setChecked(m_following);
    m_port->setVisible(m_sending);
    m_start->setVisible(m_sending);
    m_start->setText(m_playing ? tr("St&op") : tr("St&art"));
}
