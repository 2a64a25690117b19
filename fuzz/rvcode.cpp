// Arbitrary bytes into the decoders that read untrusted text: Base64 decoding,
// hex to binary and block decryption with any length. Output buffers are sized
// exactly, so AddressSanitizer reports any write past them.
#include "rvcode.h"

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    const char* text = reinterpret_cast<const char*>(data);

    Base64Coder coder;
    coder.Decode(text, (unsigned int)size);
    unsigned int decoded = coder.DecodedMessageSize();
    if (decoded > size)     // four characters never give more than three bytes
        __builtin_trap();
    if (coder.DecodedMessage()[decoded] != 0)
        __builtin_trap();
    // Whatever was decoded encodes and decodes back to itself.
    std::vector<unsigned char> first(coder.DecodedMessage(), coder.DecodedMessage() + decoded);
    coder.Encode(first.data(), decoded);
    std::vector<char> encoded(coder.EncodedMessage(), coder.EncodedMessage() + coder.EncodedMessageSize());
    coder.Decode(encoded.data(), (unsigned int)encoded.size());
    if (coder.DecodedMessageSize() != decoded ||
        (decoded && memcmp(coder.DecodedMessage(), first.data(), decoded) != 0))
        __builtin_trap();

    // Hex: the text must be zero terminated; the output gets a size from the input.
    std::vector<char> hex(text, text + size);
    hex.push_back(0);
    int outSize = size ? data[0] % 40 : 0;
    unsigned char* out = new unsigned char[outSize ? outSize : 1];
    int n = CRVCode::ASCIIToBIN(hex.data(), out, outSize);
    if (n < 0 || n > outSize)
        __builtin_trap();
    delete[] out;

    // Decrypt the input as it stands: any length, key and block size and mode
    // chosen by the first bytes.
    if (size >= 3) {
        static const int kSizes[3] = {16, 24, 32};
        int keyLength = kSizes[data[0] % 3], blockSize = kSizes[data[1] % 3], mode = data[2] % 4;
        unsigned char key[32] = {0};
        memcpy(key, data, size < 32 ? size : 32);
        CRVCode code;
        if (code.MakeKey(key, CRVCode::sm_chain0, keyLength, blockSize)) {
            std::vector<unsigned char> plain(size - 3);
            std::vector<unsigned char> cipher(data + 3, data + size);
            int ok = code.Decrypt(cipher.data(), plain.data(), (unsigned int)cipher.size(), mode);
            bool valid = !cipher.empty() && cipher.size() % blockSize == 0 && mode < 3;
            if (ok != (valid ? 1 : 0))
                __builtin_trap();
            if (ok) {
                // And back again.
                code.ResetChain();
                std::vector<unsigned char> again(plain.size());
                code.Encrypt(plain.data(), again.data(), (unsigned int)plain.size(), mode);
                if (again != cipher)
                    __builtin_trap();
            }
        }
    }
    return 0;
}
