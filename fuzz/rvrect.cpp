// Rectangle arithmetic fed with arbitrary 32-bit values, as rectangles from
// the controller arrive. UBSan flags any overflow; the checks below trap on a
// list that breaks its own rules or an intersection that leaves its bound.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "rvrect.h"

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;

    int Int()
    {
        uint32_t v = 0;
        size_t n = size < 4 ? size : 4;
        memcpy(&v, data, n);
        data += n;
        size -= n;
        return static_cast<int>(v);
    }
    CRVRect Rect()
    {
        int x = Int(), y = Int(), w = Int(), h = Int();
        return CRVRect(x, y, w, h);
    }
};

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

void CheckList(const CRectList& list)
{
    Check(list.Count() >= 0 && list.Count() <= CRectList::MAX_RECTS);
    for (int i = 0; i < list.Count(); ++i)
        Check(!list.RectAtIndex(i).IsEmpty());
    (void)list.Area();
    (void)list.GetBounds();
}

void RectOps(Reader& in, CRVRect r)
{
    CRVRect o = in.Rect();
    int a = in.Int(), b = in.Int();
    const CRVRect bound(a & 0xFFFF, b & 0xFFFF, (a >> 16) & 0x7FFF, (b >> 16) & 0x7FFF);
    CRVRect i = o.IntersectWith(bound);
    Check(i.IsEmpty() || i.IsInside(bound));
    Check(o.IntersectsWith(bound) == !i.IsEmpty());

    RVT_INSETS insets = {a, b, a, b};
    r.Inset(a, b);
    r.Inset(insets);
    r.Offset(b, a);
    r.Offset(insets);
    (void)r.CreateInset(a, b);
    r.CenterDownTo(a, b);
    r.CenterUpTo(b, a);
    (void)r.BreakOffLeft(a, b);
    (void)r.BreakOffRight(a, b);
    (void)r.BreakOffTop(a, b);
    (void)r.BreakOffBottom(a, b);
    delete r.CreateBreakOffLeft(a & 0xFF, b);
    (void)r.CreateSplitLeft(a);
    (void)r.CreateSplitRight(a);
    (void)r.CreateSplitTop(b);
    (void)r.CreateSplitBottom(b);
    (void)r.CreateXSection(a, b, a);
    (void)r.CreateYSection(b, a, b);
    const int weights[3] = {a, b, a ^ b};
    (void)r.CreateXSectionWeighted(a & 3, weights, 3, b);
    (void)r.ConfineToAspect(a, b);
    r.BlendWith(o, a);
    r.CombineWith(o);
    (void)r.GetRECT();
    (void)r.IsPointInside(a, b);
    (void)r.Contains(o);
    (void)CX12Rect(a, b, o.x, o.y);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in{data, size};
    CRectList list;
    CClipStack clips(CRVRect(0, 0, 1920, 1080));
    while (in.size > 0) {
        uint8_t op = *in.data;
        ++in.data;
        --in.size;
        switch (op % 12) {
        case 0: list.AddRectRef(in.Rect()); break;
        case 1: list.Subtract(in.Rect()); break;
        case 2: list.AddRectDirectRef(in.Rect()); break;
        case 3: list.Consolidate(); break;
        case 4: {
            int i = in.Int(), n = in.Int();
            switch ((op >> 4) & 3) {
            case 0: list.SplitBreakOffTop(i, n); break;
            case 1: list.SplitBreakOffBottom(i, n); break;
            case 2: list.SplitBreakOffLeft(i, n); break;
            default: list.SplitBreakOffRight(i, n); break;
            }
            break;
        }
        case 5: list.DeleteRect(in.Int() & 0x1FF); break;
        case 6: {
            int dx = in.Int();
            list.Translate(dx, in.Int());
            break;
        }
        case 7: {
            CRectList other(list);
            other.AddRectRef(in.Rect());
            other.SubtractFrom(&list);
            other.AppendTo(&list);
            break;
        }
        case 8:
            clips.PushClip(in.Rect());
            Check(clips.Clip().IsEmpty() || clips.Clip().IsInside(CRVRect(0, 0, 1920, 1080)));
            break;
        case 9: clips.PopClip(); break;
        case 10: RectOps(in, in.Rect()); break;
        default: {
            CRVRect r = list.RectAtIndex(in.Int() & 0x1FF);
            (void)list.RectIntersects(op, r);
            break;
        }
        }
        CheckList(list);
        Check(clips.Depth() >= 1 && clips.Depth() <= CClipStack::MAX_DEPTH);
    }
    return 0;
}
