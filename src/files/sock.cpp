#include "files/sock.h"
#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cstdio>

int printf_null(const char*, ...) { return 0; }

// Errors that mean the connection is over rather than that something is
// wrong with this program or the system: the owner just sees sock_closed.
static bool connection_ended(int err) {
  switch (err) {
    case ECONNABORTED:
    case ECONNREFUSED:
    case ECONNRESET:
    case EHOSTUNREACH:
    case ENETDOWN:
    case ENETRESET:
    case ENETUNREACH:
    case ETIMEDOUT:
      return true;
    default:
      return false;
  }
}

static bool would_block(int err) { return err == EAGAIN || err == EWOULDBLOCK || err == EINTR; }

static int set_nonblocking(int fd) {
  int on = 1;
  return ioctl(fd, FIONBIO, &on);
}

void VuduSocket::fail(int err) {
  mStatus = sock_failed;
  mOSError = err;
}

long VuduSocket::io_failed(int err, const char* message) {
  if (would_block(err)) return 0;
  if (connection_ended(err)) {
    mStatus = sock_closed;
    mOSError = err;
    return -1;
  }
  fprintf(stderr, message, err);
  fail(err);
  return -1;
}

VuduSocket::VuduSocket(unsigned short port, bool listen) {
  mWinSocket = socket(AF_INET, SOCK_STREAM, 0);
  if (mWinSocket < 0) {
    int e = errno;
    fprintf(stderr, "LINUX: NET: I could not even create the socket! Uh-oh!\n");
    fail(e);
    return;
  }
  int one = 1;
  if (setsockopt(mWinSocket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) != 0)
    printf("-----------------------Could not set TCP_NODELAY on port %d-------------\n", port);

  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(port);
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  if (bind(mWinSocket, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
    int e = errno;
    fprintf(stderr, "LINUX: NET: I could not even bind the socket! Uh-oh!\n");
    fail(e);
    return;
  }
  if (set_nonblocking(mWinSocket) != 0) {
    fail(errno);
    return;
  }
  if (listen) {
    mListening = true;
    if (::listen(mWinSocket, 128) != 0) {
      int e = errno;
      fprintf(stderr, "LINUX: NET: I could not start listening! Uh-oh!\n");
      fail(e);
    }
  }
}

VuduSocket::VuduSocket(int descriptor) : mWinSocket(descriptor), mStatus(sock_connected) {
  if (set_nonblocking(mWinSocket) != 0) fail(errno);
}

VuduSocket::~VuduSocket() {
  if (mWinSocket < 0) return;
  // Nobody is left to hear about a failed shutdown or close: the descriptor
  // is released either way.
  shutdown(mWinSocket, SHUT_RDWR);
  close(mWinSocket);
}

int VuduSocket::Connect(uint32_t address, unsigned short port) {
  mStatus = sock_connecting;
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(port);
  peer.sin_addr.s_addr = address;
  if (connect(mWinSocket, reinterpret_cast<sockaddr*>(&peer), sizeof peer) == 0) {
    mStatus = sock_connected;
    return 1;
  }
  int e = errno;
  // An interrupted non-blocking connect goes on in the background, like one
  // in progress.
  if (e == EINPROGRESS || would_block(e)) return 0;
  fprintf(stderr, "LINUX: NET: Some sort of connect error! %d\n", e);
  fail(e);
  return e;
}

int VuduSocket::GetStatus() {
  if (mStatus == sock_idle && mListening) {
    pollfd p{mWinSocket, POLLIN, 0};
    int r = poll(&p, 1, 0);
    if (r < 0) {
      int e = errno;
      if (e != EINTR) {
        fprintf(stderr, "LINUX: NET: Some sort of socket error! %d\n", r);
        fail(e);
      }
    } else if (r > 0) {
      mStatus = (p.revents & POLLIN) ? sock_connecting : sock_closed;
    }
  } else if (mStatus == sock_connecting && !mListening) {
    pollfd p{mWinSocket, POLLOUT | POLLPRI, 0};
    int r = poll(&p, 1, 0);
    if (r < 0) {
      int e = errno;
      if (e != EINTR) {
        fprintf(stderr, "LINUX: NET: Some sort of socket error while connecting! %d (errno=%d sock=%d)\n", r, e,
                mWinSocket);
        fail(e);
      }
    } else if (r > 0) {
      // A refused connect also reports the socket writable; only the
      // socket's pending error tells the two apart.
      int so_error = 0;
      socklen_t len = sizeof so_error;
      if (getsockopt(mWinSocket, SOL_SOCKET, SO_ERROR, &so_error, &len) != 0) so_error = errno;
      const bool clean = (p.revents & POLLOUT) && !(p.revents & (POLLERR | POLLHUP | POLLNVAL | POLLPRI));
      if (clean && so_error == 0) {
        mStatus = sock_connected;
      } else {
        mStatus = sock_closed;
        if (so_error) mOSError = so_error;
      }
    }
  }
  return mStatus;
}

int VuduSocket::GetOSError() const { return mOSError; }

bool VuduSocket::ReceivedRelease() const { return mReceivedRelease; }

long VuduSocket::ReadData(void* buffer, long size) {
  if (size <= 0) return 0;
  ssize_t n = recv(mWinSocket, buffer, static_cast<size_t>(size), 0);
  if (n > 0) return n;
  if (n == 0) {
    mReceivedRelease = true;
    if (!mReleased) return 0;
    mStatus = sock_closed;
    return -1;
  }
  return io_failed(errno, "LINUX: NET: Some sort of error while recving! %d\n");
}

long VuduSocket::http_WriteData(const void* data, long size) {
  if (size <= 0) return 0;
  // MSG_NOSIGNAL: a peer that has gone must cost an error, not the process.
  ssize_t n = send(mWinSocket, data, static_cast<size_t>(size), MSG_NOSIGNAL);
  if (n >= 0) return n;
  return io_failed(errno, "LINUX: NET: Some sort of error while sending! %d\n");
}

int VuduSocket::Disconnect() {
  int r = shutdown(mWinSocket, SHUT_RDWR);
  mStatus = sock_closed;
  return r;
}

int VuduSocket::Release() {
  if (shutdown(mWinSocket, SHUT_WR) != 0) {
    int e = errno;
    fail(e);
    return e;
  }
  mReleased = true;
  return 1;
}

uint32_t VuduSocket::LookupAddress(const char* name) {
  if (!name || !*name) return 0;
  in_addr numeric{};
  if (inet_aton(name, &numeric)) return numeric.s_addr;
  // getaddrinfo rather than gethostbyname: look-ups may run on pool threads,
  // and this one keeps no shared state.
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0 || !found) return 0;
  uint32_t address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  freeaddrinfo(found);
  return address;
}

void VuduSocket::GetAddresses(ConnectionData* data) {
  *data = ConnectionData{};
  sockaddr_in a{};
  socklen_t len = sizeof a;
  if (getpeername(mWinSocket, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
    data->remote_address = a.sin_addr.s_addr;
    data->remote_port = ntohs(a.sin_port);
  }
  a = sockaddr_in{};
  len = sizeof a;
  if (getsockname(mWinSocket, reinterpret_cast<sockaddr*>(&a), &len) == 0) {
    data->local_address = ntohl(a.sin_addr.s_addr);
    data->local_port = ntohs(a.sin_port);
  }
}

VuduSocket* VuduSocket::Accept() {
  int fd = accept(mWinSocket, nullptr, nullptr);
  mStatus = sock_idle;
  return fd >= 0 ? new VuduSocket(fd) : nullptr;
}

bool VuduSocket::StartupNetworking() { return true; }

bool VuduSocket::ShutdownNetworking() { return true; }
