// The download manager: HTTP/1.1 GET requests on numbered streams, each one
// connection at a time, polled once per frame on the main thread, bodies
// streamed into local files. An optional proxy takes every connection; host
// addresses are looked up once and cached for the life of the program.
#pragma once
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

class VuduSocket;
class THREAD_call;

// Orders header names without regard to letter case, as HTTP compares them.
struct http_name_less {
  bool operator()(const std::string& a, const std::string& b) const;
};

// One request and its response over one socket.
class down_class {
 public:
  // Connects to address (network byte order) and port; with address 0 there
  // is no socket and mError is 20011.
  down_class(uint32_t address, unsigned short port);
  // Closes the destination file if open and the connection.
  ~down_class();
  down_class(const down_class&) = delete;
  down_class& operator=(const down_class&) = delete;

  // Whether the next request may reuse this connection to address and port:
  // connected, not told to close, and the peer has not gone away. Ask only
  // between responses: it reads and drops whatever has arrived since.
  bool ConnectedTo(uint32_t address, unsigned short port);
  // Resets the response state and queues a request for path (blanks sent as
  // "%20") with the absolute URI "http://" + headers["Host"] + path; the
  // body, when given, follows with its Content-Length. dest (may be null) is
  // the file the response body goes to.
  void MakeRequest(const char* path, bool post, const std::map<std::string, std::string>& headers,
                   const char* body, int body_len, const char* dest);
  // One step: sends what the socket takes, receives at most one chunk,
  // parses the header block and writes body bytes to the destination. A
  // header block that reaches kMaxHeaderBytes without its end fails the
  // transfer with err_net_header_too_long.
  void DoProcessing();

  // 0 no socket; 1 connecting; 2 socket failed; 3 closed, or all done;
  // 4 request still sending; 6 headers incomplete; 5 body incomplete.
  int GetStat();
  // GetStat is 3.
  bool IsDone();
  // The body received equals the Content-Length.
  bool IsComplete() const;
  // A file error, no socket, or the socket failed.
  bool IsErr();
  // mError, else the socket's error number, else (no socket) 20009.
  int GetOSErr() const;

  uint32_t mIP;
  unsigned short mPort;
  VuduSocket* mSocket = nullptr;
  std::vector<unsigned char> mOutBuf;
  std::vector<unsigned char> mInBuf;
  // Header lines already taken from mInBuf, and where in mInBuf the search
  // for the next line end goes on.
  size_t mHeaderBytes = 0;
  size_t mScanFrom = 0;
  bool mHeadersDone = false;
  int32_t mResponseCode = 0;  // -1 connecting, 0 before a status line
  std::string mResponseText;
  std::map<std::string, std::string, http_name_less> mHeaders;  // first spelling and value win
  FILE* mFile = nullptr;
  std::string mDestPath;
  int32_t mError = 0;
  // -1 until known, and may be 0: a progress percentage of mReceived needs
  // a length above 0.
  int32_t mContentLength = -1;
  int32_t mReceived = 0;
  float mLastActivity;  // real_time of the start and of the last body data
  bool mKeepAlive = true;  // the last response allows another request

  // The largest header block taken (status line and interim responses
  // included): a server could otherwise fill memory with one endless line.
  static constexpr size_t kMaxHeaderBytes = 64 * 1024;
  // Receive buffer of every stream; main thread only.
  static unsigned char readChunk[65536];

 private:
  void close_file();
  void end_header_block();
  void take_header_line(const std::string& line);
};

class http_class {
 public:
  struct dns_lookup_t {
    std::string name;
    uint32_t addr = 0;  // network byte order, 0 when not found
  };

  http_class();
  ~http_class();
  http_class(const http_class&) = delete;
  http_class& operator=(const http_class&) = delete;

  // One poll of stream for server (bare host name) and file (starting with
  // '/') into dest. Returns 0 while running, 1 when the body is complete in
  // dest (the stream stays, its connection free for the next request), 2 on
  // failure (logged; the stream is dropped). Poll with the same arguments
  // each frame until 1 or 2.
  int net_check(int stream, std::string server, std::string file, const std::string& dest);
  // Grows the stream tables so that stream is a valid index.
  void make_stream_if_needed(int stream);
  // Run on the thread layer: fills the record's addr from its name.
  static void* async_dns_lookup(void* record);
  // proxy_port_int when it is a port (1 to 65535), else port.
  unsigned short ProxyPort(unsigned short port) const;
  // proxy_host when set, else host.
  const char* ProxyHost(const char* host) const;

  std::string proxy_host;   // "_proxy_host"
  std::string proxy_port;   // "_proxy_port", as typed
  int32_t proxy_port_int = 0;  // "_proxy_port_int"; outside 1..65535: the request's own port
  std::vector<down_class*> streams;   // owned; null while the stream has no request
  std::vector<THREAD_call*> dns_calls;  // the look-up running per stream
  // A deque keeps each record where it is while the tables grow, since a
  // running look-up writes into it.
  std::deque<dns_lookup_t> dns_records;
  std::map<std::string, uint32_t> dns_cache;  // server name to address; 0: not found

 private:
  void drop_stream(int stream);
  bool start_request(int stream, const std::string& server, const std::string& file, const std::string& dest);
};
extern http_class http;
// Set once networking has been started.
extern int ot_inited;
