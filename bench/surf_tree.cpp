// A page set of 1,000 surfaces on a main window without a display (nothing is
// drawn; without a session, replies go nowhere): building it from one 20114
// batch, finding every surface by ID, and hit-testing points on the screen.
//
// The tree is what a controller sends for a paged screen: 50 pages (kind 0,
// plain containers), each with 19 touchable rectangles (kind 1, with their
// colours and corner radius) in a 5 x 4 grid, 1,000 surfaces in all.
//
// References in this program: a bare unordered_map from ID to surface for
// FindSurface (the main window answers from its ID index; a walk of the tree
// would visit half of it on average), and
// the same two-level hit test over flat arrays of screen rectangles (no
// virtual calls, no clip stack), checked to give the same answers as the tree.
#include "gldelegate.h"
#include "mainwnd.h"
#include "msgids.h"
#include "rvmsg.h"
#include "surf_build.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <unordered_map>
#include <vector>

// The main window reaches the window system through these; there is none here.
void GLDelegateValidateScreen(void*) {}
int GLDelegateFileSavePrompt(void*, wchar_t*, int, const wchar_t*) { return 0; }
void GLDelegateStartCamera(void*, int, int, int) {}
void GLDelegateStopCamera(void*) {}

namespace {

const int kPages = 50;
const int kPerPage = 19;
const int kSurfaces = kPages * (kPerPage + 1);
const int kScreenW = 800;
const int kScreenH = 480;

int PageID(int p) { return 0x10000 + p; }
int RectID(int p, int c) { return 0x20000 + p * 100 + c; }

// Pages side by side (one on the screen, as a pager has them) or all stacked
// on the screen, so that a point missing the top page's rectangles is tried
// on every page below.
enum LAYOUT { SIDE_BY_SIDE = 0, STACKED = 1 };

CRVRect PageRect(int p, LAYOUT eLayout)
{
    return CRVRect(eLayout == STACKED ? 0 : p * kScreenW, 0, kScreenW, kScreenH);
}

// Cells of 160 x 120 with a 5-pixel margin; the 20th cell stays empty.
CRVRect CellRect(int c)
{
    return CRVRect((c % 5) * 160 + 5, (c / 5) * 120 + 5, 150, 110);
}

// ID, flags, both positions as shorts, attributes: the record without its
// properties and children.
void PutRecordHead(CRVMSG& m, int iID, int iKind, int iChildren, const CRVRect& rc, int iAttribs)
{
    m.PutInt(iID);
    m.PutInt(iKind | iChildren << SURF_REC_CHILD_SHIFT | 255 << SURF_REC_ALPHA_SHIFT);
    m.PutShortRECT(rc);
    m.PutShortRECT(rc);
    m.PutInt(iAttribs);
}

void PutRect(CRVMSG& m, int p, int c)
{
    PutRecordHead(m, RectID(p, c), 1, 0, CellRect(c), CSurf::SA_TOUCHABLE);
    m.PutColorBYTE(0x203040 + c);
    m.PutColorBYTE(0x405060 + p);
    m.PutBYTE(8);
}

// One 20114 batch. Nested: 50 records, each a page carrying its rectangles.
// Flat: 1,000 records, the pages first, then every rectangle as a record of
// its own naming its page, so that each one costs a FindSurface of the page.
std::vector<unsigned char> AddSurfacesFrame(LAYOUT eLayout, bool bFlat)
{
    CRVMSG m((short)((bFlat ? kSurfaces : kPages) - 1), MSG_ADD_SURFACES, 0, 1);
    for (int p = 0; p < kPages; ++p) {
        m.PutInt(0);   // the root
        PutRecordHead(m, PageID(p), 0, bFlat ? 0 : kPerPage, PageRect(p, eLayout), 0);
        for (int c = 0; !bFlat && c < kPerPage; ++c)
            PutRect(m, p, c);
    }
    for (int p = 0; bFlat && p < kPages; ++p) {
        for (int c = 0; c < kPerPage; ++c) {
            m.PutInt(PageID(p));
            PutRect(m, p, c);
        }
    }
    const unsigned char* f = reinterpret_cast<const unsigned char*>(m.MSG());
    return std::vector<unsigned char>(f, f + m.MSGSize());
}

// 20118: every surface moved to where it already is, one record each.
std::vector<unsigned char> SetPositionFrame(LAYOUT eLayout)
{
    CRVMSG m((short)(kSurfaces - 1), MSG_SET_POSITION, 0, 1);
    for (int p = 0; p < kPages; ++p) {
        m.PutInt(PageID(p));
        m.PutRECT(PageRect(p, eLayout));
        for (int c = 0; c < kPerPage; ++c) {
            m.PutInt(RectID(p, c));
            m.PutRECT(CellRect(c));
        }
    }
    const unsigned char* f = reinterpret_cast<const unsigned char*>(m.MSG());
    return std::vector<unsigned char>(f, f + m.MSGSize());
}

std::vector<int> AllIDs()
{
    std::vector<int> ids;
    for (int p = 0; p < kPages; ++p) {
        ids.push_back(PageID(p));
        for (int c = 0; c < kPerPage; ++c)
            ids.push_back(RectID(p, c));
    }
    std::shuffle(ids.begin(), ids.end(), std::mt19937(20114));
    return ids;
}

int CountBelow(CSurf* pSurf)
{
    int n = 0;
    for (CSurf* c = pSurf->FirstChild(); c; c = c->NextSibling())
        n += 1 + CountBelow(c);
    return n;
}

// A main window in orientation 0, without GL.
class Window
{
public:
    Window()
    {
        CSurf::g_bRenderGL = 0;
        m_pWnd = new CMainWnd(nullptr, 1, kScreenW, kScreenH, kScreenH, kScreenW, 1);
    }
    ~Window() { delete m_pWnd; }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    void Process(std::vector<unsigned char>& frame)
    {
        CRVMSG msg(reinterpret_cast<RVT_HEADER*>(frame.data()));
        m_pWnd->ProcessMessage(&msg);
    }
    void Clear()
    {
        m_pWnd->DeleteAllSubSurf();
        m_pWnd->CleanupGarbage();
    }
    CMainWnd* operator->() { return m_pWnd; }
    CMainWnd* Get() { return m_pWnd; }

private:
    CMainWnd* m_pWnd;
};

// Processes the batch; false (the benchmark skipped) unless it built the
// whole tree.
bool Build(benchmark::State& state, Window& wnd, std::vector<unsigned char>& frame)
{
    wnd.Process(frame);
    if (CountBelow(wnd.Get()) != kSurfaces) {
        state.SkipWithError("the batch did not build 1,000 surfaces");
        return false;
    }
    return true;
}

bool BuildTree(benchmark::State& state, Window& wnd, LAYOUT eLayout)
{
    std::vector<unsigned char> frame = AddSurfacesFrame(eLayout, false);
    return Build(state, wnd, frame);
}

// Arg 0: nested records (50); arg 1: flat records (1,000), each rectangle's
// parent found by FindSurface. Tearing the tree down is not timed.
void BM_BuildFromBatch(benchmark::State& state)
{
    Window wnd;
    std::vector<unsigned char> frame = AddSurfacesFrame(SIDE_BY_SIDE, state.range(0) != 0);
    if (!Build(state, wnd, frame))
        return;
    wnd.Clear();
    for (auto _ : state) {
        wnd.Process(frame);
        state.PauseTiming();
        if (CountBelow(wnd.Get()) != kSurfaces)
            state.SkipWithError("the batch did not build 1,000 surfaces");
        wnd.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kSurfaces);
    state.counters["bytes_per_batch"] = (double)frame.size();
}

// Every ID once, in a shuffled order: the depth-first search visits half the
// tree on average.
void BM_FindSurface(benchmark::State& state)
{
    Window wnd;
    if (!BuildTree(state, wnd, SIDE_BY_SIDE))
        return;
    std::vector<int> ids = AllIDs();
    for (int id : ids) {
        if (!wnd->FindSurface(id)) {
            state.SkipWithError("a surface was not found");
            return;
        }
    }
    for (auto _ : state) {
        for (int id : ids)
            benchmark::DoNotOptimize(wnd->FindSurface(id));
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)ids.size());
}

