// Which keys the viewer turns into characters or key codes for the engine.
//
// The engine's text entry expects Return as character 157 (not 13), the
// backspace key as character 8, and forward Delete and the arrows as the key
// codes 46 and 37 to 40. Printable text reaches the engine separately, from the
// window system's text-input events. Keys are identified by SDL scancodes,
// which name the physical key whatever the keyboard layout.
#pragma once

enum LX_KEY_KIND
{
    LX_KEY_NONE = 0,   // not ours: the key's text (if any) goes to OnChar
    LX_KEY_CHAR = 1,   // send iValue with CMainWnd::OnChar
    LX_KEY_CODE = 2,   // send iValue with CMainWnd::OnKey
};

struct LX_KEY_ACTION
{
    LX_KEY_KIND eKind;
    int iValue;
};

// The translation of one scancode; LX_KEY_NONE for keys outside the table.
LX_KEY_ACTION LxTranslateKey(int iScancode);

// Keys whose character the window system does not deliver as text input
// (Tab, Escape) but which a desktop toolkit passes as characters: the
// character, or 0.
int LxControlCharForKey(int iScancode);
