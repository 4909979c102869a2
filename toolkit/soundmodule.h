#pragma once

#include "toolkit/soundoutput.h"

#include <QStringList>

#include <memory>

namespace tk {

// The sound module (libbeatwise_sound), loaded on a thread of its own so
// that neither it nor the audio libraries it brings slow the program's start
// or its window. Where it cannot be found or loaded, no output opens and the
// tone rings the desktop's bell instead.
class SoundModule {
public:
    // Starts loading the module in the background; once only.
    static void Preload();

    // A new output, after waiting for a load still under way (it starts
    // here if nothing asked for it before); nullptr without the module.
    static std::unique_ptr<SoundOutput> Open(void (*noOutput)(void*), void* context);

    // Where the module is looked for, in order: the path in
    // BEATWISE_SOUND_MODULE, beside an installed program, in the build tree.
    static QStringList Candidates();
};

} // namespace tk
