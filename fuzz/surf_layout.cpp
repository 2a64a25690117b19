// Arbitrary sizes, anchors, borders, radii and mirror settings through the
// geometry of the drawn, mirror and row surfaces, without a GL context: the
// row layout, the bevelled frame's and the colour box's vertices, the rounded
// rectangle's shape, and a mirror's drawing of a child.
//
// Input: a sequence of little-endian 32-bit values read in order (missing
// ones are 0). Traps when a layout leaves its rules, a vertex lies outside
// its box, a rounded shape leaves its rectangle, or a mirror leaves its
// values on the clip stack; the sanitizers catch overflows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "matrix.h"
#include "rvmsg.h"
#include "surf_borderbox.h"
#include "surf_color_vbo.h"
#include "surf_colorbox.h"
#include "surf_mirror.h"
#include "surf_rect.h"
#include "surf_xalign.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        abort();
}

class CReader
{
public:
    CReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    int Int()
    {
        uint32_t v = 0;
        if (m_pos + 4 <= m_size)
            memcpy(&v, m_data + m_pos, 4);
        m_pos += 4;
        return (int)v;
    }
    // 1 .. iMax.
    int Size(int iMax) { return 1 + (int)((unsigned int)Int() % (unsigned int)iMax); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

void Row(CReader& in)
{
    CSurf root(nullptr, 0, CRVRect(0, 0, 800, 480), CRVRect(0, 0, 480, 800));
    const CRVRect rc(in.Int(), in.Int(), in.Int(), in.Int());
    CSurfXAlign* row = new CSurfXAlign(&root, 1, rc, rc);
    root.AddChildTail(row);
    CRVMSG props(0, 20117, 8, 1);
    props.PutShort((short)in.Int());
    props.PutShort((short)in.Int());
    props.ResetRead();
    row->SetSurfaceProps(&props, 0);
    const int n = in.Size(8) - 1;
    for (int i = 0; i < n; i++) {
        const CRVRect c(in.Int(), in.Int(), in.Int(), in.Int());
        row->AddChildTail(new CSurf(row, 10 + i, c, c));
    }
    for (ORIENT o : {ORIENT_0, ORIENT_1}) {
        row->XAlignChildren(o);
        // Children follow each other without gaps, y and height kept.
        CSurf* prev = nullptr;
        for (CSurf* c = row->FirstChild(); c; c = c->NextSibling()) {
            if (prev)
                Check(c->Position(o).x == (int)((long long)prev->Position(o).x + prev->Position(o).width));
            prev = c;
        }
    }
}

void Boxes(CReader& in)
{
    const int w = in.Size(100000), h = in.Size(100000);
    CSurfBorderBox box(nullptr, 1, CRVRect(0, 0, w, h), CRVRect(0, 0, w, h));
    CRVMSG props(0, 20117, 32, 1);
    for (int i = 0; i < 6; i++) {
        props.PutColorBYTE((unsigned int)in.Int());
        props.PutBYTE((unsigned char)in.Int());
    }
    props.PutBYTE((unsigned char)in.Int());
    props.ResetRead();
    box.SetSurfaceProps(&props, 0);
    RVT_COLOR_VERTEX v[CSurfBorderBox::VERTICES];
    box.BuildVertices(w, h, v);
    for (const RVT_COLOR_VERTEX& p : v)
        Check(p.x >= 0 && p.x <= (float)w && p.y >= 0 && p.y <= (float)h);

    CSurfColorBox cbox(nullptr, 1, CRVRect(0, 0, w, h), CRVRect(0, 0, w, h));
    cbox.Attribs(in.Int());
    RVT_COLOR_VERTEX c[CSurfColorBox::VERTICES];
    cbox.BuildVertices(w, h, c);
    for (const RVT_COLOR_VERTEX& p : c)
        Check(p.x >= 0 && p.x <= (float)w && p.y >= 0 && p.y <= (float)h);

    const int r = in.Int();
    if (r >= 1) {
        RVT_ROUNDED_SHAPE s = CSurfRect::RoundedShape(w, h, r);
        Check(s.iRadius >= 0 && 2LL * s.iRadius <= s.iWidth && 2LL * s.iRadius <= s.iHeight);
        Check(s.iOffsetY >= 0 && (long long)s.iOffsetY + s.iHeight <= h && s.iWidth <= w);
    }
}

void Mirror(CReader& in)
{
    CSurf root(nullptr, 0, CRVRect(0, 0, 800, 480), CRVRect(0, 0, 480, 800));
    const CRVRect rc(in.Int(), in.Int(), in.Int(), in.Int());
    CSurfMirror* mirror = new CSurfMirror(&root, 1, rc, rc);
    root.AddChildTail(mirror);
    CRVMSG props(0, 20117, 16, 1);
    props.PutBYTE((unsigned char)in.Int());
    props.PutBYTE((unsigned char)in.Int());
    props.PutShort((short)in.Int());
    props.PutShort((short)in.Int());
    props.PutColorBYTE((unsigned int)in.Int());
    props.ResetRead();
    mirror->SetSurfaceProps(&props, 0);
    mirror->SetAlpha(in.Int() & 0xFF);
    mirror->AddChildTail(new CSurf(mirror, 2, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10)));

    RVT_MATRIX_CONFIG config;
    config.eOrientation = (ORIENT)(in.Int() & 3);
    config.iOrientMode = (int)((unsigned int)in.Int() % 3);
    config.iOrientProgress = (int)((unsigned int)in.Int() % 1001);
    float m[16];
    MatrixSetIdentity(m);
    CClipStack clip(CRVRect(0, 0, 800, 480));
    mirror->Render(in.Int() & 0xFF, &clip, m, &config);
    Check(clip.MirrorAlpha() == 0 && clip.MirrorLine() == 0 && clip.Depth() == 1);
    Check(config.iOffsetX == 0 && config.iOffsetY == 0 && config.iDepth == 0);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    CSurf::g_bRenderGL = 0;
    CReader in(data, size);
    switch ((unsigned int)in.Int() % 3) {
    case 0: Row(in); break;
    case 1: Boxes(in); break;
    default: Mirror(in); break;
    }
    return 0;
}
