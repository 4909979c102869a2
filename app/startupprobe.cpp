#include "app/startupprobe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QSet>
#include <QTextStream>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

namespace {

QString PeakMemoryKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QStringLiteral("-1");
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).trimmed().split(' ').first());
    }
    return QStringLiteral("-1");
}

QStringList SharedLibraries()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    QSet<QString> libraries;
    if (maps.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : maps.readAll().split('\n')) {
            const qsizetype path = line.indexOf('/');
            if (path >= 0 && line.contains(".so"))
                libraries.insert(QString::fromLocal8Bit(line.mid(path)));
        }
    }
    QStringList sorted = libraries.values();
    sorted.sort();
    return sorted;
}

class Probe final : public QObject {
public:
    explicit Probe(QString reportPath)
        : m_reportPath(std::move(reportPath))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && widget->isWindow()) {
            qApp->removeEventFilter(this);
            // Once the paint is done, and before anything queued after it.
            QTimer::singleShot(0, this, [this] { Report(); });
        }
        return false;
    }

private:
    void Report()
    {
        QFile file(m_reportPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            QTextStream out(&file);
            out << "peak-rss-kb " << PeakMemoryKb() << '\n';
            for (const QString& library : SharedLibraries())
                out << "library " << library << '\n';
        }
        file.close();
        std::_Exit(0);
    }

    QString m_reportPath;
};

} // namespace

void ReportFirstPaintAndExit(const QString& reportPath)
{
    qApp->installEventFilter(new Probe(reportPath));
}
