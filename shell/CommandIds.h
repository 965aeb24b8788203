#pragma once
// Command identifiers of the main window. The numbers are the program's resource ids: menus,
// toolbars, accelerators and the instrument pane all route through them, and each QAction keeps its
// id as data so one function can apply the enable table.

namespace shakemeter {

// File menu and main toolbar.
constexpr int ID_FILE_SAVE_BOTH = 32814;       // "&Save..." (recording and report)
constexpr int ID_FILE_OPEN_RECORDING = 32827;  // "&Open..."
constexpr int ID_FILE_PRINT_SETUP = 57606;
constexpr int ID_PREVIEW_GRAPH = 32889;
constexpr int ID_PREVIEW_LIST = 32890;
constexpr int ID_PREVIEW_FREE_FALL = 32904;
constexpr int ID_PRINT_GRAPH = 32891;
constexpr int ID_PRINT_LIST = 32892;
constexpr int ID_PRINT_FREE_FALL = 32905;
constexpr int ID_APP_EXIT = 57665;

// Instrument menu, toolbar, instrument pane.
constexpr int ID_LOGGER_SETUP = 32869;
constexpr int ID_DOWNLOAD = 32847;
constexpr int ID_RUN = 32771;
constexpr int ID_STOP_READING = 32772;
constexpr int ID_FFT_READING = 32909;
constexpr int ID_RELOAD = 32882;

// Window and Help menus.
constexpr int ID_VIEW_INSTRUMENT = 32884;
constexpr int ID_VIEW_SUMMARY = 32885;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_HELP_TOPICS = 32779;

// Analysis menu.
constexpr int ID_ANALYSIS_PSD = 32950;

// Analysis menu: a second recording compared over the shown one.
constexpr int ID_COMPARE_WITH = 0x8300;                  // "Compare &with..."
constexpr int ID_ALIGN_COMPARISON = 0x8301;              // "&Align Comparison..."
constexpr int ID_REMOVE_COMPARISON = 0x8302;             // "Remo&ve Comparison"
constexpr int ID_NUDGE_COMPARISON_EARLIER = 0x8303;      // Alt+Left: the compared traces a sample left
constexpr int ID_NUDGE_COMPARISON_LATER = 0x8304;        // Alt+Right: a sample right
constexpr int ID_NUDGE_COMPARISON_EARLIER_TEN = 0x8305;  // Alt+Shift+Left: ten samples left
constexpr int ID_NUDGE_COMPARISON_LATER_TEN = 0x8306;    // Alt+Shift+Right: ten samples right

// Toolbar only.
constexpr int ID_FREQUENCY_GRAPH = 32906;
constexpr int ID_TIME_GRAPH = 32907;
constexpr int ID_IMPORT_LIST = 32836;

// Accelerators of the standard document commands.
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_PRINT = 57607;
constexpr int ID_FILE_PRINT_PREVIEW = 57609;
constexpr int ID_NEXT_PANE = 59440;
constexpr int ID_PREV_PANE = 59441;

// File > Export: the data for other tools.
constexpr int ID_EXPORT_VISIBLE_CSV = 33101;  // "Visible &Range as CSV..."
constexpr int ID_EXPORT_HDF5 = 33102;         // "&HDF5 File..."

// File, after Export: the session file (the shown and compared recordings, cursors and zoom).
constexpr int ID_SESSION_SAVE = 0x8320;  // "Save Session..."
constexpr int ID_SESSION_OPEN = 0x8321;  // "Open Session..."
// The measuring cursors: Analysis > "Two Cursors" and File > Export > "Range Between Cursors as CSV...".
constexpr int ID_ANALYSIS_TWO_CURSORS = 0x8310;
constexpr int ID_EXPORT_CURSOR_RANGE_CSV = 0x8311;

// The instrument pane's menu bar item that is never shown.
constexpr int ID_CONTEXT_HIDDEN = 32850;

// Resource ids shared by the shell's windows.
constexpr int IDR_MAINFRAME = 128;
constexpr int IDR_INSTRUMENT_MENU = 213;
constexpr int IDD_ABOUTBOX = 100;

}  // namespace shakemeter
