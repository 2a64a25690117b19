#include "sim_script.h"

#include "rvmsg.h"
#include "rvstring.h"
#include "sim_text.h"

#include <stdio.h>

#include <memory>

namespace {

const long long kInt32Min = -2147483648LL;
const long long kUInt32Max = 4294967295LL;
// The longest pause or time-out a script may ask for: one day.
const long long kMaxMs = 86400000LL;
// A raw line may hold a header and the largest data a frame can carry.
const size_t kMaxRaw = RV_MAX_MSG_DATA + RV_HEADER_SIZE;
// Scripts are text written by hand or by tools; anything larger is a mistake.
const long kMaxFile = 64L * 1024 * 1024;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Quotes a piece of script text for an error message, kept short.
std::string Quote(const std::string& s)
{
    std::string out = "'";
    for (size_t i = 0; i < s.size() && i < 40; i++) {
        unsigned char c = (unsigned char)s[i];
        if (c < 0x20 || c == 0x7F) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += (char)c;
        }
    }
    if (s.size() > 40)
        out += "...";
    return out + "'";
}

// A decimal number with an optional sign, or 0x followed by hex digits.
bool ParseNumber(const std::string& s, long long lo, long long hi, long long* pOut)
{
    size_t i = 0;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+'))
        neg = s[i++] == '-';
    int base = 10;
    if (s.size() - i > 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); i++) {
        int d = HexDigit(s[i]);
        if (d < 0 || d >= base)
            return false;
        v = v * base + d;
        if (v > (1LL << 40))    // far beyond every range asked for; stops overflow
            return false;
    }
    if (neg)
        v = -v;
    if (v < lo || v > hi)
        return false;
    *pOut = v;
    return true;
}

// Comma-separated numbers, exactly n of them.
bool ParseList(const std::string& s, int n, long long lo, long long hi, long long* pOut)
{
    size_t start = 0;
    for (int k = 0; k < n; k++) {
        size_t comma = s.find(',', start);
        bool last = k == n - 1;
        if (last != (comma == std::string::npos))
            return false;
        std::string item = s.substr(start, last ? std::string::npos : comma - start);
        if (!ParseNumber(item, lo, hi, &pOut[k]))
            return false;
        start = comma + 1;
    }
    return true;
}

// Hex digit pairs, appended to *pOut.
bool ParseHex(const std::string& s, std::vector<unsigned char>* pOut)
{
    if (s.size() % 2)
        return false;
    for (size_t i = 0; i < s.size(); i += 2) {
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        pOut->push_back((unsigned char)(hi * 16 + lo));
    }
    return true;
}

// Walks one line of script text.
class CLineReader
{
public:
    CLineReader(const char* p, const char* pEnd) : m_p(p), m_pEnd(pEnd) {}

    // Skips blanks; true when the line has nothing more (a '#' starts a comment).
    bool AtEnd()
    {
        while (m_p < m_pEnd && IsSpace(*m_p))
            m_p++;
        return m_p == m_pEnd || *m_p == '#';
    }
    // Everything up to the next blank.
    std::string Word()
    {
        const char* start = m_p;
        while (m_p < m_pEnd && !IsSpace(*m_p))
            m_p++;
        return std::string(start, m_p);
    }
    // Up to and including a ':' that comes before any blank or quote; empty
    // (nothing consumed) when there is none.
    std::string TypePrefix()
    {
        const char* q = m_p;
        while (q < m_pEnd && !IsSpace(*q) && *q != ':' && *q != '"')
            q++;
        if (q == m_pEnd || *q != ':')
            return std::string();
        std::string type(m_p, q);
        m_p = q + 1;
        return type;
    }
    // A double-quoted literal with escapes \\ \" \n \r \t \0 \xHH \uHHHH;
    // the rest is UTF-8. Must be followed by a blank or the end of the line.
    bool Quoted(std::u32string* pOut, std::string* pWhy)
    {
        pOut->clear();
        if (m_p == m_pEnd || *m_p != '"') {
            *pWhy = "a string must start with '\"'";
            return false;
        }
        m_p++;
        std::string raw;
        for (;;) {
            if (m_p == m_pEnd) {
                *pWhy = "unterminated string";
                return false;
            }
            char c = *m_p++;
            if (c != '"' && c != '\\') {
                raw.push_back(c);
                continue;
            }
            std::u32string decoded;
            if (!SimDecodeUtf8(raw.data(), raw.size(), &decoded)) {
                *pWhy = "a string is not valid UTF-8";
                return false;
            }
            *pOut += decoded;
            raw.clear();
            if (c == '"')
                break;
            char32_t code;
            if (!Escape(&code, pWhy))
                return false;
            pOut->push_back(code);
        }
        if (m_p != m_pEnd && !IsSpace(*m_p)) {
            *pWhy = "a blank must follow a string";
            return false;
        }
        return true;
    }

private:
    bool Escape(char32_t* pCode, std::string* pWhy)
    {
        if (m_p == m_pEnd) {
            *pWhy = "unterminated string";
            return false;
        }
        char e = *m_p++;
        switch (e) {
        case '\\': *pCode = '\\'; return true;
        case '"': *pCode = '"'; return true;
        case 'n': *pCode = '\n'; return true;
        case 'r': *pCode = '\r'; return true;
        case 't': *pCode = '\t'; return true;
        case '0': *pCode = 0; return true;
        case 'x':
        case 'u': {
            int digits = e == 'x' ? 2 : 4;
            char32_t v = 0;
            for (int k = 0; k < digits; k++) {
                int d = m_p < m_pEnd ? HexDigit(*m_p) : -1;
                if (d < 0) {
                    *pWhy = e == 'x' ? "\\x needs two hex digits" : "\\u needs four hex digits";
                    return false;
                }
                v = v * 16 + (char32_t)d;
                m_p++;
            }
            if (v >= 0xD800 && v <= 0xDFFF) {
                *pWhy = "\\u cannot name a surrogate";
                return false;
            }
            *pCode = v;
            return true;
        }
        default:
            *pWhy = std::string("unknown escape \\") + e;
            return false;
        }
    }

