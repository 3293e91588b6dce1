#include "simlinkfaults.h"

namespace kxsim {

void SimLinkFaults::dropAfterFrames(int frames)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dropAfter = frames < 0 ? -1 : frames;
}

void SimLinkFaults::setDelayMs(int delayMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_delayMs = delayMs < 0 ? 0 : delayMs;
}

void SimLinkFaults::corruptCrc(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_corrupt = count < -1 ? -1 : count;
}

void SimLinkFaults::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dropAfter = -1;
    m_delayMs = 0;
    m_corrupt = 0;
}

SimLinkFaults::Action SimLinkFaults::onRequest()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_dropAfter < 0)
        return Action::Answer;
    if (m_dropAfter == 0) {
        m_dropAfter = -1;
        return Action::Drop;
    }
    --m_dropAfter;
    return Action::Answer;
}

int SimLinkFaults::delayMs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_delayMs;
}

bool SimLinkFaults::takeCorruption()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_corrupt == 0)
        return false;
    if (m_corrupt > 0)
        --m_corrupt;
    return true;
}

int SimLinkFaults::dropCountdown() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dropAfter;
}

} // namespace kxsim
