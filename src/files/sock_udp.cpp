#include "files/sock_udp.h"
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <string>
#include "core/hl_alert.h"

static const char* const udp_unit = "RUvozuz/Sockets/VuduSocketUDP";
static const char* const udp_unit_lin = "RUvozuz/Sockets/VuduSocketUDP.lin";

VuduSocketUDP::VuduSocketUDP() = default;

VuduSocketUDP::~VuduSocketUDP() { Cleanup(); }

void VuduSocketUDP::Cleanup() {
  if (mWinSocket >= 0) close(mWinSocket);  // nothing to do about a failed close of a datagram socket
  mWinSocket = -1;
}

int VuduSocketUDP::udp_init(unsigned short port, int mode) {
  mLocal = sockaddr_in{};
  mLocal.sin_family = AF_INET;
  mLocal.sin_port = htons(port);
  mLocal.sin_addr.s_addr = htonl(INADDR_ANY);

  mWinSocket = socket(AF_INET, SOCK_DGRAM, 0);
  if (mWinSocket < 0) {
    mWinSocket = -1;
    return 0;
  }
  if (bind(mWinSocket, reinterpret_cast<sockaddr*>(&mLocal), sizeof mLocal) != 0) {
    Cleanup();
    return 0;
  }
  if (mode == 2) {
    int flags = fcntl(mWinSocket, F_GETFL, 0);
    if (flags < 0 || fcntl(mWinSocket, F_SETFL, flags | O_NONBLOCK) != 0) {
      __MACIBM_alert(0, "Could not set net to non-blocking!", "", "", "", t_warning, udp_unit_lin, 62);
      Cleanup();
      return 0;
    }
  }
  size_buffer();
  return 1;
}

void VuduSocketUDP::size_buffer() {
  int snd = udp_buffer_size_snd, rcv = udp_buffer_size_rcv;
  socklen_t len = sizeof snd;
  if (setsockopt(mWinSocket, SOL_SOCKET, SO_SNDBUF, &snd, sizeof snd) != 0)
    __MACIBM_alert(0, "Could not set socket size!", "", "", "", t_crash, udp_unit, 91);
  if (getsockopt(mWinSocket, SOL_SOCKET, SO_SNDBUF, &snd, &len) != 0)
    __MACIBM_alert(0, "Could not set socket size!", "", "", "", t_crash, udp_unit, 92);
  if (setsockopt(mWinSocket, SOL_SOCKET, SO_RCVBUF, &rcv, sizeof rcv) != 0)
    __MACIBM_alert(0, "Could not set socket size!", "", "", "", t_crash, udp_unit, 93);
  len = sizeof rcv;
  if (getsockopt(mWinSocket, SOL_SOCKET, SO_RCVBUF, &rcv, &len) != 0)
    __MACIBM_alert(0, "Could not set socket size!", "", "", "", t_crash, udp_unit, 94);
}

long VuduSocketUDP::ReadData(void* buffer, long size, uint32_t* address, unsigned short* port) {
  if (mWinSocket < 0) __MACIBM_alert(0, "Bad mWinSocket!", "", "", "", t_crash, udp_unit_lin, 102);
  sockaddr_in from{};
  socklen_t len = sizeof from;
  ssize_t n = recvfrom(mWinSocket, buffer, size > 0 ? static_cast<size_t>(size) : 0, 0,
                       reinterpret_cast<sockaddr*>(&from), &len);
  if (n >= 0) {
    if (address) *address = ntohl(from.sin_addr.s_addr);
    if (port) *port = ntohs(from.sin_port);
  }
  return n;
}

long VuduSocketUDP::udp_WriteData(const void* data, long size, uint32_t address, unsigned short port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(address);
  return sendto(mWinSocket, data, size > 0 ? static_cast<size_t>(size) : 0, MSG_NOSIGNAL,
                reinterpret_cast<sockaddr*>(&to), sizeof to);
}
