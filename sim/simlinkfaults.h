// Transport faults a virtual reader's links inject on request: dropping the
// link after a number of frames, delaying answers and corrupting answer CRCs.
// Shared by all links of one reader; thread-safe.
#pragma once

#include <mutex>

namespace kxsim {

class SimLinkFaults
{
public:
    enum class Action { Answer, Drop };

    // After `frames` more answered requests, the next request closes the link
    // instead of being answered (once). A negative value disarms it.
    void dropAfterFrames(int frames);
    // Every answer waits this long before it is sent (0: none).
    void setDelayMs(int delayMs);
    // The next `count` answers carry a wrong CRC; -1 corrupts every answer, 0 none.
    void corruptCrc(int count);
    void clear();

    // Called by a link for every request frame.
    Action onRequest();
    int delayMs() const;
    // True when this answer's CRC is to be corrupted (consumes one).
    bool takeCorruption();
    int dropCountdown() const;

private:
    mutable std::mutex m_mutex;
    int m_dropAfter = -1;
    int m_delayMs = 0;
    int m_corrupt = 0;
};

} // namespace kxsim
