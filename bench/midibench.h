#pragma once

class Figures;

// MIDI clock against a real JACK server: the timing of each clock and the
// rate at buffer sizes 64 to 2048 and tempos 20 to 999, how soon a change
// of tempo reaches the clock, how closely a clock coming in is followed,
// and the processor time while sending; beside jack_midi_clock on the same
// server with the same measures.
void BenchMidiClock(Figures& figures);
