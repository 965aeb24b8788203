#pragma once
// Hands a document to the desktop's opener program (xdg-open), which starts whatever the desktop
// has registered for it. The opener tells whether that worked only by its exit status, and it may
// wait for the program it started, so a failure arrives later through a callback. The opener runs
// on after the window that asked for it is gone, so a browser it started stays open.

#include <QString>
#include <QUrl>
#include <functional>

namespace shakemeter {

// Starts opener with the document's address. onFailure runs (in the event loop) when the opener
// ends with a failure; false when the opener is not installed or cannot be started.
bool StartDesktopOpener(const QUrl& document, std::function<void()> onFailure,
                        const QString& opener = QStringLiteral("xdg-open"));

}  // namespace shakemeter
