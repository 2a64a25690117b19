// Calls from the engine back into the window system. The platform layer
// implements them; each takes the platform view handed to CMainWnd.
#pragma once

#include <wchar.h>

// Ask for a redraw soon; it ends in CMainWnd::RenderScreen on a thread that
// holds the drawing context.
void GLDelegateValidateScreen(void* pView);
// Modal save dialog restricted to the extension: fills pBuffer (iSize
// characters, zero-terminated) with the chosen location as a URL and returns
// non-zero when the user chose one; 0 leaves the buffer untouched.
int GLDelegateFileSavePrompt(void* pView, wchar_t* pBuffer, int iSize, const wchar_t* pszExtension);
// Starts the local camera preview (size, offset, positions) on the interface
// thread, waiting for it.
void GLDelegateStartCamera(void* pView, int iSize, int iOffset, int iPositions);
// Stops the local camera preview, without waiting.
void GLDelegateStopCamera(void* pView);