    const char* m_p;
    const char* m_pEnd;
};

// Appends one typed value to the message. False with the reason in *pWhy.
bool PutValue(CRVMSG& msg, const std::string& type, CLineReader& line, std::string* pWhy)
{
    if (type == "s" || type == "u") {
        std::u32string text;
        if (!line.Quoted(&text, pWhy))
            return false;
        bool bWide = type == "u";
        CRVString s;
        if (!SimMakeString(text, bWide, &s)) {
            char32_t limit = bWide ? 0xFFFF : 0xFF;
            bool bRange = false;
            for (char32_t c : text)
                bRange |= c > limit;
            *pWhy = !bRange ? "string too long"
                    : bWide ? "a wide string (u:) takes characters up to U+FFFF"
                            : "an 8-bit string (s:) takes characters up to U+00FF; use u:";
            return false;
        }
        if (!msg.PutString(s)) {
            *pWhy = "message longer than 1000000 bytes";
            return false;
        }
        return true;
    }
    std::string value = line.Word();
    long long v[4];
    bool parsed;
    int put = 0;
    if (type == "b") {
        if ((parsed = ParseNumber(value, -128, 255, v)))
            put = msg.PutBYTE((unsigned char)v[0]);
    } else if (type == "w") {
        if ((parsed = ParseNumber(value, -32768, 65535, v)))
            put = msg.PutWORD((unsigned short)v[0]);
    } else if (type == "i") {
        if ((parsed = ParseNumber(value, kInt32Min, kUInt32Max, v)))
            put = msg.PutInt((int)(unsigned int)v[0]);
    } else if (type == "c" || type == "cb") {
        if ((parsed = ParseNumber(value, 0, 0xFFFFFF, v)))
            put = type == "c" ? msg.PutColor((unsigned int)v[0]) : msg.PutColorBYTE((unsigned int)v[0]);
    } else if (type == "r") {
        if ((parsed = ParseList(value, 4, kInt32Min, 2147483647LL, v)))
            put = msg.PutRECT(CRVRect((int)v[0], (int)v[1], (int)v[2], (int)v[3]));
    } else if (type == "sr") {
        if ((parsed = ParseList(value, 4, -32768, 32767, v)))
            put = msg.PutShortRECT(CRVRect((int)v[0], (int)v[1], (int)v[2], (int)v[3]));
    } else if (type == "x" || type == "d") {
        std::vector<unsigned char> bytes;
        if ((parsed = ParseHex(value, &bytes)))
            put = bytes.empty() ? 1
                  : type == "x" ? msg.PutDataNoAlign(bytes.data(), (int)bytes.size())
                                : msg.PutData(bytes.data(), (int)bytes.size());
    } else {
        *pWhy = "unknown value type " + Quote(type + ":");
        return false;
    }
    if (!parsed) {
        *pWhy = "bad value " + Quote(type + ":" + value);
        return false;
    }
    if (!put) {
        *pWhy = "message longer than 1000000 bytes";
        return false;
    }
    return true;
}

}  // namespace

int CSimScript::Fail(int iLine, const std::string& what)
{
    m_Steps.clear();
    m_iErrorLine = iLine;
    m_strError = "line " + std::to_string(iLine) + ": " + what;
    return 0;
}

