// A drawing pad under arbitrary touches, resizes, properties and clearing, as
// the user's input and the controller's messages can mix them. No session is
// set, so the strokes' messages are built and dropped.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "msgids.h"
#include "rvmsg.h"
#include "surf_draw.h"

#include "fuzz_reader.h"

namespace {

struct Reader : FuzzReader {
    using FuzzReader::FuzzReader;

    // Positions and touch points: what a screen and a sane layout give (the
    // tree's own coordinate arithmetic is not what this target is about).
    int Coord() { return static_cast<int>(U32() % 2200) - 100; }
    // Sizes: mostly up to about a thousand, now and then any int.
    int Size() { return (Byte() & 7) ? static_cast<int>(Byte()) * 4 : Int(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in{data, size};
    CSurf::g_bRenderGL = 0;
    CSurf root(nullptr, 0, CRVRect(0, 0, 800, 600), CRVRect(0, 0, 600, 800));
    CSurfDraw* pad = new CSurfDraw(&root, 1, CRVRect(in.Coord(), in.Coord(), in.Byte(), in.Byte()),
                                   CRVRect(in.Coord(), in.Coord(), in.Byte(), in.Byte()));
    root.AddChildTail(pad);
    pad->Attribs(in.Byte() & 1 ? CSurf::SA_TOUCHABLE : 0);
    for (int step = 0; step < 64 && in.size; step++) {
        const ORIENT o = in.Byte() & 1 ? ORIENT_1 : ORIENT_0;
        const POINT pt{in.Coord(), in.Coord()};
        switch (in.Byte() % 7) {
        case 0: {
            CClipStack clip(root.ClientRect(o));
            root.OnTouchDown(o, pt, 0, &clip);
            break;
        }
        case 1:
            root.OnTouchMove(o, pt, 0);
            break;
        case 2:
            root.OnTouchUp(o, pt, 0);
            break;
        case 3:
            root.OnTouchCancel(o, pt);
            break;
        case 4:
            pad->SetPosition(o, CRVRect(in.Coord(), in.Coord(), in.Size(), in.Size()));
            break;
        case 5: {
            CRVMSG props(0, MSG_SURFACE_PROPS, 4, 1);
            props.PutColorBYTE(in.U32());
            props.PutBYTE(in.Byte());
            props.ResetRead();
            pad->SetSurfaceProps(&props, 0);
            break;
        }
        default:
            pad->SetAttribute(in.Byte() & 1 ? 0x10000 : in.Int(), in.Int(), 0);
            break;
        }
        // The stroke's points always lie within what a message can carry.
        if (pad->PointCount() > CSurfDraw::MAX_STROKE_POINTS)
            __builtin_trap();
    }
    return 0;
}
