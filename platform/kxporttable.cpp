#include "kxporttable.h"

namespace kxwire {

PortTable::PortTable(int flagBit) : m_flagBit(flagBit) {}

int PortTable::add(std::shared_ptr<ClientLink> link)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    constexpr int kMask = 0x0FFFFFFF;
    for (int tries = 0; tries < 1024; ++tries) {
        const int number = m_next;
        m_next = (m_next % kMask) + 1;
        const int handle = m_flagBit | number;
        if (m_links.count(handle) == 0) {
            m_links.emplace(handle, std::move(link));
            return handle;
        }
    }
    return 0;
}

std::shared_ptr<ClientLink> PortTable::find(int handle) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_links.find(handle);
    return it == m_links.end() ? nullptr : it->second;
}

std::shared_ptr<ClientLink> PortTable::take(int handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_links.find(handle);
    if (it == m_links.end())
        return nullptr;
    auto link = it->second;
    m_links.erase(it);
    return link;
}

} // namespace kxwire
