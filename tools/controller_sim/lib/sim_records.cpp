#include "sim_records.h"

#include "rvcode.h"
#include "rvmsg.h"

#include <string.h>

#include <memory>

namespace {

// A login response longer than this is not kept (the viewer sends 16).
const int kMaxResponse = 256;

int GetText(CRVMSG& msg, std::string* pOut)
{
    CRVString s;
    if (!msg.GetString(&s))
        return 0;
    *pOut = SimToUtf8(s);
    return 1;
}

}  // namespace

int SimParseLogin(CRVMSG& msg, SIM_LOGIN* pLogin)
{
    *pLogin = SIM_LOGIN();
    pLogin->sSenderID = msg.SenderID();
    msg.ResetRead();
    int ok = msg.GetInt(&pLogin->iProtocol);
    ok = ok && msg.GetInt(&pLogin->iClientType);
    ok = ok && GetText(msg, &pLogin->strVersion);
    ok = ok && msg.GetInt(&pLogin->iResponseLength);
    if (ok) {
        int n = pLogin->iResponseLength;
        if (n < 0 || n > kMaxResponse || n > msg.BytesLeft()) {
            ok = 0;
        } else {
            pLogin->response.resize((size_t)n);
            ok = n == 0 || msg.GetData(pLogin->response.data(), n);
            if (!ok)
                pLogin->response.clear();
        }
    }
    ok = ok && msg.GetInt(&pLogin->iPlatformType);
    for (int i = 0; i < 4 && ok; i++)
        ok = GetText(msg, &pLogin->strInfo[i]);
    pLogin->bComplete = ok;
    return ok;
}

int SimParseSessionStart(CRVMSG& msg, SIM_SESSION_START* pStart)
{
    *pStart = SIM_SESSION_START();
    pStart->sMessageID = msg.MessageID();
    pStart->sSenderID = msg.SenderID();
    msg.ResetRead();
    int capabilities = 0;
    int* fields[] = {&pStart->iSessionID, &capabilities, &pStart->iWidth0, &pStart->iHeight0,
                     &pStart->iWidth1, &pStart->iHeight1, &pStart->iOrientation,
                     &pStart->iFontFileLength, &pStart->iScaleX, &pStart->iScaleY,
                     &pStart->iReserved1, &pStart->iReserved2, &pStart->iTrailer};
    int ok = 1;
    for (int* pField : fields) {
        if (!msg.GetInt(pField)) {
            ok = 0;
            break;
        }
    }
    pStart->uCapabilities = (unsigned int)capabilities;
    if (ok && msg.BytesLeft() > 0) {
        const unsigned char* p = msg.GetReadPointer();
        pStart->rest.assign(p, p + msg.BytesLeft());
    }
    pStart->bComplete = ok;
    return ok;
}

std::string SimPasswordBytes(const std::string& strPasswordUtf8)
{
    std::u32string text;
    if (!SimDecodeUtf8(strPasswordUtf8.data(), strPasswordUtf8.size(), &text))
        return strPasswordUtf8;
    std::string bytes;
    for (char32_t c : text) {
        if (c > 0xFF)
            return strPasswordUtf8;
        bytes.push_back((char)(unsigned char)c);
    }
    return bytes;
}

int SimLoginResponse(const std::string& strPasswordUtf8, const std::string& strChallenge,
                     unsigned char response[16])
{
    std::string password = SimPasswordBytes(strPasswordUtf8);
    int nKey = 0, nData = 0;
    std::unique_ptr<unsigned char[]> key(
        CRVCode::MakeBlock(password.data(), (int)password.size(), &nKey, 0));
    std::unique_ptr<unsigned char[]> data(
        CRVCode::MakeBlock(strChallenge.data(), (int)strChallenge.size(), &nData, 0));
    if (!key || !data || nKey < 16 || nData < 16)
        return 0;
    CRVCode code;
    if (!code.MakeKey(key.get(), CRVCode::sm_chain0, 16, 16))
        return 0;
    return code.EncryptBlock(data.get(), response) ? 1 : 0;
}
