// Arbitrary bytes as the legacy discovery server's reply: the framing checks,
// the field reads and the address check must stay inside the buffer.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "z_client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The reply buffer of the lookup holds this much; the parser is only ever
    // given what fits in it.
    if (size > RV_LEGACY_REPLY_BUFFER)
        size = RV_LEGACY_REPLY_BUFFER;
    // An exact-size copy, so that a read past the end is caught.
    unsigned char* buffer = new unsigned char[size ? size : 1];
    memcpy(buffer, data, size);
    RVT_LEGACY_REPLY reply;
    if (ParseLegacyReply(buffer, (unsigned int)size, &reply) == LEGACY_REPLY_OK) {
        if (strnlen(reply.szAddress, sizeof reply.szAddress) >= sizeof reply.szAddress)
            __builtin_trap();   // the address text must stay terminated
        sockaddr_in addr;
        LegacyReplyAddress(&reply, &addr);
    }
    delete[] buffer;
    return 0;
}
