#include "app/songtempofinder.h"

#include "app/songanalysis.h"
#include "app/songtags.h"
#include "app/tempohost.h"
#include "toolkit/buttonmnemonic.h"
#include "toolkit/pushbutton.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QShortcut>
#include <QTimer>

CSongTempoFinder::CSongTempoFinder(CTempoHost& host)
    : QObject(&host.Window())
    , m_host(host)
    , m_progress(new QProgressBar)
    , m_cancelKey(new QShortcut(QKeySequence(Qt::Key_Escape), &host.Window()))
    , m_poll(new QTimer(this))
    , m_half(new tk::PushButton(tr("&Half")))
    , m_double(new tk::PushButton(tr("&Double")))
    , m_third(new tk::PushButton(tr("Th&ird")))
    , m_triple(new tk::PushButton(tr("Tripl&e")))
{
    for (QWidget* control : {static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_half),
             static_cast<QWidget*>(m_double), static_cast<QWidget*>(m_third),
             static_cast<QWidget*>(m_triple)})
        host.AddToStatus(control);
    m_half->setAccessibleName(tr("Half the tempo found"));
    m_double->setAccessibleName(tr("Double the tempo found"));
    m_third->setAccessibleName(tr("A third of the tempo found"));
    m_triple->setAccessibleName(tr("Triple the tempo found"));
    for (tk::PushButton* button : {m_half, m_double, m_third, m_triple}) {
        tk::ClickLikeMouseOnMnemonic(button);
        button->setAutoDefault(false);
        button->hide();
    }
    connect(m_half, &QPushButton::clicked, this, [this] { m_host.TypeTempo(m_found / 2); });
    connect(m_double, &QPushButton::clicked, this, [this] { m_host.TypeTempo(m_found * 2); });
    connect(m_third, &QPushButton::clicked, this, [this] { m_host.TypeTempo(m_found / 3); });
    connect(m_triple, &QPushButton::clicked, this, [this] { m_host.TypeTempo(m_found * 3); });
    m_progress->setRange(0, 100);
    m_progress->setMaximumWidth(m_progress->fontMetrics().averageCharWidth() * 12);
    m_progress->setAccessibleName(tr("Finding the tempo"));
    m_progress->hide();
    // While a song is analysed, Escape stops that, not the sheet.
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, &CSongTempoFinder::Cancel);
    m_poll->setInterval(100);
    connect(m_poll, &QTimer::timeout, this, &CSongTempoFinder::ShowProgress);
}

CSongTempoFinder::~CSongTempoFinder()
{
    for (const auto& job : m_jobs) {
        job->progress.cancel = true;
        job->thread.join();
    }
}

void CSongTempoFinder::Find(const QString& path)
{
    if (m_current)
        m_current->progress.cancel = true; // the newer file wins
    auto job = std::make_unique<Job>();
    job->file.path = path;
    Job* started = job.get();
    m_jobs.push_back(std::move(job));
    m_current = started;
    started->thread = std::thread([this, started] {
        // Stamped before it is analysed: a tag is only ever written into
        // the file as it was then.
        const std::string local = QFile::encodeName(started->file.path).toStdString();
        started->file.stamp = songtags::Stamp(local);
        if (const auto result = AnalyseSong(started->file.path, &started->progress))
            started->result = *result;
        else
            started->noAnalysis = true;
        if (started->result.failure == analysis::Failure::None && !started->progress.cancel)
            started->file.tag = songtags::Read(local);
        QMetaObject::invokeMethod(
            this, [this, started] { Finished(started); }, Qt::QueuedConnection);
    });
    OfferLevels(0);
    m_host.Say(tr("Finding the tempo of %1... (Esc cancels)").arg(QFileInfo(path).fileName()));
    m_progress->setValue(0);
    m_progress->show();
    m_cancelKey->setEnabled(true);
    m_poll->start();
}

void CSongTempoFinder::Cancel()
{
    if (m_current)
        m_current->progress.cancel = true;
}

void CSongTempoFinder::Withdraw()
{
    Cancel();
    OfferLevels(0);
}

void CSongTempoFinder::ShowProgress()
{
    if (m_current)
        m_progress->setValue(int(m_current->progress.done.load() * 100));
}

void CSongTempoFinder::Finished(Job* job)
{
    job->thread.join();
    if (job == m_current) {
        m_current = nullptr;
        m_poll->stop();
        m_progress->hide();
        m_cancelKey->setEnabled(false);
        const QString name = QFileInfo(job->file.path).fileName();
        // Escape may come after the analysis ended but before this: a
        // cancelled tempo is never typed.
        if (job->progress.cancel.load()) {
            job->result = analysis::SongTempo();
            job->result.failure = analysis::Failure::Cancelled;
        }
        if (job->noAnalysis) {
            m_host.Say(SongTempoWords::NoAnalysis(name));
        } else {
            if (job->result.failure == analysis::Failure::None) {
                m_host.TypeTempo(job->result.bpm);
                OfferLevels(job->result.bpm, job->result.meter != analysis::Meter::Common);
            }
            QString said = SongTempoWords::Said(job->result, name);
            if (job->result.failure == analysis::Failure::None && !job->file.tag.isEmpty())
                said += tr(" (its tag says %1)").arg(job->file.tag);
            m_host.Say(said);
            emit Analysed(name, job->result, job->file);
        }
    }
    m_jobs.remove_if([job](const std::unique_ptr<Job>& each) { return each.get() == job; });
}

void CSongTempoFinder::OfferLevels(double bpm, bool threes)
{
    if (!(bpm > 0))
        emit Withdrawn();
    m_found = bpm;
    m_half->setVisible(bpm > 0);
    m_double->setVisible(bpm > 0);
    m_third->setVisible(bpm > 0 && threes);
    m_triple->setVisible(bpm > 0 && threes);
}
