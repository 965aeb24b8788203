// A core that reaches up into a widget folder.
#include "recording/RecordingPane.h"
#include "shell/widgets/CMainFrame.h"
