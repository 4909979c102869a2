// The module's entry points, found by name when the program loads it.
#include "sound/pulseinput.h"
#include "sound/pulseoutput.h"

extern "C" __attribute__((visibility("default"))) sound::SoundOutput* beatwise_open_sound_output(
    void (*noOutput)(void*), void* context)
{
    return new sound::PulseOutput([noOutput, context] { noOutput(context); });
}

extern "C" __attribute__((visibility("default"))) sound::SoundInput* beatwise_open_sound_input(
    sound::InputSource source, int sampleRate, sound::InputListener* listener)
{
    return new sound::PulseInput(source, sampleRate, *listener);
}
