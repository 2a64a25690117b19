// Placeholder bodies so that code using CRVString links; filled in next.
#include "rvstring.h"

static char g_NULL[1] = { 0 };
static wchar_t g_WNULL[1] = { 0 };
char* CRVString::m_pNULL = g_NULL;
wchar_t* CRVString::m_pWNULL = g_WNULL;
static wchar_t s_wDummy;
static char s_cDummy;

CRVString::CRVString() : m_eType(TYPE_WCHAR), m_pBuffer((unsigned char*)g_WNULL), m_iLength(4) {}
CRVString::CRVString(CRVSTRING_TYPE) : CRVString() {}
CRVString::CRVString(const char*) : CRVString() {}
CRVString::CRVString(const wchar_t*) : CRVString() {}
CRVString::CRVString(const char*, const char*) : CRVString() {}
CRVString::CRVString(const wchar_t*, const wchar_t*) : CRVString() {}
CRVString::CRVString(const CRVString&) : CRVString() {}
CRVString::CRVString(CRVString&&) noexcept : CRVString() {}
CRVString::~CRVString() {}
CRVString& CRVString::operator=(const CRVString&) { return *this; }
CRVString& CRVString::operator=(CRVString&&) noexcept { return *this; }
CRVString& CRVString::operator=(const char*) { return *this; }
CRVString& CRVString::operator=(const wchar_t*) { return *this; }
CRVString& CRVString::operator+=(const char*) { return *this; }
CRVString& CRVString::operator+=(const wchar_t*) { return *this; }
CRVString& CRVString::operator+=(const CRVString&) { return *this; }
int CRVString::ConvertTochar() { return 0; }
int CRVString::ConvertTo8Bit() { return 0; }
int CRVString::ConvertTowchar_t() { return 0; }
int CRVString::ConvertToTCHAR() { return 0; }
CRVString::operator char*() { return g_NULL; }
CRVString::operator wchar_t*() { return g_WNULL; }
void* CRVString::GetBuffer(int) { return nullptr; }
char* CRVString::GetBufferCHAR(int) { return nullptr; }
wchar_t* CRVString::GetBufferWCHAR(int) { return nullptr; }
TCHAR* CRVString::GetBufferTCHAR(int) { return nullptr; }
int CRVString::ReleaseBuffer(int) { return 0; }
wchar_t& CRVString::operator[](int) { return s_wDummy; }
char& CRVString::CharAt(int) { return s_cDummy; }
char* CRVString::Alloc(int) { return nullptr; }
wchar_t* CRVString::WAlloc(int) { return nullptr; }
void CRVString::Free(void*) {}
int CRVString::Format(const char*, ...) { return 0; }
int CRVString::Format(const wchar_t*, ...) { return 0; }
int CRVString::Find(wchar_t, int) const { return -1; }
int CRVString::ReverseFind(wchar_t) const { return -1; }
CRVString CRVString::Left(int) const { return CRVString(); }
CRVString CRVString::Right(int) const { return CRVString(); }
CRVString CRVString::Mid(int, int) const { return CRVString(); }
CRVString CRVString::Mid(int) const { return CRVString(); }
int CRVString::Compare(const CRVString&) const { return 0; }
int CRVString::Compare(const char*) const { return 0; }
int CRVString::Compare(const wchar_t*) const { return 0; }
int CRVString::CompareNoCase(const CRVString&) { return 0; }
int CRVString::CompareNoCase(const char*) { return 0; }
int CRVString::CompareNoCase(const wchar_t*) { return 0; }
void CRVString::TrimLeft(const char*) {}
void CRVString::TrimLeft(const wchar_t*) {}
void CRVString::TrimRight(const char*) {}
void CRVString::TrimRight(const wchar_t*) {}
void CRVString::Replace(char, char) {}
void CRVString::MakeUpper() {}
void CRVString::MakeLower() {}
void CRVString::ConvertRTL() {}
void CRVString::Reverse() {}
void CRVString::URLDecode() {}
int CRVString::IsNumeric() const { return 0; }
int CRVString::IsNumeric(wchar_t) { return 0; }
void CRVString::CopyFrom(const char*, const char*) {}
CRVXString::CRVXString(const char*, const char*) {}
int HexToInt(const char*, int) { return 0; }
int HexToInt(const wchar_t*, int) { return 0; }
int DecToInt(const char*, int) { return 0; }
int DecToInt(const wchar_t*, int) { return 0; }
int IsBit(unsigned int, int) { return 0; }
void SetBit(unsigned char*, int, int) {}