// An ID that is not in the tree: the whole tree is searched.
void BM_FindSurfaceMissing(benchmark::State& state)
{
    Window wnd;
    if (!BuildTree(state, wnd, SIDE_BY_SIDE))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(wnd->FindSurface(0x7FFF0000));
    state.SetItemsProcessed(state.iterations());
}

// Reference: the same lookups in a hash map from ID to surface.
void BM_FindInMap(benchmark::State& state)
{
    Window wnd;
    if (!BuildTree(state, wnd, SIDE_BY_SIDE))
        return;
    std::vector<int> ids = AllIDs();
    std::unordered_map<int, CSurf*> map;
    for (int id : ids)
        map[id] = wnd->FindSurface(id);
    for (auto _ : state) {
        for (int id : ids)
            benchmark::DoNotOptimize(map.find(id)->second);
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)ids.size());
}

// A 20118 batch naming every surface once: one FindSurface per record, under
// the tree lock, as every batch message does.
void BM_SetPositionBatch(benchmark::State& state)
{
    Window wnd;
    if (!BuildTree(state, wnd, SIDE_BY_SIDE))
        return;
    std::vector<unsigned char> frame = SetPositionFrame(SIDE_BY_SIDE);
    for (auto _ : state)
        wnd.Process(frame);
    state.SetItemsProcessed(state.iterations() * kSurfaces);
}

// Random points on the screen, the same for every run.
std::vector<POINT> Points()
{
    std::mt19937 rng(480);
    std::uniform_int_distribution<int> x(0, kScreenW - 1), y(0, kScreenH - 1);
    std::vector<POINT> pts(1024);
    for (POINT& pt : pts)
        pt = POINT{ x(rng), y(rng) };
    return pts;
}

