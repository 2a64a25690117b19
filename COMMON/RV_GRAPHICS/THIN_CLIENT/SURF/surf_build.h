// Building surfaces from the controller's surface records (messages 20113 and
// 20114): the record layout, the kind table and the limits that keep a
// hostile record stream from exhausting the stack or memory.
//
// A record is: int ID; int flags (bits 0-7 kind, 8-17 child count, 18
// transform present, 19 rotations present, 20-27 alpha, 28-31 property
// variant whose bit 28 also selects full-size positions); two positions (four
// ints, or four shorts); [three int rotations]; [four short transform]; int
// attributes; the kind's properties; then the child records.
#pragma once

#include "surf.h"

// Record flag fields.
enum
{
    SURF_REC_KIND_MASK = 0xFF,
    SURF_REC_CHILD_SHIFT = 8,
    SURF_REC_CHILD_MASK = 0x3FF,
    SURF_REC_TRANSFORM = 0x40000,
    SURF_REC_ROTATIONS = 0x80000,
    SURF_REC_ALPHA_SHIFT = 20,
    SURF_REC_VARIANT_SHIFT = 28,
    SURF_REC_FULL_POSITIONS = 0x10000000,
};

// Surfaces never nest deeper than this below the root (the root is depth 0).
// Drawing, searching, state changes and deletion all walk the tree
// recursively, so its depth is what bounds their stack use. A record that
// would pass it ends the message: its properties and children cannot be
// skipped without building it.
enum { RV_MAX_SURFACE_DEPTH = 64 };

// The surface class of a record kind, parented (not linked) to pParent; null
// for a kind that has no class of its own (11, 13, 16, 29 and up), which the
// parent's CreateSubSurface is asked for instead.
CSurf* CreateSurfaceOfKind(CSurf* pParent, int iKind, int iID, CRVRect rc0, CRVRect rc1);
