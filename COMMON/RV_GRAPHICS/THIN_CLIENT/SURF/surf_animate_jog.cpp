// CSurf: jogging - x moves at a constant speed towards one end while the
// controller follows it through position reports (20207).
//
// At most one report is unacknowledged: a report is sent and marked out
// (SS_JOG_REPORT_OUT); further moves past the threshold only mark another
// as due (SS_JOG_REPORT_PENDING), which the controller's acknowledgement
// (20154) sends.
#include "surf.h"

#include "surf_animation.h"

#include <stdlib.h>

void CSurf::ExecuteJogCommand(RVT_JOG_COMMAND* pCommand)
{
    if (!pCommand)
        return;
    const ORIENT eOrient = pCommand->eOrientation;
    const CRVRect rc = Position(eOrient);
    m_rcSpare = CRVRect(rc.x, rc.y, pCommand->iThreshold, 0);
    switch (pCommand->iMode) {
    case -1:
        StopAnimation(AK_JOG_LEFT, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
        StopAnimation(AK_JOG_RIGHT, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
        TXPosition(eOrient, 0);
        m_iState &= ~(SS_JOG_REPORT_OUT | SS_JOG_REPORT_PENDING);
        break;
    case 2:
        AnimateJog(eOrient, AK_JOG_LEFT, rc.x, pCommand->iLeftEnd, pCommand->iSpeed, pCommand->iThreshold);
        break;
    case 3:
        AnimateJog(eOrient, AK_JOG_RIGHT, rc.x, pCommand->iRightEnd, pCommand->iSpeed, pCommand->iThreshold);
        break;
    default:
        break;
    }
}

void CSurf::ExecuteJogTXEnable(ORIENT eOrient)
{
    if (!(m_iState & SS_JOG_REPORT_PENDING)) {
        m_iState &= ~SS_JOG_REPORT_OUT;
        return;
    }
    m_iState &= ~SS_JOG_REPORT_PENDING;
    TXPosition(eOrient, 1);
    const CRVRect rc = Position(eOrient);
    m_rcSpare.x = rc.x;
    m_rcSpare.y = rc.y;
}

void CSurf::JogAnimationUpdate(CSurfAnimation* pAnimation)
{
    const ORIENT eOrient = pAnimation->Orientation();
    CRVRect rc = Position(eOrient);
    rc.x = pAnimation->Value();
    SetPosition(eOrient, rc);

    const int iThreshold = m_rcSpare.width;
    if (iThreshold == 0 || llabs((long long)rc.x - m_rcSpare.x) <= iThreshold)
        return;
    if (m_iState & SS_JOG_REPORT_OUT) {
        m_iState |= SS_JOG_REPORT_PENDING;
        return;
    }
    TXPosition(eOrient, 1);
    m_iState |= SS_JOG_REPORT_OUT;
    m_rcSpare.x = rc.x;
    m_rcSpare.y = rc.y;
}
