#pragma once

class Figures;

// The tap tone against a private PulseAudio server: how long Beep keeps the
// window, and how soon a press's tone reaches the server. False when no
// server could start.
bool BenchTone(int runs, Figures& figures);
