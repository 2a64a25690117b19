// Arbitrary bytes as the surface records of an add-surfaces message, built
// into a root surface (no main window, no GL context: building draws
// nothing), then offered again as every new surface's properties, as a
// properties message would.
//
// Input: byte 0 bit 0 is the head/tail flag, bytes 1-2 the record count
// (low 10 bits); the rest is the message data, in a heap block of exactly its
// size. Traps on a tree deeper than the builder's bound or with broken links;
// the sanitizers catch the rest, and the leak checker any surface left over.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "rvmsg.h"
#include "surf.h"
#include "surf_build.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        abort();
}

// Walks the tree without recursion, so a broken depth bound traps here
// instead of overflowing the stack; collects every surface below the root.
void CheckTree(CSurf* pRoot, std::vector<CSurf*>* pAll)
{
    struct Item { CSurf* p; int depth; };
    std::vector<Item> todo{{pRoot, 0}};
    while (!todo.empty()) {
        Item it = todo.back();
        todo.pop_back();
        Check(it.depth <= RV_MAX_SURFACE_DEPTH);
        CSurf* pPrev = nullptr;
        for (CSurf* c = it.p->FirstChild(); c; c = c->NextSibling()) {
            Check(c->Parent() == it.p);
            Check(c->PrevSibling() == pPrev);
            pPrev = c;
            pAll->push_back(c);
            todo.push_back({c, it.depth + 1});
        }
        Check(it.p->LastChild() == pPrev);
    }
}

std::vector<uint8_t> Frame(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> frame(RV_HEADER_SIZE + size);
    RVT_HEADER h{0, 20114, (unsigned int)size};
    memcpy(frame.data(), &h, sizeof h);
    if (size)
        memcpy(frame.data() + RV_HEADER_SIZE, data, size);
    return frame;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3 || size > RV_MAX_MSG_DATA)
        return 0;
    const int bAtHead = data[0] & 1;
    const int iCount = (data[1] | data[2] << 8) & 0x3FF;
    data += 3;
    size -= 3;

    std::vector<uint8_t> frame = Frame(data, size);
    CRVMSG msg(reinterpret_cast<RVT_HEADER*>(frame.data()));
    CSurf root(nullptr, 0, CRVRect(0, 0, 800, 480), CRVRect(0, 0, 480, 800));
    int bWhole = root.AddSubSurfaces(&msg, bAtHead, iCount);
    Check(bWhole == 0 || bWhole == 1);
    // An incomplete build leaves nothing for the caller to misread.
    Check(bWhole || msg.BytesLeft() == 0);

    std::vector<CSurf*> all;
    CheckTree(&root, &all);
    // The same bytes as properties of each new surface (a bounded number).
    for (size_t i = 0; i < all.size() && i < 64; ++i) {
        CRVMSG props(reinterpret_cast<RVT_HEADER*>(frame.data()));
        all[i]->SetSurfaceProps(&props, 0);
    }
    return 0;
}
