// MIDI clock as a module of its own, loaded when it is first switched on:
// nothing of JACK loads while the program starts.
#include "midi/jackclock.h"

#include <cstdio>
#include <exception>

extern "C" __attribute__((visibility("default"))) midi::MidiClock* beatwise_open_midi_clock(
    const char* name, char* error, std::size_t size)
{
    try {
        return new midi::JackClock(name);
    } catch (const std::exception& failure) {
        if (error && size > 0)
            std::snprintf(error, size, "%s", failure.what());
        return nullptr;
    }
}
