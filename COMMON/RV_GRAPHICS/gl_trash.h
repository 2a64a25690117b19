// Deferred deletion of OpenGL names.
//
// A GL name may only be deleted by the thread that has the context current,
// the drawing thread. Objects that own textures or buffers are shared by
// reference count, so the last reference can drop on any thread (a stream
// thread letting go of its video picture, say). Their destructors therefore
// never call the GL: they hand their names here, and the drawing thread
// deletes them in one batch with GLFlushTrash. Safe from any thread.
#pragma once

// Queue a name; 0 and the "none" value 0xFFFFFFFF are ignored.
void GLTrashTexture(unsigned int uTexture);
void GLTrashBuffer(unsigned int uBuffer);

// Drawing thread (inside a CGLDrawingScope, gl_thread.h), context current:
// deletes everything queued. Returns the number of names deleted; elsewhere
// it deletes nothing and returns 0.
int GLFlushTrash();

// The context is gone and its names with it: forget the queue without any GL
// call (a new context may hand out the same numbers again).
void GLForgetTrash();

// Names waiting, for tests and diagnostics.
int GLTrashCount();
