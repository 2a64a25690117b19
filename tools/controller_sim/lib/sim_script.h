// CSimScript: the simulated controller's script, a readable list of messages
// to send and of pauses and waits between them (format in README.md).
//
//   # comment
//   20114 0 i:5 s:"Living room" b:1 w:300 c:0xFF8800 r:10,20,300,40
//   sleep 500
//   wait 20201
//
// Parsing builds every frame up front, so a script with an error is refused
// as a whole before anything is sent.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

enum SIM_STEP_KIND
{
    SIM_STEP_SEND = 0,    // send frame (a whole message)
    SIM_STEP_RAW = 1,     // send frame's bytes as they are (any bytes)
    SIM_STEP_SLEEP = 2,   // pause uValue ms
    SIM_STEP_WAIT = 3,    // wait until the viewer sends message uValue, at most uTimeoutMs
    SIM_STEP_CLOSE = 4,   // close the connection
    SIM_STEP_CHUNK = 5,   // from now on write frames in pieces of uValue bytes, uTimeoutMs apart
};

struct SIM_SCRIPT_STEP
{
    SIM_STEP_KIND eKind = SIM_STEP_SEND;
    int iLine = 0;                        // 1-based line in the script text
    std::vector<unsigned char> frame;     // SEND and RAW: the bytes to write
    unsigned int uValue = 0;              // SLEEP ms, WAIT message ID, CHUNK bytes
    unsigned int uTimeoutMs = 0;          // WAIT time-out, CHUNK delay
};

// Default time-out of a "wait" line without one.
#define SIM_SCRIPT_WAIT_MS 30000u
// Longest line a script may have: room for the largest message in hex.
#define SIM_SCRIPT_MAX_LINE (4u * 1024 * 1024)

class CSimScript
{
public:
    // Parses the text (it need not be zero-terminated). 1 on success; on the
    // first error 0, no steps, and Error() says "line N: what".
    int Parse(const char* pText, size_t n);
    int Parse(const std::string& text) { return Parse(text.data(), text.size()); }
    // Reads and parses a file; an unreadable file is an error too.
    int ParseFile(const char* pszPath);

    const std::vector<SIM_SCRIPT_STEP>& Steps() const { return m_Steps; }
    const std::string& Error() const { return m_strError; }
    int ErrorLine() const { return m_iErrorLine; }

private:
    int ParseLine(const char* p, const char* pEnd, int iLine);
    int Fail(int iLine, const std::string& what);

    std::vector<SIM_SCRIPT_STEP> m_Steps;
    std::string m_strError;
    int m_iErrorLine = 0;
};
