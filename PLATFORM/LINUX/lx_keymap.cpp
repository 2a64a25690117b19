#include "lx_keymap.h"

#include <SDL_scancode.h>

namespace {

struct KEY_ROW
{
    SDL_Scancode eScancode;
    LX_KEY_ACTION action;
};

const KEY_ROW kKeyTable[] = {
    {SDL_SCANCODE_RETURN, {LX_KEY_CHAR, 157}},
    {SDL_SCANCODE_KP_ENTER, {LX_KEY_CHAR, 157}},
    {SDL_SCANCODE_RETURN2, {LX_KEY_CHAR, 157}},
    {SDL_SCANCODE_BACKSPACE, {LX_KEY_CHAR, 8}},
    {SDL_SCANCODE_DELETE, {LX_KEY_CODE, 46}},
    {SDL_SCANCODE_LEFT, {LX_KEY_CODE, 37}},
    {SDL_SCANCODE_UP, {LX_KEY_CODE, 38}},
    {SDL_SCANCODE_RIGHT, {LX_KEY_CODE, 39}},
    {SDL_SCANCODE_DOWN, {LX_KEY_CODE, 40}},
};

}  // namespace

LX_KEY_ACTION LxTranslateKey(int iScancode)
{
    for (const KEY_ROW& row : kKeyTable)
        if (row.eScancode == iScancode)
            return row.action;
    return {LX_KEY_NONE, 0};
}

int LxControlCharForKey(int iScancode)
{
    switch (iScancode) {
    case SDL_SCANCODE_TAB:
        return 9;
    case SDL_SCANCODE_ESCAPE:
        return 27;
    default:
        return 0;
    }
}
