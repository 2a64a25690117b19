// Locator answers arrive from anyone on the local network, and dotted addresses
// come from user input and camera URLs: both parsers must take any bytes.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "rvsock.h"
#include "rvstring.h"
#include "syslocator.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    int length = size > 100000 ? 100000 : (int)size;

    RVT_PINGA shortAnswer;
    if (CSysLocator::ParseAnswer(data, length, &shortAnswer))
    {
        if (strnlen(shortAnswer.szName, sizeof(shortAnswer.szName)) >= sizeof(shortAnswer.szName))
            __builtin_trap();   // an accepted name must end inside the record
    }
    RVT_PING51A longAnswer;
    CSysLocator::ParseAnswer(data, length, &longAnswer);

    // The first byte picks how much of the rest is the search key.
    if (size == 0)
        return 0;
    size_t keyLength = data[0] % 8;
    if (keyLength > size - 1)
        keyLength = size - 1;
    std::string key((const char*)data + 1, keyLength);
    std::string text((const char*)data + 1 + keyLength, size - 1 - keyLength);
    key = key.c_str();      // cut at an embedded zero, as C callers see it
    text = text.c_str();

    IsAddress(text.c_str());
    IsAddress(CRVString(text.c_str()));
    unsigned char o[4];
    unsigned short port;
    ParseAddress(text.c_str(), key.c_str(), &o[0], &o[1], &o[2], &o[3], &port);
    ParseAddress(text.c_str(), key.c_str(), &o[0], &o[1], &o[2], &o[3], nullptr);
    ParseAddress(text.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr, &port);
    return 0;
}
