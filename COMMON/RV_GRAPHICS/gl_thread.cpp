#include "gl_thread.h"

namespace {

thread_local int t_iDrawingDepth = 0;

}   // namespace

CGLDrawingScope::CGLDrawingScope()
{
    t_iDrawingDepth++;
}

CGLDrawingScope::~CGLDrawingScope()
{
    t_iDrawingDepth--;
}

int GLIsDrawingThread()
{
    return t_iDrawingDepth > 0;
}
