#pragma once
// Starts an installer by its full path, detached: the launcher neither waits for it nor owns it.

#include <QString>

namespace setupgate {

struct StartResult {
    bool started = false;
    QString message;  // for the user when the program could not be started
};

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    virtual StartResult Start(const QString& programPath);
};

}  // namespace setupgate
