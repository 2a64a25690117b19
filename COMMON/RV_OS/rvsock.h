// Small stateless helpers over BSD sockets, shared by every piece of network code.
//
// All addresses are IPv4. An address held as a 32-bit value is in network order
// as it lies in memory: its lowest byte is the first octet of the dotted form.
#pragma once

#include <netinet/in.h>

class CRVString;

// Waits at most ms milliseconds for the descriptor to become readable
// (respectively writable). Non-zero when it is; 0 on time-out, on error and at
// once for a descriptor of -1. End of stream and socket errors count as readable,
// so the following recv reports them.
int WaitSocketReadState(int fd, unsigned int ms);
int WaitSocketWriteState(int fd, unsigned int ms);

// Set, respectively clear, O_NONBLOCK. 1 on success, 0 on failure.
int SetNonBlocking(int fd);
int SetBlocking(int fd);

// Shuts the socket down for reading, then closes it. Negative descriptors are ignored.
void CloseSocket(int fd);

// Store / read a 32-bit address in memory order.
void SetIP(unsigned int ip, sockaddr_in* addr);
void SetIPV4(in_addr* addr, unsigned int ip);
unsigned int GetIP(const sockaddr_in* addr);

// 1 if the text has exactly three dots, each directly preceded by a decimal
// digit (a dotted IPv4 literal, possibly followed by ":port"), else 0.
int IsAddress(const char* text);
int IsAddress(CRVString text);   // read as narrow text

// Reads "a.b.c.d" (port == nullptr) or "a.b.c.d:port" (port given), starting
// after the first occurrence of key when key is neither null nor empty. The
// address ends at the end of the text, a line feed or a carriage return.
// Octets must be 0..255 and the port 0..65535, written as plain decimal digits.
// Stores into whichever out pointers are not null; 1 on success, 0 on failure
// (nothing is stored then).
int ParseAddress(const char* text, const char* key, unsigned char* a, unsigned char* b,
                 unsigned char* c, unsigned char* d, unsigned short* port);
