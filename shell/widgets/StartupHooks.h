#pragma once
// Ways for the tests that run the built program as a process to drive it where a user would click:
// each is switched on by an environment variable and does nothing without it. Not for users.
//   SHAKEMETER_TEST_ANSWERS   "yes,no,...": the questions answered in order (No when none is
//                             left); every question and message is written to standard error
//   SHAKEMETER_TEST_SAVE_PATH what the save dialog gives (nothing: the dialog is cancelled)
//   SHAKEMETER_TEST_READING   "RATE:POINTS": a real-time reading started at once, RATE the index
//                             in the run dialog's list of rates
//   SHAKEMETER_TEST_CLOSE     "1": the window closed once it is up, as by File > Exit

namespace shakemeter {

class CMainFrame;
class Prompter;

// The prompter the hooks ask for, or null to keep the program's own.
Prompter* StartupHookPrompter();
// What the hooks do once the window is up.
void RunStartupHooks(CMainFrame& frame);

}  // namespace shakemeter
