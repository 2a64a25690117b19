#include "lx_connectwindow.h"

#include <SDL.h>
#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <fontconfig/fontconfig.h>
#include <imgui.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "lx_sdlwindow.h"
#include "rvlog.h"

namespace {

const float kFontSize = 17.0f;

// The file of a readable sans face; empty when fontconfig finds none (ImGui's
// own small font is used then).
std::string FindUIFont()
{
    std::string sPath;
    FcPattern* pPattern = FcNameParse(reinterpret_cast<const FcChar8*>("Liberation Sans"));
    if (pPattern == nullptr)
        return sPath;
    FcConfigSubstitute(nullptr, pPattern, FcMatchPattern);
    FcDefaultSubstitute(pPattern);
    FcResult result;
    FcPattern* pMatch = FcFontMatch(nullptr, pPattern, &result);
    FcChar8* pszFile = nullptr;
    if (pMatch && FcPatternGetString(pMatch, FC_FILE, 0, &pszFile) == FcResultMatch && pszFile)
        sPath = reinterpret_cast<const char*>(pszFile);
    if (pMatch)
        FcPatternDestroy(pMatch);
    FcPatternDestroy(pPattern);
    // ImGui rasterises TrueType and OpenType outlines only.
    if (sPath.size() < 4 || (sPath.compare(sPath.size() - 4, 4, ".ttf") && sPath.compare(sPath.size() - 4, 4, ".otf")))
        sPath.clear();
    return sPath;
}

void CopyField(char* pDst, size_t n, const std::string& s)
{
    snprintf(pDst, n, "%s", s.c_str());
}

// A ring of dots with one bright dot going round: the busy indicator.
void DrawSpinner(double dNow, float fRadius)
{
    const ImVec2 pos = ImGui::GetCursorScreenPos();
    const ImVec2 centre(pos.x + fRadius, pos.y + ImGui::GetTextLineHeight() * 0.5f);
    ImDrawList* pList = ImGui::GetWindowDrawList();
    const int kDots = 8;
    const int iLead = (int)(dNow * 10.0) % kDots;
    for (int i = 0; i < kDots; ++i) {
        const double a = 2.0 * M_PI * i / kDots;
        const int iAge = (iLead - i + kDots) % kDots;
        const int iAlpha = 255 - iAge * 28;
        pList->AddCircleFilled(ImVec2(centre.x + (float)cos(a) * fRadius * 0.75f,
                                      centre.y + (float)sin(a) * fRadius * 0.75f),
                               fRadius * 0.18f, IM_COL32(60, 110, 200, iAlpha));
    }
    ImGui::Dummy(ImVec2(fRadius * 2.0f, ImGui::GetTextLineHeight()));
}

}  // namespace

CLxConnectWindow* CLxConnectWindow::Create(const char* pszTitle, std::string* pError)
{
    std::unique_ptr<CLxSDLWindow> pWindow(CLxSDLWindow::Create(pszTitle, WIDTH, HEIGHT, pError));
    if (!pWindow)
        return nullptr;
    CLxConnectWindow* pThis = new CLxConnectWindow;
    pThis->m_pWindow = std::move(pWindow);

    // The context is made current only while this window draws: the save
    // dialog makes one of its own and must not find ours.
    ImGuiContext* pPrevious = ImGui::GetCurrentContext();
    pThis->m_pImGui = ImGui::CreateContext();
    ImGui::SetCurrentContext(pThis->m_pImGui);
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    ImGui::StyleColorsLight();
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowPadding = ImVec2(18, 16);
    style.FramePadding = ImVec2(8, 6);
    style.ItemSpacing = ImVec2(8, 9);
    style.FrameRounding = 4.0f;
    style.FrameBorderSize = 1.0f;
    const std::string sFont = FindUIFont();
    if (sFont.empty() || io.Fonts->AddFontFromFileTTF(sFont.c_str(), kFontSize) == nullptr)
        RVLog(RV_LOG_INFO, "connect window: no TrueType sans font found, using the built-in one");
    ImGui_ImplSDL2_InitForOpenGL(pThis->m_pWindow->Window(), SDL_GL_GetCurrentContext());
    ImGui_ImplOpenGL2_Init();
    pThis->m_pWindow->ReleaseCurrent();
    ImGui::SetCurrentContext(pPrevious);
    return pThis;
}

CLxConnectWindow::~CLxConnectWindow()
{
    if (m_pImGui) {
        ImGuiContext* pPrevious = ImGui::GetCurrentContext();
        m_pWindow->MakeCurrent();
        ImGui::SetCurrentContext(m_pImGui);
        ImGui_ImplOpenGL2_Shutdown();
        ImGui_ImplSDL2_Shutdown();
        ImGui::DestroyContext(m_pImGui);
        ImGui::SetCurrentContext(pPrevious == m_pImGui ? nullptr : pPrevious);
        m_pWindow->ReleaseCurrent();
    }
}

uint32_t CLxConnectWindow::WindowID() const
{
    return m_pWindow->WindowID();
}

void CLxConnectWindow::Show()
{
    SDL_ShowWindow(m_pWindow->Window());
    SDL_RaiseWindow(m_pWindow->Window());
    m_bShown = true;
}

void CLxConnectWindow::Hide()
{
    SDL_HideWindow(m_pWindow->Window());
    m_bShown = false;
}

