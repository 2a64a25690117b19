// Arbitrary frames from a viewer to the demo panel's session: touches of
// every control (and of anything else), in any order, cut short or not, and
// session starts in between. The session never crashes, keeps its state in
// range, and sends only whole frames.
#include "demo_session.h"
#include "fuzz_frame.h"
#include "fuzz_reader.h"

#include <stdlib.h>

#include <vector>

namespace {

// Surface IDs worth touching: every control and its parent, and a few others.
const int kIDs[] = {
    DEMO_ID_NAV,           DEMO_ID_TAB,           DEMO_ID_TAB + 1,        DEMO_ID_TAB + 2,
    DEMO_ID_TAB + 3,       DEMO_ID_LIGHT_TILE,    DEMO_ID_LIGHT_TILE + 10, DEMO_ID_LIGHT_TILE + 50,
    2000,                  DEMO_ID_SETPOINT_CARD, DEMO_ID_SETPOINT_MINUS, DEMO_ID_SETPOINT_PLUS,
    DEMO_ID_TAB_LABEL + 1, 0,                     -1,                     DEMO_ID_LIGHT_TILE + 60,
};

int PickID(FuzzReader& in)
{
    const uint8_t b = in.Byte();
    return b < 0xF0 ? kIDs[b % (sizeof kIDs / sizeof kIDs[0])] : in.Int();
}

void CheckFrame(CRVMSG& msg)
{
    RVT_HEADER* h = msg.MSG();
    if (!h || msg.MSGSize() != (int)RV_HEADER_SIZE + msg.DataSize() ||
        RVLoadHeader(reinterpret_cast<const unsigned char*>(h)).uLength != (unsigned int)msg.DataSize())
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReader in(data, size);
    size_t uSent = 0;
    CDemoSession session("Fuzz", [&uSent](CRVMSG& msg) {
        CheckFrame(msg);
        uSent++;
    });
    if (in.Byte() & 1)
        session.LoggedIn();
    while (in.size) {
        const uint8_t kind = in.Byte();
        std::vector<uint8_t> body;
        short sID = 20204;
        if (kind < 0xE0) {
            // A touch: five ints, possibly cut short.
            const int v[5] = {PickID(in), PickID(in), (int)(in.Byte() & 1), (int)(int8_t)in.Byte() * 4,
                              (int)(int8_t)in.Byte() * 4};
            body.resize(sizeof v);
            memcpy(body.data(), v, sizeof v);
            if (kind >= 0xC0)
                body.resize(kind & 0x1F);
        } else if (kind < 0xF0) {
            sID = kind & 1 ? 20002 : 20000;
        } else {
            sID = (short)in.U32();
            for (int n = in.Byte() & 0x3F; n > 0; n--)
                body.push_back(in.Byte());
        }
        unsigned char* pFrame = NewExactFrame(0, sID, body.data(), body.size());
        CRVMSG frame(reinterpret_cast<RVT_HEADER*>(pFrame));
        session.OnFrame(frame);
        free(pFrame);

        const DEMO_STATE& s = session.State();
        if (s.iPage < 0 || s.iPage >= DEMO_PAGES || s.iSetpointTenths < DEMO_SETPOINT_MIN ||
            s.iSetpointTenths > DEMO_SETPOINT_MAX || (s.iSetpointTenths - DEMO_SETPOINT_START) % DEMO_SETPOINT_STEP)
            abort();
        // Nothing goes out before the session has started.
        if (!session.Started() && uSent)
            abort();
    }
    return 0;
}
