// CSurfIDIndex: the surfaces of one tree by ID, so that the controller's
// messages, which name their surfaces by ID, find them without walking the
// tree.
//
// The tree keeps it exact: a surface is in the index exactly while it is
// linked below the index's root (CSurf adds a subtree when it is linked under
// an indexed surface and takes it out when it is unlinked or deleted). IDs
// need not be unique: when several surfaces share one, the caller walks the
// tree, so that the first in depth-first order still wins.
#pragma once

#include <stddef.h>

#include <unordered_map>

class CSurf;

class CSurfIDIndex
{
public:
    explicit CSurfIDIndex(CSurf* pRoot) : m_pRoot(pRoot) {}

    CSurf* Root() const { return m_pRoot; }
    void Add(int iID, CSurf* pSurf) { m_Surfaces.emplace(iID, pSurf); }
    void Remove(int iID, CSurf* pSurf);
    // The one surface with the ID; null when there is none. *pbShared is set
    // when more than one has it (null is returned then too).
    CSurf* Find(int iID, bool* pbShared) const;
    size_t Size() const { return m_Surfaces.size(); }

private:
    CSurf* m_pRoot;
    std::unordered_multimap<int, CSurf*> m_Surfaces;
};
