#pragma once

namespace tk {

// A tone of the given pitch and length. Beep starts the tone and returns at
// once; a tone started while another plays cuts that one short.
class Tone {
public:
    virtual ~Tone() = default;
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

// The tone the pages sound: a sine wave on the desktop's sound server, or
// the desktop's bell where there is none, unless a test put its own in place.
Tone& CurrentTone();

// Loads the real tone's code in the background; call it once the window is
// up, so that the first tone needs no wait.
void PreloadTone();

// Puts a tone in place (nullptr: the real one again) and returns the one it
// replaces.
Tone* ReplaceTone(Tone* tone);

} // namespace tk