void CLxConnectWindow::ProcessEvent(const SDL_Event& ev)
{
    ImGuiContext* pPrevious = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(m_pImGui);
    ImGui_ImplSDL2_ProcessEvent(&ev);
    ImGui::SetCurrentContext(pPrevious);
}

LX_CONNECT_INPUT CLxConnectWindow::Draw(const CONNECT_PAGE_VIEW& view, double dNow)
{
    LX_CONNECT_INPUT input;
    if (!m_pWindow->MakeCurrent())
        return input;
    ImGuiContext* pPrevious = ImGui::GetCurrentContext();
    ImGui::SetCurrentContext(m_pImGui);
    ImGui_ImplOpenGL2_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGui::NewFrame();
    DrawControls(view, dNow, &input);
    ImGui::Render();
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(m_pWindow->Window(), &w, &h);
    glViewport(0, 0, w, h);
    glClearColor(0.94f, 0.94f, 0.95f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
    m_pWindow->Present();
    ImGui::SetCurrentContext(pPrevious);
    m_pWindow->ReleaseCurrent();
    return input;
}

void CLxConnectWindow::DrawControls(const CONNECT_PAGE_VIEW& view, double dNow, LX_CONNECT_INPUT* pInput)
{
    const ImGuiIO& io = ImGui::GetIO();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(io.DisplaySize);
    ImGui::Begin("connect", nullptr,
                 ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);

    ImGui::TextUnformatted("Controllers on this network");
    ImGui::PushStyleVar(ImGuiStyleVar_Alpha, (float)view.dOpacity);
    ImGui::BeginDisabled(!view.bEnabled);

    // The list: one row per controller, light grey, no header.
    ImGui::PushStyleColor(ImGuiCol_FrameBg, IM_COL32(226, 226, 230, 255));
    const float fListHeight = ImGui::GetTextLineHeightWithSpacing() * 8.5f;
    if (ImGui::BeginListBox("##systems", ImVec2(-1, fListHeight))) {
        if (view.rows.empty())
            ImGui::TextDisabled("Searching...");
        for (size_t i = 0; i < view.rows.size(); ++i) {
            ImGui::PushID((int)i);
            if (ImGui::Selectable(view.rows[i].c_str(), (int)i == view.iSelected))
                pInput->iRowChosen = (int)i;
            ImGui::PopID();
        }
        ImGui::EndListBox();
    }
    ImGui::PopStyleColor();

    // The fields follow the page unless the user is typing in them.
    if (!m_bNameActive)
        CopyField(m_szName, sizeof m_szName, view.sName);
    if (!m_bPasswordActive)
        CopyField(m_szPassword, sizeof m_szPassword, view.sPassword);
    const float fLabel = 110.0f;
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("System");
    ImGui::SameLine(fLabel);
    ImGui::SetNextItemWidth(-1);
    if (ImGui::InputTextWithHint("##name", "name, or address as HOST:PORT", m_szName, sizeof m_szName)) {
        pInput->bNameEdited = true;
        pInput->sName = m_szName;
    }
    m_bNameActive = ImGui::IsItemActive();
    const bool bNameEnter = ImGui::IsItemDeactivated() && ImGui::IsKeyPressed(ImGui::GetKeyIndex(ImGuiKey_Enter));
    ImGui::AlignTextToFramePadding();
    ImGui::TextUnformatted("Password");
    ImGui::SameLine(fLabel);
    ImGui::SetNextItemWidth(-1);
    const bool bPassEnter = ImGui::InputText("##password", m_szPassword, sizeof m_szPassword,
                                             ImGuiInputTextFlags_Password | ImGuiInputTextFlags_EnterReturnsTrue);
    if (strcmp(m_szPassword, view.sPassword.c_str()) != 0) {
        pInput->bPasswordEdited = true;
        pInput->sPassword = m_szPassword;
    }
    m_bPasswordActive = ImGui::IsItemActive();

    ImGui::Spacing();
    const float fButton = (ImGui::GetContentRegionAvail().x - ImGui::GetStyle().ItemSpacing.x) * 0.5f;
    ImGui::PushStyleColor(ImGuiCol_Button, IM_COL32(52, 108, 206, 255));
    ImGui::PushStyleColor(ImGuiCol_ButtonHovered, IM_COL32(70, 128, 226, 255));
    ImGui::PushStyleColor(ImGuiCol_ButtonActive, IM_COL32(40, 90, 180, 255));
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(255, 255, 255, 255));
    if (ImGui::Button("Connect", ImVec2(fButton, 0)) || bPassEnter || bNameEnter)
        pInput->bConnect = true;
    ImGui::PopStyleColor(4);
    ImGui::SameLine();
    if (ImGui::Button("Try the demo", ImVec2(fButton, 0)))
        pInput->bDemo = true;
    ImGui::EndDisabled();
    ImGui::PopStyleVar();

    ImGui::Spacing();
    if (view.bBusy) {
        DrawSpinner(dNow, ImGui::GetTextLineHeight() * 0.6f);
        ImGui::SameLine();
    }
    if (view.bStatusVisible)
        ImGui::TextWrapped("%s", view.sStatus.c_str());

    const char* pszVersion = view.sVersion.c_str();
    ImGui::SetCursorPos(ImVec2(ImGui::GetWindowWidth() - ImGui::CalcTextSize(pszVersion).x - 18.0f,
                               ImGui::GetWindowHeight() - ImGui::GetTextLineHeight() - 14.0f));
    ImGui::TextDisabled("%s", pszVersion);
    ImGui::End();
}
