// http_class: the numbered download streams and their polling.
#include "files/http.h"
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/xtim.h"
#include "files/sock.h"
#include "core/hl_alert.h"

http_class http;
int ot_inited = 0;

static const char http_agent[] = "Installer-APL/Duvizo REV Aridazevu 2.06r1";
static const float http_timeout_secs = 60.0f;

http_class::http_class() = default;

http_class::~http_class() {
  // A look-up still under way is left alone: the pool it runs on may be
  // gone by now, and its record lives as long as this object's storage.
  for (down_class* d : streams) delete d;
  streams.clear();
}

void http_class::make_stream_if_needed(int stream) {
  if (stream < 0) return;
  size_t n = static_cast<size_t>(stream) + 1;
  if (streams.size() < n) streams.resize(n, nullptr);
  if (dns_calls.size() < n) dns_calls.resize(n, nullptr);
  if (dns_records.size() < n) dns_records.resize(n);
}

void* http_class::async_dns_lookup(void* record) {
  dns_lookup_t* r = static_cast<dns_lookup_t*>(record);
  r->addr = VuduSocket::LookupAddress(r->name.c_str());
  return nullptr;
}

unsigned short http_class::ProxyPort(unsigned short port) const {
  // The preferences store whatever the port text made (-1 for letters); a
  // value that is no port would otherwise wrap to some other port.
  return proxy_port_int >= 1 && proxy_port_int <= 65535 ? static_cast<unsigned short>(proxy_port_int) : port;
}

const char* http_class::ProxyHost(const char* host) const { return proxy_host.empty() ? host : proxy_host.c_str(); }

void http_class::drop_stream(int stream) {
  delete streams[stream];
  streams[stream] = nullptr;
}

// Starts the next request of the stream once the server's address is known.
// Returns false when the address is known to be missing.
bool http_class::start_request(int stream, const std::string& server, const std::string& file,
                               const std::string& dest) {
  uint32_t addr = dns_cache[server];
  if (addr == 0) return false;
  if (!server.empty() && server.back() == '/')
    __MACIBM_alert(0, "net_check error! You have a dirchar at the end of the server name!", "You should not!",
                   "Our convention is that a server name is simply a server name... with no slash!", server,
                   t_crash, "RUvozuz/OOPS_cpp/http", 354);
  if (file.empty() || file[0] != '/')
    __MACIBM_alert(0, "net_check error! You do not have a dirchar at the beginning of the directory name!",
                   "You should!",
                   "Our convention is that a directory name does start with a slash because it must include the "
                   "hard drive,which is a dir char on unix!",
                   file, t_crash, "RUvozuz/OOPS_cpp/http", 355);

  std::map<std::string, std::string> headers;
  headers["Host"] = server;
  headers["User-agent"] = http_agent;
  unsigned short port = ProxyPort(80);
  if (streams[stream] && !streams[stream]->ConnectedTo(addr, port)) drop_stream(stream);
  if (!streams[stream]) streams[stream] = new down_class(addr, port);
  streams[stream]->MakeRequest(file.c_str(), false, headers, nullptr, 0, dest.c_str());
  return true;
}

int http_class::net_check(int stream, std::string server, std::string file, const std::string& dest) {
  static int soc_inited = 0;
  if (stream < 0) return 2;
  make_stream_if_needed(stream);
  if (!soc_inited) {
    soc_inited = 1;
    VuduSocket::StartupNetworking();
    ot_inited = 1;
  }

  down_class* d = streams[stream];
  if (!d || d->mReceived == d->mContentLength) {
    if (!dns_calls[stream] && !dns_cache.count(server)) {
      dns_records[stream].name = ProxyHost(server.c_str());
      dns_records[stream].addr = 0;
      dns_calls[stream] = THREAD_run_async(&http_class::async_dns_lookup, &dns_records[stream]);
    }
    if (dns_calls[stream] && THREAD_is_done(dns_calls[stream], 0)) {
      THREAD_cleanup(dns_calls[stream]);
      dns_calls[stream] = nullptr;
      dns_cache[server] = dns_records[stream].addr;
    }
    // Until the look-up is back, a finished earlier transfer must not read
    // as this file being done.
    if (dns_calls[stream]) return 0;
    if (!start_request(stream, server, file, dest)) return 2;
  }

  d = streams[stream];
  if (!d) return 0;
  d->DoProcessing();

  VuduSocket* s = d->mSocket;
  const bool socket_open = s && s->GetStatus() != sock_closed && !s->ReceivedRelease();
  // More bytes than announced can never add up to the length: the response
  // is broken, and waiting longer would not mend it.
  const bool body_open =
      d->mReceived != d->mContentLength && !(d->mContentLength >= 0 && d->mReceived > d->mContentLength);
  if (socket_open && body_open && !d->IsErr()) {
    if (xtim.real_time <= d->mLastActivity + http_timeout_secs) return 0;
    xer_group() << "Timeout for " << dest << "\n"
                << "   server     =" << server << "\n"
                << "   file       =" << file << "\n\n";
    drop_stream(stream);
    return 2;
  }

  if (d->mResponseCode >= 200 && d->mResponseCode <= 299 && d->mContentLength == d->mReceived && !d->IsErr())
    return 1;
  xer_group() << "HTTP Error for " << dest << "\n"
              << "   server     =" << server << "\n"
              << "   file       =" << file << "\n"
              << "   IsDone     =" << (d->IsDone() ? 1 : 0) << "\n"
              << "   IsComplete =" << (d->IsComplete() ? 1 : 0) << "\n"
              << "   IsErr      =" << (d->IsErr() ? 1 : 0) << "\n"
              << "   GetStat    =" << d->GetStat() << "\n"
              << "   GetOSErr   =" << d->GetOSErr() << "\n"
              << "   response   =" << d->mResponseText << " (#" << d->mResponseCode << ")\n\n";
  drop_stream(stream);
  return 2;
}
