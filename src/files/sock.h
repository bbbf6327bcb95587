// Non-blocking IPv4 TCP sockets whose state the owner polls once per frame.
// Nothing here waits: connects, sends and receives return at once. Unexpected
// system errors print one "LINUX: NET:" line on the standard error stream,
// set status sock_failed and keep the error number; expected ends of a
// connection set sock_closed silently.
#pragma once
#include <cstdint>

// Does nothing and returns 0; stands in for printf where tracing is off.
int printf_null(const char* fmt, ...);

// VuduSocket status values.
enum {
  sock_idle = 1,        // not started, or listening with nothing waiting
  sock_connecting = 2,  // connect under way, or (listening) a connection waits
  sock_connected = 3,
  sock_closed = 4,      // closed by either side, or a connection-level failure
  sock_failed = 5       // GetOSError holds the system error number
};

class VuduSocket {
 public:
  struct ConnectionData {
    uint32_t local_address;   // host byte order
    uint16_t local_port;      // host byte order
    uint32_t remote_address;  // network byte order, as the system gives it
    uint16_t remote_port;     // host byte order
  };

  // A TCP socket bound to the local port (0: any free one) on every local
  // address, non-blocking, TCP_NODELAY on; with listen it also listens.
  // Status sock_idle, or sock_failed when a system call fails.
  VuduSocket(unsigned short port, bool listen);
  // Wraps an accepted descriptor: status sock_connected, non-blocking.
  explicit VuduSocket(int descriptor);
  // Shuts the connection down both ways and closes the descriptor.
  virtual ~VuduSocket();
  VuduSocket(const VuduSocket&) = delete;
  VuduSocket& operator=(const VuduSocket&) = delete;

  // Starts a connection to address (network byte order) and port. Returns 1
  // when connected at once, 0 while under way (poll GetStatus), else the
  // error number (status sock_failed).
  int Connect(uint32_t address, unsigned short port);
  // Polls without waiting and returns the updated status.
  int GetStatus();
  // The system error number of the last failure, 0 if none.
  int GetOSError() const;
  // True once a receive found that the peer shut down its sending side.
  bool ReceivedRelease() const;
  // One receive of at most size bytes: their count; 0 when nothing is there
  // (or the peer released and this side has not); -1 when the connection
  // has ended (status sock_closed or sock_failed).
  long ReadData(void* buffer, long size);
  // One send: the count taken (maybe fewer than size), 0 when it would
  // block, -1 when the connection has ended. Never raises SIGPIPE.
  long http_WriteData(const void* data, long size);
  // Shuts both directions down; status sock_closed. Returns shutdown's result.
  int Disconnect();
  // Shuts the sending direction down. Returns 1, or the error number
  // (status sock_failed).
  int Release();
  // The IPv4 address (network byte order) of a dotted-decimal text or a
  // host name; 0 when there is none.
  static uint32_t LookupAddress(const char* name);
  // Fills both ends' addresses and ports (byte orders as in ConnectionData).
  void GetAddresses(ConnectionData* data);
  // Takes one waiting connection; a new connected socket, or null when none
  // was waiting. This socket goes back to sock_idle either way.
  VuduSocket* Accept();
  // The system needs no network start-up: return 1 and do nothing.
  static bool StartupNetworking();
  static bool ShutdownNetworking();

 private:
  void fail(int err);
  // A receive or send that failed with err: 0 when it would only have
  // blocked, else -1, the status updated and unexpected errors printed.
  long io_failed(int err, const char* message);

  int mWinSocket = -1;
  int32_t mStatus = sock_idle;
  int32_t mOSError = 0;
  bool mReceivedRelease = false;
  bool mReleased = false;
  bool mListening = false;
};
