// The window system's side of the view bridge, for the engine tests: the one
// definition of the GLDelegate functions in the engine's test program
// (tests/COMMON/RV_GRAPHICS/THIN_CLIENT/gldelegate_hooks.cpp). Tests set what
// the save prompt answers and read how often each call came.
//
// Defining the bridge again in another test source would clash with this one;
// use these hooks instead.
#pragma once

#include <wchar.h>

#include <atomic>
#include <functional>

struct GLDELEGATE_HOOKS
{
    // Answers GLDelegateFileSavePrompt (buffer, size in characters, extension);
    // unset: the user cancels (0, buffer untouched).
    std::function<int(wchar_t* pBuffer, int iSize, const wchar_t* pszExt)> savePrompt;
    std::atomic<int> iValidateCalls{ 0 };
    std::atomic<int> iSavePromptCalls{ 0 };
    std::atomic<int> iStartCameraCalls{ 0 };
    std::atomic<int> iStopCameraCalls{ 0 };

    // Back to the state at start: no prompt answer, every count 0.
    void Reset()
    {
        savePrompt = nullptr;
        iValidateCalls = 0;
        iSavePromptCalls = 0;
        iStartCameraCalls = 0;
        iStopCameraCalls = 0;
    }
};

extern GLDELEGATE_HOOKS g_GLDelegateHooks;
