#include "app/mainsheet.h"

#include "app/linksync.h"
#include "app/midiclocksync.h"
#include "app/songanalysis.h"
#include "app/songtagsaver.h"
#include "app/songtempofinder.h"
#include "app/tempolistener.h"
#include "app/tempomapview.h"
#include "res/resource.h"
#include "toolkit/clock.h"
#include "toolkit/edit.h"
#include "toolkit/propertypage.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QStandardPaths>
#include <QTimer>

namespace {

// The local file a drag carries, if it carries exactly one.
QString DraggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1
        || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

// A tempo being typed goes on once the typing pauses this long.
constexpr std::int64_t kTypingPause = 500; // ms

// The status area's row, its message first.
QHBoxLayout* StatusRow(QWidget* area, QLabel* message)
{
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(message, 1);
    message->setTextFormat(Qt::PlainText);
    return row;
}

} // namespace

CMainSheet::CMainSheet(
    const QString& caption, QWidget* parent, int startPage, const std::string& sharedTempo)
    : tk::PropertySheet(caption, parent, startPage)
    , m_sharedTempo(sharedTempo)
    , m_message(new QLabel(StatusArea()))
    , m_statusRow(StatusRow(StatusArea(), m_message))
    , m_finder(new CSongTempoFinder(*this))
    , m_tags(new CSongTagSaver(*this))
    , m_link(new CLinkSync(*this))
    , m_listener(new CTempoListener(*this))
    , m_map(new CTempoMapView(*this))
    , m_midi(new CMidiClockSync(*this))
{
    connect(m_finder, &CSongTempoFinder::Analysed, m_map, &CTempoMapView::Offer);
    connect(m_finder, &CSongTempoFinder::Withdrawn, m_map, &CTempoMapView::Withdraw);
    connect(m_finder, &CSongTempoFinder::Analysed, m_tags, &CSongTagSaver::Offer);
    connect(m_finder, &CSongTempoFinder::Withdrawn, m_tags, &CSongTagSaver::Withdraw);
    // MIDI gear on the Link session's beats: the sheet is the bridge.
    connect(m_link, &CLinkSync::SessionChanged, m_midi, &CMidiClockSync::FollowSession);
    // Files are taken anywhere on the sheet, before any edit under the
    // pointer would take the file's name as text.
    setAcceptDrops(true);
    qApp->installEventFilter(this);
}

void CMainSheet::FindSongTempo(const QString& path)
{
    // One source of a tempo at a time: the newest.
    m_listener->Cancel();
    m_finder->Find(path);
}

void CMainSheet::Listen()
{
    m_finder->Withdraw();
    m_listener->Start();
}

void CMainSheet::SetLinkOn(bool on)
{
    m_link->SetOn(on);
}

void CMainSheet::SetMidiClockOn(bool on, const QString& port)
{
    m_midi->SetOn(on, port);
}

void CMainSheet::ChooseSongFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString path = QFileDialog::getOpenFileName(this, tr("Tempo from Song File"), folder,
        tr("Audio files (*.wav *.flac *.ogg *.oga *.opus *.mp3 *.m4a *.mp4 *.aif *.aiff *.au "
           "*.caf);;"
           "All files (*)"));
    if (!path.isEmpty())
        FindSongTempo(path);
}

void CMainSheet::AddToStatus(QWidget* control, int stretch)
{
    m_statusRow->addWidget(control, stretch);
}

void CMainSheet::Say(const QString& message)
{
    m_message->setText(message);
    m_message->setToolTip(message);
}

QString CMainSheet::Status() const
{
    return m_message->text();
}

void CMainSheet::WatchTempo(std::function<void()> changed)
{
    if (m_tempoWatchers.empty()) {
        // What no input changes (a count ending, say) is seen all the same.
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, &CMainSheet::LookAtTempo);
        poll->start(50);
        m_tempoSeen = m_sharedTempo;
    }
    m_tempoWatchers.push_back(std::move(changed));
}

void CMainSheet::LookAtTempo()
{
    m_lookAsked = false;
    if (m_sharedTempo == m_tempoSeen || TypingTempo())
        return;
    m_tempoSeen = m_sharedTempo;
    for (const auto& changed : m_tempoWatchers)
        changed();
}

void CMainSheet::TypeTempo(double bpm)
{
    tk::PropertyPage* page = GetActivePage();
    if (!page || !page->HasControls())
        return;
    tk::Edit& tempo = page->EditControl(IDC_TEMPO);
    tempo.setFocus(Qt::OtherFocusReason);
    tempo.selectAll();
    tempo.insert(SongTempoWords::Typed(bpm));
    LookAtTempo();
}

bool CMainSheet::TypingTempo() const
{
    tk::PropertyPage* page = GetActivePage();
    return page && page->HasControls()
        && QApplication::focusWidget() == &page->EditControl(IDC_TEMPO)
        && tk::CurrentClock().Milliseconds() - m_lastKeystroke < kTypingPause;
}

bool CMainSheet::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // Input may change the shared tempo: a look once it is handled.
    if (event->isInputEvent() && !m_lookAsked && !m_tempoWatchers.empty()) {
        m_lookAsked = true;
        QTimer::singleShot(0, this, &CMainSheet::LookAtTempo);
    }
    if (type == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Steps with the arrow keys go at once; characters are typing.
        if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_PageUp
            && key != Qt::Key_PageDown && key != Qt::Key_Return && key != Qt::Key_Enter
            && key != Qt::Key_Tab)
            m_lastKeystroke = tk::CurrentClock().Milliseconds();
        return false;
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = DraggedFile(drop->mimeData());
    if (file.isEmpty())
        return false;
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        FindSongTempo(file);
    return true;
}
