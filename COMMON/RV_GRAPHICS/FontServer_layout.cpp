// CFontServer: fitting a text to its box before it is drawn, with whatever
// measuring the server has: cut to one line with "..." or broken into lines.
#include "FontServer.h"

namespace {

const int DEFAULT_MAX_LINES = 100;

int Width(CFontServer* pServer, int iSize, const CRVString& s, int iStart, int iCount)
{
    const wchar_t* p = static_cast<const wchar_t*>(s.GetData());
    return pServer->GetTextExtent(iSize, p + iStart, iCount).cx;
}

} // namespace

CRVString CFontServer::LayoutText(const CRVString& sText, const RVT_TEXT_RENDER_PARAMS& params)
{
    if (params.iWrapMode == RVT_TEXT_RENDER_PARAMS::WRAP_LINES)
        return SplitText(sText, params.iSize, params.iMaxWidth, params.iMaxLines, params.iMaxHeight);
    if (params.iWrapMode == RVT_TEXT_RENDER_PARAMS::WRAP_TRUNCATE)
        return TruncateText(sText, params.iSize, params.iMaxWidth);
    return sText;
}

CRVString CFontServer::TruncateText(const CRVString& sText, int iSize, int iMaxWidth)
{
    CRVString s(sText);
    s.ConvertTowchar_t();
    const int n = s.GetLength();
    if (n < 4 || Width(this, iSize, s, 0, n) <= iMaxWidth)
        return s;
    const int iRoom = iMaxWidth - GetTextExtent(iSize, CRVString(L"...")).cx;
    // The longest head that fits, at least one character. Widths grow with
    // the length, so the search halves the range instead of measuring every
    // shorter head in turn.
    int lo = 1, hi = n - 1;
    int iKeep = 1;
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        if (Width(this, iSize, s, 0, mid) <= iRoom) {
            iKeep = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    CRVString sCut = s.Left(iKeep);
    sCut += L"...";
    return sCut;
}

CRVString CFontServer::SplitText(const CRVString& sText, int iSize, int iMaxWidth, int iMaxLines, int iMaxHeight)
{
    int iLimit = iMaxLines > 0 ? iMaxLines : DEFAULT_MAX_LINES;
    if (iSize > 0 && iMaxHeight / iSize < iLimit)
        iLimit = iMaxHeight / iSize;
    if (iLimit < 1)
        iLimit = 1;

    CRVString s(sText);
    s.ConvertTowchar_t();
    const wchar_t* p = static_cast<const wchar_t*>(s.GetData());
    const int n = s.GetLength();
    CRVString sOut;
    int iLines = 0;
    int i = 0;
    while (i < n && iLines < iLimit) {
        // A line feed in the text ends a line wherever it is.
        int iEnd = i;
        while (iEnd < n && p[iEnd] != L'\n')
            iEnd++;
        int iTake;      // characters of this line
        int iNext;      // where the next line starts
        if (Width(this, iSize, s, i, iEnd - i) < iMaxWidth) {
            iTake = iEnd - i;
            iNext = iEnd < n ? iEnd + 1 : iEnd;
        } else {
            iTake = MaxCharsInLine(iSize, p + i, iEnd - i, iMaxWidth, 0, 1);
            // Always at least one character, so a box narrower than a single
            // character still ends.
            if (iTake < 1)
                iTake = 1;
            if (iTake > iEnd - i)
                iTake = iEnd - i;
            iNext = i + iTake;
            if (iNext == iEnd && iEnd < n)
                iNext++;
        }
        // Spaces at a break belong to neither line.
        int iLast = i + iTake;
        while (iLast > i && p[iLast - 1] == L' ')
            iLast--;
        if (iLines > 0)
            sOut += L"\n";
        sOut += s.Mid(i, iLast - i);
        iLines++;
        i = iNext;
        while (i < n && p[i] == L' ')
            i++;
    }
    return sOut;
}