// The reference hit test: pages and their rectangles as screen rectangles,
// topmost first, the same pruning by page as the tree's.
struct FLAT_PAGE
{
    CRVRect rc;
    std::vector<CRVRect> cells;
};

std::vector<FLAT_PAGE> FlatPages(LAYOUT eLayout)
{
    std::vector<FLAT_PAGE> pages;
    for (int p = kPages - 1; p >= 0; --p) {
        FLAT_PAGE page{ PageRect(p, eLayout), {} };
        for (int c = kPerPage - 1; c >= 0; --c) {
            CRVRect cell = CellRect(c);
            page.cells.push_back(CRVRect(page.rc.x + cell.x, page.rc.y + cell.y, cell.width, cell.height));
        }
        pages.push_back(page);
    }
    return pages;
}

bool Inside(const CRVRect& rc, POINT pt)
{
    return pt.x >= rc.x && pt.x < rc.x + rc.width && pt.y >= rc.y && pt.y < rc.y + rc.height;
}

int FlatHitTest(const std::vector<FLAT_PAGE>& pages, POINT pt)
{
    if (!Inside(CRVRect(0, 0, kScreenW, kScreenH), pt))
        return 0;
    for (const FLAT_PAGE& page : pages) {
        if (!Inside(page.rc, pt))
            continue;
        for (const CRVRect& cell : page.cells)
            if (Inside(cell, pt))
                return 1;
    }
    return 0;
}

int TreeHitTest(Window& wnd, POINT pt)
{
    // A fresh clip stack per test, as the window's mouse handlers make one.
    CClipStack clip(wnd->ClientRect(ORIENT_0));
    return wnd->HitTest(ORIENT_0, pt, &clip);
}

// The tree and the reference must agree on every point before either is timed.
bool SameAnswers(benchmark::State& state, Window& wnd, const std::vector<FLAT_PAGE>& pages,
                 const std::vector<POINT>& pts)
{
    int nHits = 0;
    for (POINT pt : pts) {
        int iTree = TreeHitTest(wnd, pt);
        if (iTree != FlatHitTest(pages, pt)) {
            state.SkipWithError("the tree and the reference disagree");
            return false;
        }
        nHits += iTree != 0;
    }
    state.counters["hit_share"] = (double)nHits / (double)pts.size();
    return true;
}

// Arg: the layout (0 side by side, 1 stacked).
void BM_HitTest(benchmark::State& state)
{
    LAYOUT eLayout = (LAYOUT)state.range(0);
    Window wnd;
    if (!BuildTree(state, wnd, eLayout))
        return;
    std::vector<POINT> pts = Points();
    if (!SameAnswers(state, wnd, FlatPages(eLayout), pts))
        return;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TreeHitTest(wnd, pts[i]));
        i = (i + 1) & (pts.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_HitTestFlatReference(benchmark::State& state)
{
    LAYOUT eLayout = (LAYOUT)state.range(0);
    Window wnd;
    if (!BuildTree(state, wnd, eLayout))
        return;
    std::vector<POINT> pts = Points();
    std::vector<FLAT_PAGE> pages = FlatPages(eLayout);
    if (!SameAnswers(state, wnd, pages, pts))
        return;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FlatHitTest(pages, pts[i]));
        i = (i + 1) & (pts.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

// The share of a hit test that is making its clip stack (256 rectangles
// for each of its two stacks).
void BM_ClipStackOnly(benchmark::State& state)
{
    Window wnd;
    for (auto _ : state) {
        CClipStack clip(wnd->ClientRect(ORIENT_0));
        benchmark::DoNotOptimize(&clip);
    }
    state.SetItemsProcessed(state.iterations());
}

// The whole input path of a click: mouse down (tree lock, clip stack, touch
// down, the touch report built) and mouse up, at window coordinates.
void BM_MouseDownUp(benchmark::State& state)
{
    LAYOUT eLayout = (LAYOUT)state.range(0);
    Window wnd;
    if (!BuildTree(state, wnd, eLayout))
        return;
    std::vector<POINT> pts = Points();
    size_t i = 0;
    for (auto _ : state) {
        // Window y grows upwards.
        POINT pt = pts[i];
        wnd->OnMouseDown(pt.x, kScreenH - pt.y);
        wnd->OnMouseUp(pt.x, kScreenH - pt.y);
        i = (i + 1) & (pts.size() - 1);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_BuildFromBatch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindSurface)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindSurfaceMissing);
BENCHMARK(BM_FindInMap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SetPositionBatch)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HitTest)->Arg(0)->Arg(1);
BENCHMARK(BM_HitTestFlatReference)->Arg(0)->Arg(1);
BENCHMARK(BM_ClipStackOnly);
BENCHMARK(BM_MouseDownUp)->Arg(0)->Arg(1);