int CSimScript::Parse(const char* pText, size_t n)
{
    m_Steps.clear();
    m_strError.clear();
    m_iErrorLine = 0;
    if (!pText)
        n = 0;
    size_t pos = 0;
    for (int iLine = 1; pos < n; iLine++) {
        size_t end = pos;
        while (end < n && pText[end] != '\n')
            end++;
        if (end - pos > SIM_SCRIPT_MAX_LINE)
            return Fail(iLine, "line longer than " + std::to_string(SIM_SCRIPT_MAX_LINE) + " characters");
        if (!ParseLine(pText + pos, pText + end, iLine))
            return 0;
        pos = end + 1;
    }
    return 1;
}

int CSimScript::ParseFile(const char* pszPath)
{
    m_Steps.clear();
    FILE* f = pszPath ? fopen(pszPath, "rb") : nullptr;
    if (!f)
        return Fail(0, std::string("cannot open ") + (pszPath ? pszPath : "(null)"));
    std::string text;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0) {
        if ((long)(text.size() + got) > kMaxFile) {
            fclose(f);
            return Fail(0, "script file larger than 64 MiB");
        }
        text.append(buffer, got);
    }
    bool bError = ferror(f) != 0;
    fclose(f);
    if (bError)
        return Fail(0, std::string("cannot read ") + pszPath);
    return Parse(text);
}

int CSimScript::ParseLine(const char* p, const char* pEnd, int iLine)
{
    CLineReader line(p, pEnd);
    if (line.AtEnd())
        return 1;
    SIM_SCRIPT_STEP step;
    step.iLine = iLine;
    std::string word = line.Word();
    long long v;

    if (word == "sleep") {
        step.eKind = SIM_STEP_SLEEP;
        if (line.AtEnd() || !ParseNumber(line.Word(), 0, kMaxMs, &v))
            return Fail(iLine, "sleep needs a time in ms (0 to 86400000)");
        step.uValue = (unsigned int)v;
    } else if (word == "wait") {
        step.eKind = SIM_STEP_WAIT;
        if (line.AtEnd() || !ParseNumber(line.Word(), -32768, 65535, &v))
            return Fail(iLine, "wait needs a message ID");
        step.uValue = (unsigned int)(unsigned short)v;
        step.uTimeoutMs = SIM_SCRIPT_WAIT_MS;
        if (!line.AtEnd()) {
            if (!ParseNumber(line.Word(), 0, kMaxMs, &v))
                return Fail(iLine, "bad wait time-out (ms, 0 to 86400000)");
            step.uTimeoutMs = (unsigned int)v;
        }
    } else if (word == "raw") {
        step.eKind = SIM_STEP_RAW;
        while (!line.AtEnd()) {
            std::string hex = line.Word();
            if (!ParseHex(hex, &step.frame))
                return Fail(iLine, "bad hex bytes " + Quote(hex));
            if (step.frame.size() > kMaxRaw)
                return Fail(iLine, "raw bytes longer than a frame can be");
        }
        if (step.frame.empty())
            return Fail(iLine, "raw needs hex bytes");
    } else if (word == "close") {
        step.eKind = SIM_STEP_CLOSE;
    } else if (word == "chunk") {
        step.eKind = SIM_STEP_CHUNK;
        if (line.AtEnd() || !ParseNumber(line.Word(), 0, (long long)kMaxRaw, &v))
            return Fail(iLine, "chunk needs a size in bytes (0 for whole frames)");
        step.uValue = (unsigned int)v;
        if (!line.AtEnd()) {
            if (!ParseNumber(line.Word(), 0, 60000, &v))
                return Fail(iLine, "bad chunk delay (ms, 0 to 60000)");
            step.uTimeoutMs = (unsigned int)v;
        }
    } else {
        long long id, sender;
        if (!ParseNumber(word, -32768, 65535, &id))
            return Fail(iLine, "expected a message ID or sleep, wait, raw, chunk, close; got " + Quote(word));
        if (line.AtEnd() || !ParseNumber(line.Word(), -32768, 65535, &sender))
            return Fail(iLine, "a message needs a sender ID after its message ID");
        step.eKind = SIM_STEP_SEND;
        CRVMSG msg((short)(unsigned short)sender, (short)(unsigned short)id, 0, 1);
        while (!line.AtEnd()) {
            std::string type = line.TypePrefix();
            if (type.empty())
                return Fail(iLine, "expected TYPE:VALUE, got " + Quote(line.Word()));
            std::string why;
            if (!PutValue(msg, type, line, &why))
                return Fail(iLine, why);
        }
        const unsigned char* frame = reinterpret_cast<const unsigned char*>(msg.MSG());
        step.frame.assign(frame, frame + msg.MSGSize());
        m_Steps.push_back(std::move(step));
        return 1;
    }
    if (!line.AtEnd())
        return Fail(iLine, "unexpected " + Quote(line.Word()) + " after " + word);
    m_Steps.push_back(std::move(step));
    return 1;
}
