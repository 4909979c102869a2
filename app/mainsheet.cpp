#include "app/mainsheet.h"

#include "app/linksync.h"
#include "app/songtempofinder.h"
#include "app/tempolistener.h"
#include "app/tempomapview.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
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

} // namespace

CMainSheet::CMainSheet(const QString& caption, QWidget* parent, int startPage)
    : tk::PropertySheet(caption, parent, startPage)
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

void CMainSheet::ChooseSongFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString path = QFileDialog::getOpenFileName(this, tr("Tempo from Song File"), folder,
        tr("Audio files (*.wav *.flac *.ogg *.oga *.mp3 *.aif *.aiff *.au *.caf);;All files (*)"));
    if (!path.isEmpty())
        FindSongTempo(path);
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
