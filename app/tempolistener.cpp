#include "app/tempolistener.h"

#include "app/songanalysis.h"
#include "app/tempohost.h"
#include "toolkit/buttonmnemonic.h"
#include "toolkit/clock.h"
#include "toolkit/pushbutton.h"
#include "toolkit/runtimemodule.h"

#include <QComboBox>
#include <QLabel>
#include <QShortcut>
#include <QTimer>

namespace {

constexpr int kShowEveryMs = 500;
// The tempo is estimated after every half second of sound.
constexpr size_t kEstimateEvery = analysis::LiveTempo::kSampleRate / 2;

QString ListeningWords()
{
    return CTempoListener::tr("Listening... (Esc stops)");
}

QString EndWords(sound::InputEnd why, sound::InputSource source)
{
    switch (why) {
    case sound::InputEnd::NoServer:
        return CTempoListener::tr("Cannot listen: no sound server is running.");
    case sound::InputEnd::NoSource:
        return source == sound::InputSource::Playing
            ? CTempoListener::tr("Cannot listen: the sound server plays to no output.")
            : CTempoListener::tr("Cannot listen: the sound server has no input.");
    case sound::InputEnd::SourceGone:
        return CTempoListener::tr("Listening stopped: the sound went away.");
    case sound::InputEnd::ServerGone:
        break;
    }
    return CTempoListener::tr("Listening stopped: the sound server went away.");
}

} // namespace

CTempoListener::CTempoListener(CTempoHost& host)
    : QObject(&host.Window())
    , m_host(host)
    , m_sourceLabel(new QLabel(tr("Listen t&o:")))
    , m_source(new QComboBox)
    , m_use(new tk::PushButton(tr("&Use")))
    , m_stop(new tk::PushButton(tr("Sto&p")))
    , m_stopKey(new QShortcut(QKeySequence(Qt::Key_Escape), &host.Window()))
    , m_tick(new QTimer(this))
{
    m_source->addItem(tr("What is playing"), int(sound::InputSource::Playing));
    m_source->addItem(tr("Microphone"), int(sound::InputSource::Microphone));
    m_sourceLabel->setBuddy(m_source);
    m_use->setAccessibleName(tr("Use the tempo heard"));
    m_stop->setAccessibleName(tr("Stop listening"));
    for (QWidget* widget : {static_cast<QWidget*>(m_sourceLabel), static_cast<QWidget*>(m_source),
             static_cast<QWidget*>(m_use), static_cast<QWidget*>(m_stop)})
        host.AddToStatus(widget);
    for (tk::PushButton* button : {m_use, m_stop}) {
        tk::ClickLikeMouseOnMnemonic(button);
        button->setAutoDefault(false);
    }
    ShowControls();
    connect(m_use, &QPushButton::clicked, this, &CTempoListener::Use);
    connect(m_stop, &QPushButton::clicked, this, &CTempoListener::Stop);
    connect(m_source, &QComboBox::activated, this,
        [this] { SetSource(sound::InputSource(m_source->currentData().toInt())); });
    // While listening, Escape stops that, not the sheet.
    m_stopKey->setEnabled(false);
    connect(m_stopKey, &QShortcut::activated, this, &CTempoListener::Stop);
    m_tick->setInterval(kShowEveryMs);
    connect(m_tick, &QTimer::timeout, this, &CTempoListener::Show);
}

CTempoListener::~CTempoListener()
{
    Close();
}

void CTempoListener::Close()
{
    // The input's thread ends here, and nothing it fed is used after.
    m_input.reset();
    m_live.reset();
    if (m_loader.joinable())
        m_loader.join();
}

void CTempoListener::Start()
{
    Close();
    const int session = ++m_session;
    m_listening = true;
    m_latest = {}; // no input feeds it now: nothing to guard against
    m_bpm = 0;
    m_started = tk::CurrentClock().Milliseconds();
    m_host.Say(ListeningWords());
    ShowControls();
    m_stopKey->setEnabled(true);
    m_tick->start();
    // The modules may still have to load: not on the window's thread.
    m_loader = std::thread([this, session] {
        const auto open = reinterpret_cast<sound::OpenSoundInput>(
            tk::SoundModule().Function(sound::kOpenSoundInput));
        const auto make = reinterpret_cast<analysis::NewLiveTempoFunction>(
            AnalysisModule().Function(analysis::kNewLiveTempo));
        QMetaObject::invokeMethod(
            this, [=, this] { Begin(session, open, make); }, Qt::QueuedConnection);
    });
}

