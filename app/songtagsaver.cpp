#include "app/songtagsaver.h"

#include "app/songanalysis.h"
#include "app/songtags.h"
#include "app/tempohost.h"
#include "calc/numberreading.h"
#include "toolkit/buttonmnemonic.h"
#include "toolkit/pushbutton.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <thread>

struct CSongTagSaver::Write {
    SongFile file;
    double bpm = 0;
    tags::Written written;
    std::thread thread;
};

CSongTagSaver::CSongTagSaver(CTempoHost& host)
    : QObject(&host.Window())
    , m_host(host)
    , m_save(new tk::PushButton(tr("Sa&ve to File")))
{
    host.AddToStatus(m_save);
    m_save->setAccessibleName(tr("Save the tempo into the song file's tag"));
    tk::ClickLikeMouseOnMnemonic(m_save);
    m_save->setAutoDefault(false);
    m_save->hide();
    connect(m_save, &QPushButton::clicked, this, &CSongTagSaver::Save);
    host.WatchTempo([this] { Enable(); });
}

CSongTagSaver::~CSongTagSaver()
{
    if (m_writing)
        m_writing->thread.join(); // a copy half made is removed, never left
}

void CSongTagSaver::Offer(const QString&, const analysis::SongTempo& song, const SongFile& file)
{
    if (song.failure != analysis::Failure::None)
        return Withdraw();
    m_file = file;
    m_save->show();
    Enable();
}

void CSongTagSaver::Withdraw()
{
    m_file = SongFile();
    m_save->hide();
}

double CSongTagSaver::ShownTempo() const
{
    // The tag holds what the tempo box holds, read as the pages read it;
    // past what any tag takes it is no tempo to save.
    const double bpm = calc::ReadNumber(m_host.SharedTempo());
    return bpm >= 1 && bpm <= 10000 ? bpm : 0;
}

void CSongTagSaver::Enable()
{
    m_save->setEnabled(!m_writing && ShownTempo() > 0);
}

void CSongTagSaver::Save()
{
    const double bpm = ShownTempo();
    if (m_file.path.isEmpty() || m_writing || !(bpm > 0))
        return;
    m_writing = std::make_unique<Write>();
    Write* write = m_writing.get();
    write->file = m_file;
    write->bpm = bpm;
    // Asked for with the tag's BPM in sight: the new one replaces it.
    write->thread = std::thread([this, write] {
        const std::string local = QFile::encodeName(write->file.path).toStdString();
        write->written = songtags::WriteTag(local, write->bpm, write->file.stamp, true, false);
        if (write->written.outcome == tags::Written::Outcome::Written) {
            write->file.stamp = songtags::Stamp(local); // ours now: saved again if asked
            write->file.tag = songtags::Read(local);
        }
        QMetaObject::invokeMethod(
            this, [this, write] { Saved(write); }, Qt::QueuedConnection);
    });
    Enable();
    m_host.Say(tr("Saving %1 bpm into %2...")
                   .arg(SongTempoWords::Typed(bpm), QFileInfo(write->file.path).fileName()));
}

void CSongTagSaver::Saved(Write* write)
{
    write->thread.join();
    const std::unique_ptr<Write> done = std::move(m_writing);
    const QString name = QFileInfo(write->file.path).fileName();
    if (write->written.outcome == tags::Written::Outcome::Written) {
        if (m_file.path == write->file.path)
            m_file = write->file;
        m_host.Say(tr("The tag of %1 now says %2 bpm.").arg(name, write->file.tag));
    } else {
        m_host.Say(tr("The tag of %1 was not written: %2.")
                       .arg(name, QString::fromStdString(write->written.reason)));
    }
    Enable();
}
