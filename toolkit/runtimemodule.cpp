#include "toolkit/runtimemodule.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <dlfcn.h>

#include <vector>

namespace tk {

namespace {

// The module stays loaded for the rest of the process: what comes from it
// may live until the very end.
void* Load(const std::vector<std::string>& candidates)
{
    for (const std::string& path : candidates) {
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return nullptr;
}

} // namespace

RuntimeModule::RuntimeModule(QString fileName)
    : m_fileName(std::move(fileName))
{
}

QStringList RuntimeModule::Candidates() const
{
    // Only where the program's own installation put it: nothing from the
    // environment, and no folder the program was built in.
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath()
                + QStringLiteral("/../" BEATWISE_LIBDIR "/beatwise/") + m_fileName;
    return candidates;
}

void RuntimeModule::Preload()
{
    std::call_once(m_started, [this] {
        std::vector<std::string> paths;
        for (const QString& candidate : Candidates()) {
            if (QFileInfo::exists(candidate))
                paths.push_back(QFile::encodeName(candidate).toStdString());
        }
        m_loaded = std::async(std::launch::async, Load, std::move(paths)).share();
    });
}

void* RuntimeModule::Function(const char* name)
{
    Preload();
    void* module = m_loaded.get();
    return module ? dlsym(module, name) : nullptr;
}

RuntimeModule& SoundModule()
{
    static RuntimeModule module(QStringLiteral("libbeatwise_sound.so"));
    return module;
}

} // namespace tk
