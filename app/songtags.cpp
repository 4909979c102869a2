#include "app/songtags.h"

#include "toolkit/runtimemodule.h"

namespace songtags {

namespace {

template <typename Function> Function TagsFunction(const char* name)
{
    static tk::RuntimeModule module(QStringLiteral("libbeatwise_tags.so"));
    return reinterpret_cast<Function>(module.Function(name));
}

} // namespace

tags::FileStamp Stamp(const std::string& path)
{
    const auto stamp = TagsFunction<tags::StampFunction>(tags::kStamp);
    return stamp ? stamp(path) : tags::FileStamp {};
}

QString Read(const std::string& path)
{
    const auto read = TagsFunction<tags::ReadBpmFunction>(tags::kReadBpm);
    return read ? QString::fromStdString(read(path)) : QString();
}

tags::Written WriteTag(
    const std::string& path, double bpm, const tags::FileStamp& analysed, bool force, bool dryRun)
{
    const auto write = TagsFunction<tags::WriteBpmFunction>(tags::kWriteBpm);
    if (write)
        return write(path, bpm, analysed, force, dryRun);
    tags::Written written;
    written.reason = "the tags module is missing";
    return written;
}

QString Write(const std::string& path, double bpm, const tags::FileStamp& analysed, bool force,
    bool dryRun, bool* failed)
{
    const tags::Written written = WriteTag(path, bpm, analysed, force, dryRun);
    const QString would = dryRun ? QStringLiteral("would be ") : QString();
    switch (written.outcome) {
    case tags::Written::Outcome::Written:
        return QStringLiteral("tag %1written").arg(would);
    case tags::Written::Outcome::Kept:
        return QStringLiteral("tag %1kept: %2")
            .arg(would, QString::fromStdString(written.existing));
    case tags::Written::Outcome::NotWritten:
        break;
    }
    if (failed)
        *failed = true;
    return QStringLiteral("tag %1 written: %2")
        .arg(dryRun ? QStringLiteral("would not be") : QStringLiteral("not"),
            QString::fromStdString(written.reason));
}

} // namespace songtags
