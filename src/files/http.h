// The download manager: HTTP streams to the servers, through a proxy when
// one is set.
#pragma once
#include <string>

class http_class {
 public:
  std::string proxy_host;  // asked for instead of the server's name when set ("_proxy_host")
  std::string proxy_port;  // the proxy port as typed ("_proxy_port")
  int proxy_port_int = 0;  // its number, 0 when none ("_proxy_port_int")
};

extern http_class http;
