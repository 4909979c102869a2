#pragma once

// beatwise --beats FILE, --tempo-map FILE -o OUT.mid and --click FILE -o
// OUT.wav: the beats of a song as text, as a MIDI tempo map and as a click
// track. argv[1] is the command. The exit status, as --tempo gives it.
int RunMapCommand(int argc, char* argv[]);
