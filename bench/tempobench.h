#pragma once

class Figures;
class QString;

// Tempo from song files: accuracy over the generated corpus (the table is
// printed), the time to analyse a four-minute song, and peak memory for a
// short and a long song, each analysed by a process of its own.
void BenchSongTempo(const QString& self, const QString& folder, Figures& figures);

// The child's part: analyses one file and prints its peak memory in kB.
int AnalyseForMemory(const char* path);
