#include "res/dialogtemplates.h"

#include "res/resource.h"

#include <array>
#include <cstdlib>

namespace res {

namespace {

using tk::ControlKind;
using tk::ControlTemplate;
using tk::kNoId;
using enum tk::ControlFlag;

constexpr unsigned kNone = tk::NoFlags;

// Simple page: the delay of a note length and the rate of a modulation.
constexpr std::array kSimple = {
    ControlTemplate {IDC_TEMPO, ControlKind::Edit, "", 89, 7, 49, 12, TabStop, "Tempo"},
    ControlTemplate {IDC_TEMPO_SPIN, ControlKind::UpDown, "", 116, 7, 11, 12, kNone, "Tempo"},
    ControlTemplate {
        IDC_LENGTH_LIST, ControlKind::ListBox, "", 89, 20, 49, 37, Sorted | TabStop, "Length"},
    ControlTemplate {IDC_DELAY, ControlKind::Edit, "", 177, 20, 42, 12, ReadOnly, "Delay"},
    ControlTemplate {IDC_CYCLES, ControlKind::Edit, "", 89, 58, 49, 12, TabStop, "Cycles per Beat"},
    ControlTemplate {
        IDC_CYCLES_SPIN, ControlKind::UpDown, "", 115, 58, 11, 12, kNone, "Cycles per Beat"},
    ControlTemplate {IDC_FREQUENCY, ControlKind::Edit, "", 177, 58, 42, 12, ReadOnly, "Frequency"},
    ControlTemplate {
        IDC_RESET, ControlKind::PushButton, "&Reset", 234, 4, 49, 14, TabStop, "Reset"},
    ControlTemplate {kNoId, ControlKind::Static, "Tempo", 38, 9, 34, 8, kNone, "Tempo"},
    ControlTemplate {kNoId, ControlKind::Static, "bpm", 140, 9, 22, 8, kNone, "bpm"},
    ControlTemplate {kNoId, ControlKind::Static, "Length", 38, 22, 34, 8, kNone, "Length"},
    ControlTemplate {kNoId, ControlKind::Static, "ms", 220, 22, 10, 8, kNone, "ms"},
    ControlTemplate {
        kNoId, ControlKind::Static, "Cycles per Beat", 38, 59, 50, 8, kNone, "Cycles per Beat"},
    ControlTemplate {kNoId, ControlKind::Static, "hz", 220, 60, 10, 8, kNone, "hz"},
    ControlTemplate {
        kNoId, ControlKind::Static, "Frequency", 140, 60, 35, 8, RightAligned, "Frequency"},
    ControlTemplate {kNoId, ControlKind::Static, "Delay", 155, 22, 20, 8, RightAligned, "Delay"},
    ControlTemplate {IDC_TEMPO_SLIDER, ControlKind::Slider, "", 3, 4, 29, 87, TabStop, "Tempo"},
    ControlTemplate {kNoId, ControlKind::GroupBox, "", 36, 0, 196, 91, kNone, "Simple"},
    ControlTemplate {
        IDC_ABOUT, ControlKind::PushButton, "About...", 234, 20, 49, 14, TabStop, "About"},
    ControlTemplate {kNoId, ControlKind::Icon, IDI_PAGE, 262, 71, 18, 20, Sunken, "Beatwise"},
    ControlTemplate {IDC_TAP_TEMPO, ControlKind::PushButton, "Tap Tempo...", 234, 36, 49, 14,
        TabStop, "Tap Tempo"},
};

// Multi-tap page: twenty beat multipliers and their delays.
constexpr std::array kMultitap = {
    ControlTemplate {IDC_TEMPO, ControlKind::Edit, "", 89, 7, 49, 12, TabStop, "Tempo"},
    ControlTemplate {IDC_TEMPO_SPIN, ControlKind::UpDown, "", 169, 6, 11, 12, kNone, "Tempo"},
    ControlTemplate {
        IDC_RESET, ControlKind::PushButton, "&Reset", 234, 4, 49, 14, TabStop, "Reset"},
    ControlTemplate {kNoId, ControlKind::Static, "Tempo", 38, 9, 34, 8, kNone, "Tempo"},
    ControlTemplate {kNoId, ControlKind::Static, "bpm", 140, 9, 22, 8, kNone, "bpm"},
    ControlTemplate {IDC_TEMPO_SLIDER, ControlKind::Slider, "", 3, 4, 29, 87, TabStop, "Tempo"},
    ControlTemplate {kNoId, ControlKind::GroupBox, "", 36, 0, 196, 91, kNone, "Multi-tap"},
    ControlTemplate {
        IDC_MULTITAP_LIST, ControlKind::ListView, "", 36, 22, 196, 69, TabStop, "Multi-tap"},
    ControlTemplate {
        IDC_ABOUT, ControlKind::PushButton, "About...", 234, 20, 49, 14, TabStop, "About"},
    ControlTemplate {kNoId, ControlKind::Icon, IDI_PAGE, 262, 71, 18, 20, Sunken, "Beatwise"},
};

// Song Length page: a length as a time and as bars, and the beat counter.
constexpr std::array kSongLength = {
    ControlTemplate {IDC_TEMPO, ControlKind::Edit, "", 89, 7, 49, 12, TabStop, "Tempo"},
    ControlTemplate {IDC_TEMPO_SPIN, ControlKind::UpDown, "", 116, 7, 11, 12, kNone, "Tempo"},
    ControlTemplate {kNoId, ControlKind::Static, "bpm", 140, 9, 22, 8, kNone, "bpm"},
    ControlTemplate {
        kNoId, ControlKind::Static, "&Song Length", 38, 22, 50, 8, kNone, "Song Length"},
    ControlTemplate {
        IDC_SONG_TIME, ControlKind::Edit, "", 89, 20, 49, 12, TabStop, "Song Length (hh:mm:ss)"},
    ControlTemplate {kNoId, ControlKind::Static, "hh:mm:ss", 140, 22, 30, 8, kNone, "hh:mm:ss"},
    ControlTemplate {
        kNoId, ControlKind::Static, "Song Length", 38, 36, 50, 8, kNone, "Song Length"},
    ControlTemplate {
        IDC_SONG_BARS, ControlKind::Edit, "", 89, 34, 49, 12, TabStop, "Song Length (bars:beats)"},
    ControlTemplate {kNoId, ControlKind::Static, "bars:beats", 140, 36, 37, 8, kNone, "bars:beats"},
    ControlTemplate {
        IDC_COUNT, ControlKind::PushButton, "&Count", 89, 47, 50, 14, TabStop, "Count"},
    ControlTemplate {IDC_SIG_4_4, ControlKind::Radio, "&4/4", 44, 72, 30, 12, TabStop, "4/4"},
    ControlTemplate {IDC_SIG_3_4, ControlKind::Radio, "&3/4", 75, 72, 30, 12, TabStop, "3/4"},
    ControlTemplate {IDC_SIG_6_8, ControlKind::Radio, "&6/8", 106, 72, 30, 12, TabStop, "6/8"},
    ControlTemplate {IDC_SIG_2_4, ControlKind::Radio, "&2/4", 137, 72, 30, 12, TabStop, "2/4"},
    ControlTemplate {IDC_SIG_5_8, ControlKind::Radio, "&5/8", 168, 72, 30, 12, TabStop, "5/8"},
    ControlTemplate {IDC_SIG_7_8, ControlKind::Radio, "&7/8", 199, 72, 26, 12, TabStop, "7/8"},
    ControlTemplate {IDC_SIG_GROUP, ControlKind::GroupBox, "T&ime Signature", 39, 62, 189, 26,
        kNone, "Time Signature"},
    ControlTemplate {IDC_TEMPO_SLIDER, ControlKind::Slider, "", 3, 4, 29, 87, kNone, "Tempo"},
    ControlTemplate {
        IDC_RESET, ControlKind::PushButton, "&Reset", 234, 4, 49, 14, TabStop, "Reset"},
    ControlTemplate {
        IDC_ABOUT, ControlKind::PushButton, "About...", 234, 20, 49, 14, TabStop, "About"},
    ControlTemplate {kNoId, ControlKind::Icon, IDI_PAGE, 262, 71, 18, 20, Sunken, "Beatwise"},
    ControlTemplate {kNoId, ControlKind::Static, "&Tempo", 38, 9, 34, 8, kNone, "Tempo"},
    ControlTemplate {kNoId, ControlKind::GroupBox, "", 36, 0, 196, 91, kNone, "Song Length"},
};

// About box.
constexpr std::array kAbout = {
    ControlTemplate {kNoId, ControlKind::Icon, IDR_MAINFRAME, 11, 17, 18, 20, kNone, "Beatwise"},
    ControlTemplate {kNoId, ControlKind::Static, "Beatwise Version 1.0", 41, 8, 119, 8, kNone,
        "Beatwise Version 1.0"},
    ControlTemplate {kNoId, ControlKind::Static, "Copyright \u00a9 2026 the Beatwise developers",
        41, 18, 119, 8, kNone, "Copyright 2026 the Beatwise developers"},
    ControlTemplate {
        IDOK, ControlKind::PushButton, "&OK", 215, 7, 32, 14, TabStop | DefaultButton, "OK"},
    ControlTemplate {kNoId, ControlKind::Static,
        "Beatwise is freeware: use it and share it as you like. Questions and ideas are welcome "
        "on the Beatwise project's issue tracker.",
        41, 29, 193, 26, kNone, "Freeware notice"},
};

constexpr std::array kTemplates = {
    tk::DialogTemplate {IDD_SIMPLE, "Simple", 286, 94, kSimple},
    tk::DialogTemplate {IDD_MULTITAP, "Multi-tap", 286, 94, kMultitap},
    tk::DialogTemplate {IDD_SONG_LENGTH, "Song Length", 286, 94, kSongLength},
    tk::DialogTemplate {IDD_ABOUTBOX, "About Beatwise", 254, 61, kAbout},
};

} // namespace

const tk::DialogTemplate& DialogTemplate(int id)
{
    for (const tk::DialogTemplate& dialog : kTemplates) {
        if (dialog.id == id)
            return dialog;
    }
    std::abort(); // every IDD_ constant has a template; tests cover each
}

} // namespace res
