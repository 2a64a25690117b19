#include "lx_keymap.h"

#include <SDL_scancode.h>
#include <gtest/gtest.h>

namespace {

struct KEY_CASE
{
    const char* pszName;
    int iScancode;
    LX_KEY_KIND eKind;
    int iValue;
};

// Return and backspace are characters for the engine's text entry (Return is
// 157, not 13); forward Delete and the arrows are key codes and no character.
const KEY_CASE kCases[] = {
    {"Return", SDL_SCANCODE_RETURN, LX_KEY_CHAR, 157},
    {"keypad Enter", SDL_SCANCODE_KP_ENTER, LX_KEY_CHAR, 157},
    {"Backspace", SDL_SCANCODE_BACKSPACE, LX_KEY_CHAR, 8},
    {"Delete", SDL_SCANCODE_DELETE, LX_KEY_CODE, 46},
    {"Left", SDL_SCANCODE_LEFT, LX_KEY_CODE, 37},
    {"Up", SDL_SCANCODE_UP, LX_KEY_CODE, 38},
    {"Right", SDL_SCANCODE_RIGHT, LX_KEY_CODE, 39},
    {"Down", SDL_SCANCODE_DOWN, LX_KEY_CODE, 40},
    {"letter A", SDL_SCANCODE_A, LX_KEY_NONE, 0},
    {"digit 1", SDL_SCANCODE_1, LX_KEY_NONE, 0},
    {"Space", SDL_SCANCODE_SPACE, LX_KEY_NONE, 0},
    {"Tab", SDL_SCANCODE_TAB, LX_KEY_NONE, 0},
    {"keypad 4 (not an arrow)", SDL_SCANCODE_KP_4, LX_KEY_NONE, 0},
    {"Home", SDL_SCANCODE_HOME, LX_KEY_NONE, 0},
    {"unknown", SDL_SCANCODE_UNKNOWN, LX_KEY_NONE, 0},
    {"out of range", 100000, LX_KEY_NONE, 0},
};

TEST(LxKeymap, TranslatesTheViewerKeys)
{
    for (const KEY_CASE& c : kCases) {
        LX_KEY_ACTION a = LxTranslateKey(c.iScancode);
        EXPECT_EQ(c.eKind, a.eKind) << c.pszName;
        EXPECT_EQ(c.iValue, a.iValue) << c.pszName;
    }
}

TEST(LxKeymap, ControlCharactersWithoutTextInput)
{
    EXPECT_EQ(9, LxControlCharForKey(SDL_SCANCODE_TAB));
    EXPECT_EQ(27, LxControlCharForKey(SDL_SCANCODE_ESCAPE));
    // Keys of the table and printable keys are not doubled as characters here.
    EXPECT_EQ(0, LxControlCharForKey(SDL_SCANCODE_RETURN));
    EXPECT_EQ(0, LxControlCharForKey(SDL_SCANCODE_BACKSPACE));
    EXPECT_EQ(0, LxControlCharForKey(SDL_SCANCODE_A));
}

}  // namespace
