#pragma once

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_SIMPLE = 102;
inline constexpr int IDD_SONG_LENGTH = 106;
inline constexpr int IDD_MULTITAP = 132;

// Icons, as resource folders holding one PNG per size.
inline constexpr const char* IDR_MAINFRAME = ":/icons/beatwise"; // icon 128
inline constexpr const char* IDI_PAGE = ":/icons/page"; // icon 135

// The help document.
inline constexpr const char* IDR_HELP = "qrc:/help/beatwise.html";

// Controls of every page.
inline constexpr int IDC_TEMPO = 1000;
inline constexpr int IDC_TEMPO_SPIN = 1003;
inline constexpr int IDC_TEMPO_SLIDER = 136;
inline constexpr int IDC_RESET = 1013;
inline constexpr int IDC_ABOUT = 1014;

// Simple page.
inline constexpr int IDC_DELAY = 1001;
inline constexpr int IDC_CYCLES_SPIN = 1004;
inline constexpr int IDC_FREQUENCY = 1006;
inline constexpr int IDC_LENGTH_LIST = 1007;
inline constexpr int IDC_CYCLES = 1008;
inline constexpr int IDC_TAP_TEMPO = 1015;

// Multi-tap page.
inline constexpr int IDC_MULTITAP_LIST = 1015;

// Song Length page.
inline constexpr int IDC_SONG_TIME = 1001;
inline constexpr int IDC_SONG_BARS = 1002;
inline constexpr int IDC_COUNT = 1018;
inline constexpr int IDC_SIG_4_4 = 1019;
inline constexpr int IDC_SIG_3_4 = 1020;
inline constexpr int IDC_SIG_6_8 = 1021;
inline constexpr int IDC_SIG_2_4 = 1022;
inline constexpr int IDC_SIG_5_8 = 1023;
inline constexpr int IDC_SIG_7_8 = 1024;
inline constexpr int IDC_SIG_GROUP = 1025;

// About box.
inline constexpr int IDOK = 1;
