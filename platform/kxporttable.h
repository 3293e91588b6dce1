// The open ports of one transport library, by handle.
#pragma once

#include "kxlink.h"

#include <map>
#include <memory>
#include <mutex>

namespace kxwire {

// Handles of one transport: flag bit plus a running number, never 0 and
// never negative. Lookups hand out shared references, so closing a handle
// while another thread still uses it cannot free the link under it.
class PortTable
{
public:
    explicit PortTable(int flagBit);
    // Returns the new handle, or 0 when the table is full.
    int add(std::shared_ptr<ClientLink> link);
    std::shared_ptr<ClientLink> find(int handle) const;
    std::shared_ptr<ClientLink> take(int handle);

private:
    int m_flagBit;
    mutable std::mutex m_mutex;
    std::map<int, std::shared_ptr<ClientLink>> m_links;
    int m_next = 1;
};

} // namespace kxwire
