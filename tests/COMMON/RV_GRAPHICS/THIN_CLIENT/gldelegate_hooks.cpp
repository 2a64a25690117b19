// The view bridge as the engine tests see it: see gldelegate_hooks.h.
#include "gldelegate.h"
#include "gldelegate_hooks.h"

GLDELEGATE_HOOKS g_GLDelegateHooks;

void GLDelegateValidateScreen(void*)
{
    g_GLDelegateHooks.iValidateCalls++;
}

int GLDelegateFileSavePrompt(void*, wchar_t* pBuffer, int iSize, const wchar_t* pszExtension)
{
    g_GLDelegateHooks.iSavePromptCalls++;
    if (!g_GLDelegateHooks.savePrompt)
        return 0;
    return g_GLDelegateHooks.savePrompt(pBuffer, iSize, pszExtension);
}

void GLDelegateStartCamera(void*, int, int, int)
{
    g_GLDelegateHooks.iStartCameraCalls++;
}

void GLDelegateStopCamera(void*)
{
    g_GLDelegateHooks.iStopCameraCalls++;
}
