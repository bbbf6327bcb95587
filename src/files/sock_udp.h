// A bound IPv4 UDP datagram socket with send-to and receive-from. Unlike the
// TCP socket it raises alerts: a warning when it cannot be made non-blocking,
// a crash when its buffers cannot be sized or it is read while closed.
#pragma once
#include <netinet/in.h>
#include <cstdint>

enum { udp_buffer_size_snd = 16384, udp_buffer_size_rcv = 65536 };

class VuduSocketUDP {
 public:
  // Closed until udp_init.
  VuduSocketUDP();
  // Closes the socket if open.
  virtual ~VuduSocketUDP();
  VuduSocketUDP(const VuduSocketUDP&) = delete;
  VuduSocketUDP& operator=(const VuduSocketUDP&) = delete;

  // Binds a UDP socket to the local port (host byte order) on every local
  // address; mode 2 makes it non-blocking. Sizes its buffers. Returns 1, or
  // 0 with the socket closed.
  int udp_init(unsigned short port, int mode);
  // Sets the send and receive buffer sizes and reads them back; a failure is
  // a crash alert.
  void size_buffer();
  // Receives one datagram of at most size bytes; the sender's address and
  // port in host byte order. Returns the count, or -1 (nothing waiting on a
  // non-blocking socket, or an error). Reading a closed socket is a crash.
  long ReadData(void* buffer, long size, uint32_t* address, unsigned short* port);
  // Sends one datagram to address and port (host byte order); returns the
  // system's result (the count sent, or -1).
  long udp_WriteData(const void* data, long size, uint32_t address, unsigned short port);
  // Closes the socket if open.
  void Cleanup();

 private:
  int mWinSocket = -1;
  sockaddr_in mLocal{};
};
