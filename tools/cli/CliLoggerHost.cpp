#include "tools/cli/CliLoggerHost.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace shakemeter::cli {

void CliLoggerHost::ShowMessage(MessageKind, const std::string& text)
{
    ++m_messages;
    std::fprintf(stderr, "%s\n", text.c_str());
}

void CliLoggerHost::StartTimer(int ms)
{
    m_timerPeriod = ms > 0 ? ms : 1;
}

bool CliLoggerHost::WaitForTick() const
{
    if (m_timerPeriod <= 0)
        return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(m_timerPeriod));
    return true;
}

}  // namespace shakemeter::cli
