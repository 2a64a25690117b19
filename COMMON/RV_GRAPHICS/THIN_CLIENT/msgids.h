// Message identifiers of the controller protocol as the viewer speaks it.
//
// Identifiers are the 16-bit message IDs of the frame header. Controller
// commands marked "batch" carry several records of one shape; their sender
// ID is the number of records minus one (negative: no record). A reply to a
// question is the question's ID + 1 with the sender ID echoed.
#pragma once

enum RV_MESSAGE_ID
{
    // ---- Controller to viewer --------------------------------------------
    MSG_AUDIO_DATA = 5013,              // raw sample bytes
    MSG_AUDIO_AUTO_CLOSE = 5014,        // close output when the queued sound ends
    MSG_AUDIO_OPEN = 5067,              // 20-byte wave format, int a, int b
    MSG_AUDIO_CLOSE = 5071,
    MSG_AUDIO_PROBE = 5500,             // int key; answered by 5510
    MSG_SOUND_OPEN = 5511,              // 20-byte wave format, int a
    MSG_AUDIO_PCM = 6004,               // int length, sample bytes
    MSG_AUDIO_ULAW = 6006,              // int count, G.711 mu-law bytes
    MSG_FONT_DOWNLOAD_END = 8301,       // font server payload
    MSG_INIT_SESSION_REPLY = 20001,     // int session ID
    MSG_GRAPHIC_ADD = 20110,            // graphic store: add an image
    MSG_GRAPHIC_DELETE = 20111,         // graphic store: delete an image ID
    MSG_GRAPHIC_CLEAR = 20112,          // graphic store: delete every image
    MSG_ADD_SURFACES_BELOW = 20113,     // batch: parent, surface records (head)
    MSG_ADD_SURFACES = 20114,           // batch: parent, surface records (tail)
    MSG_REMOVE_SURFACES = 20115,        // batch: parent, int child ID
    MSG_CLEAR_SURFACE = 20116,          // batch: surface
    MSG_SURFACE_PROPS = 20117,          // batch: surface, the kind's properties
    MSG_SET_POSITION = 20118,           // batch: surface, rect (orientation 0)
    MSG_SET_POSITION_ALT = 20119,       // batch: surface, rect (orientation 1)
    MSG_SET_ATTRIBUTE = 20120,          // batch: surface, int kind, value, time
    MSG_ANIMATE_SYNC = 20121,           // surface, animation data
    MSG_ANIMATE_ASYNC = 20122,          // surface, animation data
    MSG_FONT_FILE_DATA = 20123,         // int total, offset, length, bytes
    MSG_INVALIDATE = 20124,             // surface
    MSG_UPDATE_IMAGE = 20125,           // batch: surface, flags, [rects], image data
    MSG_CLICK_SOUND = 20128,            // int volume, int length, wave bytes
    MSG_STREAM_OPEN = 20129,            // byte channels, byte bits, int rate, int bytes/s
    MSG_STREAM_STOP = 20130,
    MSG_TEXT_EXTENT = 20131,            // int a, b, font, count, strings; reply: a, b, count, widths
    MSG_TEXT_ENTRY_OPEN = 20132,        // text-entry description
    MSG_TEXT_ENTRY_CLOSE = 20133,
    MSG_FILE_SAVE = 20134,              // int key, four strings
    MSG_FILE_DATA = 20135,              // int total, offset, length, bytes
    MSG_SET_ATTRIBUTE_EXT = 20136,      // batch: surface, four ints
    MSG_STREAM_VOLUME = 20139,          // int volume
    MSG_UPDATE_IMAGE_SUB = 20140,       // surface, data
    MSG_RECORD_START = 20141,           // int, short, short, short, int, int
    MSG_RECORD_STOP = 20142,
    MSG_CURSOR_TO_SURFACE = 20145,      // batch: surface, four bytes
    MSG_OSD_ACTIVE = 20146,             // int active
    MSG_CURSOR_PROPS = 20147,           // batch: byte, byte, colour bytes, colour bytes
    MSG_MOVE_PAGE = 20148,              // batch: surface, int page
    MSG_MOVE_COMMAND = 20149,           // batch: surface, int a, int b, short rect
    MSG_BACKGROUND_MODE = 20151,        // int mode (handled before dispatch)
    MSG_SET_ROTATION = 20152,           // batch: surface, four ints
    MSG_JOG = 20153,                    // batch: surface, five ints
    MSG_JOG_REPORT = 20154,             // batch: surface
    MSG_ECHO = 20155,                   // int a, int b; echoed back
    MSG_SETTINGS = 20156,               // volumes, strings, font name and checksum
    MSG_RTSP_AUDIO = 20158,             // intercom data
    MSG_SOUND_SLOT = 20159,             // int slot, int length, wave bytes
    MSG_SOUND_PLAY = 20160,             // int slot, int volume
    MSG_CAMERA_SETTINGS = 20161,        // int size, offset, positions
    MSG_ECHO_CANCEL_OPTIONS = 20162,    // int a, int b
    MSG_SOUND_SLOT_CACHED = 20163,      // int slot, 16-byte resource key
    MSG_SOUND_SLOT_STORE = 20164,       // int slot, int length, wave bytes, key
    MSG_GRAPHIC_ADD_CACHED = 20166,     // graphic store: add an image from the cache
    MSG_GRAPHIC_ADD_STORE = 20167,      // graphic store: add an image and cache it
    MSG_SET_TRANSFORM = 20168,          // batch: surface, four shorts
    MSG_SESSION_END = 20169,
    MSG_SCALE_LIMITS = 20172,           // batch: surface, eight ints
    MSG_PRIMITIVE_ADD = 20173,          // graphic store: add a shaded primitive
    MSG_PRIMITIVE_DELETE = 20174,       // graphic store: delete a primitive ID
    MSG_PRIMITIVE_CLEAR = 20175,        // graphic store: delete every primitive
    MSG_ANIMATE_TRANSFORM = 20184,      // batch: surface, four shorts, int time

