// CLxCameraPreview: the local camera's preview inside the viewer window, for
// intercom calls. The capture pipeline provides the implementation and
// registers a factory; without one, the viewer has no camera.
#pragma once

#include <functional>

class CLxCameraPreview
{
public:
    virtual ~CLxCameraPreview() {}
    // Shows the preview in the square (x, y, size, size) of the window, in
    // window pixels from the top left, and starts capturing. Interface thread.
    virtual void Start(int x, int y, int iSize) = 0;
    // Stops capturing and hides the preview. Interface thread.
    virtual void Stop() = 0;
};

// Makes a preview for the view, or null when no camera can be used.
typedef std::function<CLxCameraPreview*()> LX_CAMERA_FACTORY;
