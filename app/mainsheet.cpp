#include "app/mainsheet.h"

#include "app/linksync.h"
#include "app/songanalysis.h"
#include "app/songtempofinder.h"
#include "app/tempolistener.h"
#include "app/tempomapview.h"
#include "res/resource.h"
#include "toolkit/edit.h"
#include "toolkit/propertypage.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QStandardPaths>

namespace {

// The local file a drag carries, if it carries exactly one.
QString DraggedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1
        || !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

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
    , m_link(new CLinkSync(*this))
    , m_listener(new CTempoListener(*this))
    , m_map(new CTempoMapView(*this))
{
    connect(m_finder, &CSongTempoFinder::Analysed, m_map, &CTempoMapView::Offer);
    connect(m_finder, &CSongTempoFinder::Withdrawn, m_map, &CTempoMapView::Withdraw);
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

void CMainSheet::ChooseSongFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString path = QFileDialog::getOpenFileName(this, tr("Tempo from Song File"), folder,
        tr("Audio files (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff *.au *.caf);;All files (*)"));
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

void CMainSheet::TypeTempo(double bpm)
{
    tk::PropertyPage* page = GetActivePage();
    if (!page || !page->HasControls())
        return;
    tk::Edit& tempo = page->EditControl(IDC_TEMPO);
    tempo.setFocus(Qt::OtherFocusReason);
    tempo.selectAll();
    tempo.insert(SongTempoWords::Typed(bpm));
}

bool CMainSheet::TempoHasFocus() const
{
    tk::PropertyPage* page = GetActivePage();
    return page && page->HasControls()
        && QApplication::focusWidget() == &page->EditControl(IDC_TEMPO);
}

bool CMainSheet::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
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
