// Which thread may touch the engine's GL objects right now.
//
// The engine's context is made current by the front end around each frame,
// on whichever thread draws; that thread opens a drawing scope for as long as
// the context is current there. GL objects are made, drawn and deleted only
// inside a scope; code that would release GL names elsewhere hands them to
// the GL trash (gl_trash.h) instead, which the main window empties inside its
// drawing scope.
#pragma once

// Marks the calling thread as the drawing thread while it lives. Scopes nest.
class CGLDrawingScope
{
public:
    CGLDrawingScope();
    ~CGLDrawingScope();
    CGLDrawingScope(const CGLDrawingScope&) = delete;
    CGLDrawingScope& operator=(const CGLDrawingScope&) = delete;
};

// 1 while the calling thread is inside a drawing scope.
int GLIsDrawingThread();