    // ---- Viewer to controller --------------------------------------------
    MSG_GET_CHALLENGE = 14,             // answered by 15
    MSG_LOGIN = 27,                     // answered by 28
    MSG_AUDIO_PROBE_REPLY = 5510,       // int key, int 0
    MSG_GET_SYSTEM_NAME = 8058,
    MSG_FONT_DOWNLOAD_REQUEST = 8398,   // string font name
    MSG_SOUND_STATE = 9200,             // string
    MSG_INIT_SESSION = 20000,           // answered by 20001
    MSG_INIT_SESSION_ALT = 20002,       // answered by 20003
    MSG_INIT_SESSION_ALT_REPLY = 20003,
    MSG_ORIENTATION = 20200,            // int orientation, width, height
    MSG_BUTTON = 20201,                 // int parent ID, button ID, state
    MSG_SCROLL_OFFSET = 20202,          // int parent, ID, orientation, x, y offset
    MSG_UPDATE_IMAGE_DONE = 20203,      // int surface ID
    MSG_TOUCH = 20204,                  // int parent, ID, down, x, y
    MSG_DISCONNECT_TIMER_ON = 20205,
    MSG_DISCONNECT_TIMER_OFF = 20206,
    MSG_POSITION_REPORT = 20207,        // int parent, ID, x, y [, byte flag]
    MSG_TEXT_ENTRY_RESULT = 20208,      // int entry ID, int accepted, string
    MSG_FILE_SAVE_READY = 20209,        // int key
    MSG_FONT_READY = 20210,             // int 0, then int 1
    MSG_IMAGE_READY = 20211,            // int parent ID, surface ID
    MSG_AUDIO_PROGRESS = 20213,         // two ints
    MSG_SCROLL_MOVE = 20214,            // int scroll view ID, row, x, y offset
    MSG_DRAW_STROKE = 20216,            // int parent, ID, int, short, short
    MSG_VIDEO_ACQUIRED = 20217,         // int parent, ID, int
    MSG_VIDEO_BYTES = 20218,            // int parent, ID, two ints
    MSG_SWIPE = 20220,                  // int direction: 5 right, 4 left
    MSG_VIDEO_FRAME_SIZE = 20221,       // int parent, ID, width, height
    MSG_TOUCH_SCALE = 20223,            // int parent, ID, active, scales, offsets

    // ---- Both directions -------------------------------------------------
    MSG_STUN = 20300,                   // int surface or 0, then address data
};

// The span of controller commands dispatched by table; IDs in it without an
// entry are ignored.
#define MSG_TABLE_FIRST 20110
#define MSG_TABLE_LAST 20184
