// Port names of the form tcp://HOST:PORT: a raw TCP stream to a network serial server, which
// carries the line's bytes but neither its speed nor its control lines.
#pragma once
#include <cstdint>
#include <string>

bool IsTcpPortName(const char* name);
// Splits "tcp://HOST:PORT"; false unless it is such a name with a port of 1..65535.
bool ParseTcpPortName(const char* name, std::string& host, std::string& port);
// Connects within a few seconds; a non-blocking socket with small writes sent at once, or -1
// when the name is bad, the server refuses or does not answer.
intptr_t ConnectTcp(const char* name);
void CloseTcp(intptr_t socket);

#ifdef _WIN32
// One receive of at most n bytes within waitMs: the count, 0 when nothing came; lost is set
// once the server closed or reset the connection. (POSIX ports read the socket as a file.)
unsigned long TcpReceive(intptr_t socket, unsigned char* dst, unsigned long n, unsigned long waitMs, bool& lost);
// Sends within waitMs; the count sent.
unsigned long TcpSend(intptr_t socket, const unsigned char* src, unsigned long n, unsigned long waitMs, bool& lost);
// Bytes wait to be received, or the server has closed the connection.
bool TcpHasInput(intptr_t socket);
#endif
