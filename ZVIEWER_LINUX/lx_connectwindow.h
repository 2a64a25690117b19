// CLxConnectWindow: the connect window drawn with Dear ImGui in a window of
// its own. It only shows what it is given and reports what the user did; the
// connect page decides what that means.
#pragma once

#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "connectpage.h"

class CLxSDLWindow;
struct ImGuiContext;
union SDL_Event;

// What the user did during one frame.
struct LX_CONNECT_INPUT
{
    int iRowChosen = -1;                // a row was clicked
    bool bNameEdited = false;
    std::string sName;
    bool bPasswordEdited = false;
    std::string sPassword;
    bool bConnect = false;              // Connect, or Return in a field
    bool bDemo = false;                 // the demo button
};

class CLxConnectWindow
{
public:
    enum { WIDTH = 460, HEIGHT = 540 };

    // Opens the window (shown). Null with a one-line reason when there is no display.
    static CLxConnectWindow* Create(const char* pszTitle, std::string* pError);
    ~CLxConnectWindow();

    CLxConnectWindow(const CLxConnectWindow&) = delete;
    CLxConnectWindow& operator=(const CLxConnectWindow&) = delete;

    uint32_t WindowID() const;
    void Show();
    void Hide();
    bool IsShown() const { return m_bShown; }

    // An event of this window (mouse, keys, text, focus).
    void ProcessEvent(const SDL_Event& ev);
    // Draws one frame of the view at dNow seconds (for the busy indicator)
    // and returns what the user did since the last one.
    LX_CONNECT_INPUT Draw(const CONNECT_PAGE_VIEW& view, double dNow);
    // Whether the window wants frames without events (it animates).
    static bool IsAnimating(const CONNECT_PAGE_VIEW& view) { return view.bBusy || view.dOpacity < 1.0; }

private:
    CLxConnectWindow() = default;
    void DrawControls(const CONNECT_PAGE_VIEW& view, double dNow, LX_CONNECT_INPUT* pInput);

    std::unique_ptr<CLxSDLWindow> m_pWindow;
    ImGuiContext* m_pImGui = nullptr;
    bool m_bShown = true;
    // The fields' text while the user edits it; otherwise the page's.
    char m_szName[256] = {0};
    char m_szPassword[256] = {0};
    bool m_bNameActive = false;
    bool m_bPasswordActive = false;
};
