#include "surf_index.h"

void CSurfIDIndex::Remove(int iID, CSurf* pSurf)
{
    auto range = m_Surfaces.equal_range(iID);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == pSurf) {
            m_Surfaces.erase(it);
            return;
        }
    }
}

CSurf* CSurfIDIndex::Find(int iID, bool* pbShared) const
{
    *pbShared = false;
    auto it = m_Surfaces.find(iID);
    if (it == m_Surfaces.end())
        return nullptr;
    auto next = it;
    if (++next != m_Surfaces.end() && next->first == iID) {
        *pbShared = true;
        return nullptr;
    }
    return it->second;
}
