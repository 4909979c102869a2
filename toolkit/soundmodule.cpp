#include "toolkit/soundmodule.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <dlfcn.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

namespace tk {

namespace {

std::once_flag g_started;
std::shared_future<OpenSoundOutput> g_loaded;

// The module stays loaded for the rest of the process: outputs from it may
// live until the very end.
OpenSoundOutput Load(const std::vector<std::string>& candidates)
{
    for (const std::string& path : candidates) {
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            if (void* open = dlsym(module, kOpenSoundOutput))
                return reinterpret_cast<OpenSoundOutput>(open);
            dlclose(module);
        }
    }
    return nullptr;
}

} // namespace

QStringList SoundModule::Candidates()
{
    QStringList candidates;
    if (const QString chosen = qEnvironmentVariable("BEATWISE_SOUND_MODULE"); !chosen.isEmpty())
        candidates << chosen;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath()
                + QStringLiteral("/../" BEATWISE_LIBDIR "/beatwise/libbeatwise_sound.so");
    candidates << QStringLiteral(BEATWISE_SOUND_MODULE_BUILT);
    return candidates;
}

void SoundModule::Preload()
{
    std::call_once(g_started, [] {
        std::vector<std::string> paths;
        for (const QString& candidate : Candidates()) {
            if (QFileInfo::exists(candidate))
                paths.push_back(QFile::encodeName(candidate).toStdString());
        }
        g_loaded = std::async(std::launch::async, Load, std::move(paths)).share();
    });
}

std::unique_ptr<SoundOutput> SoundModule::Open(void (*noOutput)(void*), void* context)
{
    Preload();
    const OpenSoundOutput open = g_loaded.get();
    return std::unique_ptr<SoundOutput>(open ? open(noOutput, context) : nullptr);
}

} // namespace tk
