#include "lx_saveprompt.h"

#include <SDL.h>
#include <imgui.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <GL/gl.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

#include "rvlog.h"

std::string LxDefaultSavePath(const std::string& sExt, const std::string& sHome)
{
    std::string s = sHome.empty() ? std::string(".") : sHome;
    if (s.back() != '/')
        s += '/';
    s += "untitled";
    return LxSavePathWithExt(s, sExt);
}

std::string LxSavePathWithExt(const std::string& sPath, const std::string& sExt)
{
    if (sExt.empty())
        return sPath;
    const std::string suffix = "." + sExt;
    if (sPath.size() > suffix.size() &&
        strcasecmp(sPath.c_str() + sPath.size() - suffix.size(), suffix.c_str()) == 0)
        return sPath;
    return sPath + suffix;
}

std::string LxPathToFileURL(const std::string& sPath)
{
    if (!sPath.empty() && sPath[0] == '/')
        return "file://" + sPath;
    char cwd[4096];
    std::string base = getcwd(cwd, sizeof cwd) ? cwd : ".";
    return "file://" + base + "/" + sPath;
}

namespace {

enum { DIALOG_WIDTH = 560, DIALOG_HEIGHT = 84 };

struct PROMPT_STATE
{
    char szPath[1024];
    int iResult = -1;        // -1 undecided, 0 cancelled, 1 saved
    bool bFocusField = true;
};

void DrawPrompt(PROMPT_STATE* pState, const std::string& sExt)
{
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(DIALOG_WIDTH, DIALOG_HEIGHT));
    ImGui::Begin("save", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings);
    if (sExt.empty())
        ImGui::TextUnformatted("Save the file as:");
    else
        ImGui::Text("Save the file as (.%s):", sExt.c_str());
    ImGui::SetNextItemWidth(-1);
    if (pState->bFocusField) {
        ImGui::SetKeyboardFocusHere();
        pState->bFocusField = false;
    }
    if (ImGui::InputText("##path", pState->szPath, sizeof pState->szPath, ImGuiInputTextFlags_EnterReturnsTrue))
        pState->iResult = 1;
    if (ImGui::Button("Save"))
        pState->iResult = 1;
    ImGui::SameLine();
    if (ImGui::Button("Cancel"))
        pState->iResult = 0;
    // Enter and Escape count wherever the focus is, also before the field has
    // taken it on the first frames.
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter)) ||
        ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_KeyPadEnter)))
        pState->iResult = 1;
    if (ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Escape)))
        pState->iResult = 0;
    ImGui::End();
}

}  // namespace

int LxRunSavePrompt(const std::string& sExt, std::string* pPath)
{
    const char* pszHome = getenv("HOME");
    PROMPT_STATE state;
    snprintf(state.szPath, sizeof state.szPath, "%s", LxDefaultSavePath(sExt, pszHome ? pszHome : "").c_str());

    SDL_Window* pWindow = SDL_CreateWindow("Save File", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                           DIALOG_WIDTH, DIALOG_HEIGHT, SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN);
    if (pWindow == nullptr) {
        RVLog(RV_LOG_ERROR, "save dialog: %s", SDL_GetError());
        return 0;
    }
    SDL_GLContext ctx = SDL_GL_CreateContext(pWindow);
    if (ctx == nullptr) {
        RVLog(RV_LOG_ERROR, "save dialog: %s", SDL_GetError());
        SDL_DestroyWindow(pWindow);
        return 0;
    }
    IMGUI_CHECKVERSION();
    // Another window (the connect window) may keep an ImGui context of its
    // own: this dialog's is made current explicitly and the other restored.
    ImGuiContext* pPrevious = ImGui::GetCurrentContext();
    ImGuiContext* pImGui = ImGui::CreateContext();
    ImGui::SetCurrentContext(pImGui);
    ImGui::GetIO().IniFilename = nullptr;
    ImGui_ImplSDL2_InitForOpenGL(pWindow, ctx);
    ImGui_ImplOpenGL2_Init();

    const Uint32 uWindowID = SDL_GetWindowID(pWindow);
    bool bQuitSeen = false;
    while (state.iResult < 0) {
        SDL_Event ev;
        bool bGot = SDL_PollEvent(&ev) || SDL_WaitEventTimeout(&ev, 100);
        while (bGot) {
            if (ev.type == SDL_QUIT) {
                bQuitSeen = true;
                state.iResult = 0;
            } else if (ev.type == SDL_WINDOWEVENT && ev.window.windowID == uWindowID &&
                       ev.window.event == SDL_WINDOWEVENT_CLOSE) {
                state.iResult = 0;
            } else {
                ImGui_ImplSDL2_ProcessEvent(&ev);
            }
            // This ImGui keeps only whether a key is down: a press and its
            // release handled before one frame would never be seen.
            if (ev.type == SDL_KEYDOWN)
                break;
            bGot = SDL_PollEvent(&ev);
        }
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        DrawPrompt(&state, sExt);
        ImGui::Render();
        glViewport(0, 0, DIALOG_WIDTH, DIALOG_HEIGHT);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(pWindow);
    }

    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext(pImGui);
    ImGui::SetCurrentContext(pPrevious);
    SDL_GL_MakeCurrent(pWindow, nullptr);
    SDL_GL_DeleteContext(ctx);
    SDL_DestroyWindow(pWindow);
    if (bQuitSeen) {
        SDL_Event quit;
        memset(&quit, 0, sizeof quit);
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    }
    if (state.iResult != 1 || state.szPath[0] == '\0')
        return 0;
    if (pPath)
        *pPath = LxSavePathWithExt(state.szPath, sExt);
    return 1;
}
