// Deferred deletion of OpenGL names: a locked queue drained on the drawing
// thread.
#define GL_GLEXT_PROTOTYPES 1
#include "gl_trash.h"

#include "gl_thread.h"
#include "rvdebug.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <mutex>
#include <vector>

namespace {

struct GLTrash
{
    std::mutex lock;
    std::vector<GLuint> textures;
    std::vector<GLuint> buffers;
};

// Never destroyed: objects released during process exit may still queue.
GLTrash& Trash()
{
    static GLTrash* pTrash = new GLTrash;
    return *pTrash;
}

void Queue(std::vector<GLuint>* pList, unsigned int uName)
{
    if (uName == 0 || uName == 0xFFFFFFFFu)
        return;
    std::lock_guard<std::mutex> hold(Trash().lock);
    pList->push_back(uName);
}

}  // namespace

void GLTrashTexture(unsigned int uTexture)
{
    Queue(&Trash().textures, uTexture);
}

void GLTrashBuffer(unsigned int uBuffer)
{
    Queue(&Trash().buffers, uBuffer);
}

int GLFlushTrash()
{
    // Elsewhere the names could belong to no context, or to another one.
    if (!GLIsDrawingThread()) {
        RV_ASSERT(!"GL trash flushed off the drawing thread");
        return 0;
    }
    std::vector<GLuint> textures, buffers;
    {
        std::lock_guard<std::mutex> hold(Trash().lock);
        textures.swap(Trash().textures);
        buffers.swap(Trash().buffers);
    }
    if (!textures.empty())
        glDeleteTextures((GLsizei)textures.size(), textures.data());
    if (!buffers.empty())
        glDeleteBuffers((GLsizei)buffers.size(), buffers.data());
    return (int)(textures.size() + buffers.size());
}

void GLForgetTrash()
{
    std::lock_guard<std::mutex> hold(Trash().lock);
    Trash().textures.clear();
    Trash().buffers.clear();
}

int GLTrashCount()
{
    std::lock_guard<std::mutex> hold(Trash().lock);
    return (int)(Trash().textures.size() + Trash().buffers.size());
}