void CTempoListener::Begin(
    int session, sound::OpenSoundInput open, analysis::NewLiveTempoFunction make)
{
    if (m_loader.joinable())
        m_loader.join();
    if (session != m_session || !m_listening)
        return;
    if (!open || !make) {
        Finish(tr("Beatwise cannot listen here: its %1 module is missing.")
                   .arg(open ? tr("analysis") : tr("sound")),
            false);
        return;
    }
    m_live.reset(make());
    m_heard = 0;
    m_nextEstimate = kEstimateEvery;
    m_input.reset(open(sound::InputSource(m_source->currentData().toInt()),
        analysis::LiveTempo::kSampleRate, this));
}

void CTempoListener::Heard(const float* samples, size_t count)
{
    // The sound library's thread: the window's thread only reads the latest.
    m_live->Add(samples, count);
    m_heard += count;
    if (m_heard < m_nextEstimate)
        return;
    m_nextEstimate = m_heard + kEstimateEvery;
    const analysis::LiveEstimate estimate = m_live->Estimate();
    const std::lock_guard lock(m_mutex);
    m_latest = estimate;
}

void CTempoListener::Ended(sound::InputEnd why)
{
    // Any thread, even inside open: told to the window's thread.
    const int session = m_session.load();
    QMetaObject::invokeMethod(
        this,
        [this, session, why] {
            if (session == m_session && m_listening)
                Finish(EndWords(why, sound::InputSource(m_source->currentData().toInt())), false);
        },
        Qt::QueuedConnection);
}

void CTempoListener::Show()
{
    if (!m_listening)
        return;
    const analysis::LiveEstimate estimate = Latest();
    const std::int64_t listened = tk::CurrentClock().Milliseconds() - m_started;
    if (estimate.found) {
        m_bpm = estimate.bpm;
        m_use->setEnabled(true);
    }
    if (listened >= kLongest) {
        Finish(m_bpm > 0 ? tr("Listened for 2 minutes: %1").arg(Words(estimate))
                         : tr("Listened for 2 minutes: no beat was heard."),
            true);
        return;
    }
    // Said again each time, over whatever else was said meanwhile.
    if (m_bpm > 0)
        m_host.Say(tr("Listening: %1").arg(Words(estimate)));
    else if (listened >= kNoBeatYet)
        m_host.Say(tr("Listening: no beat yet"));
    else
        m_host.Say(ListeningWords());
}

analysis::LiveEstimate CTempoListener::Latest()
{
    const std::lock_guard lock(m_mutex);
    return m_latest;
}

QString CTempoListener::Words(const analysis::LiveEstimate& estimate) const
{
    const QString bpm = SongTempoWords::Typed(m_bpm);
    // A beat heard before and lost for now is still the tempo, unsettled.
    if (!estimate.found)
        return tr("%1 bpm (settling)").arg(bpm);
    if (estimate.drifts)
        return tr("%1 bpm (drifting)").arg(bpm);
    return estimate.steady ? tr("%1 bpm (steady)").arg(bpm) : tr("%1 bpm (settling)").arg(bpm);
}

void CTempoListener::Stop()
{
    if (!m_listening)
        return;
    Finish(m_bpm > 0 ? tr("Heard: %1").arg(Words(Latest())) : tr("Stopped listening."), true);
}

void CTempoListener::Cancel()
{
    Finish({}, false);
}

void CTempoListener::Finish(const QString& message, bool keepTempo)
{
    ++m_session; // what the input still says is of no more use
    m_listening = false;
    m_tick->stop();
    m_stopKey->setEnabled(false);
    Close();
    if (!keepTempo)
        m_bpm = 0;
    if (!message.isNull())
        m_host.Say(message);
    ShowControls();
}

void CTempoListener::ShowControls()
{
    // Use stays while there is a tempo to use, listening or not.
    for (QWidget* control : {static_cast<QWidget*>(m_sourceLabel), static_cast<QWidget*>(m_source),
             static_cast<QWidget*>(m_stop)})
        control->setVisible(m_listening);
    m_use->setVisible(m_listening || m_bpm > 0);
    m_use->setEnabled(m_bpm > 0);
}

void CTempoListener::Use()
{
    if (m_bpm > 0)
        m_host.TypeTempo(m_bpm);
}

void CTempoListener::SetSource(sound::InputSource source)
{
    m_source->setCurrentIndex(m_source->findData(int(source)));
    if (m_listening)
        Start(); // afresh: the tempo heard so far was of the other source
}
