#pragma once

#include <QStringList>

#include <future>
#include <mutex>
#include <string>

namespace tk {

// A module of the program's own (a shared library it loads when it first
// needs it, so that neither the module nor the libraries it brings slow the
// start), loaded on a thread of its own. It is looked for beside the program
// only, in bin/../<libdir>/beatwise: the build lays out its programs and
// modules the same way as an installation does.
class RuntimeModule {
public:
    explicit RuntimeModule(QString fileName);

    // Starts loading in the background; once only.
    void Preload();

    // A function of the module, after waiting for a load still under way
    // (it starts here if nothing asked for it before); null when the module
    // or the function cannot be found. Any thread may ask.
    void* Function(const char* name);

    QStringList Candidates() const;

private:
    QString m_fileName;
    std::once_flag m_started;
    std::shared_future<void*> m_loaded; // the module's handle
};

// The desktop's audio, out and in: the sound-server code and the audio
// libraries it needs.
RuntimeModule& SoundModule();

} // namespace tk
