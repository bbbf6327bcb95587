// down_class: one HTTP request and its response over one socket.
#include <errno.h>
#include <strings.h>
#include <cstdlib>
#include <algorithm>
#include "core/xtim.h"
#include "files/file_errors.h"
#include "files/file_paths.h"
#include "files/http.h"
#include "files/sock.h"

unsigned char down_class::readChunk[65536];

bool http_name_less::operator()(const std::string& a, const std::string& b) const {
  return strcasecmp(a.c_str(), b.c_str()) < 0;
}

static std::string trim_blanks(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Whether a comma-separated header value lists the token (any letter case).
static bool lists_token(const std::string& value, const char* token) {
  size_t start = 0;
  while (start <= value.size()) {
    size_t comma = value.find(',', start);
    std::string item = trim_blanks(value.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (strcasecmp(item.c_str(), token) == 0) return true;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return false;
}

// A Content-Length value: decimal digits only, and it must fit the counter;
// anything else leaves the length unknown, so the body can never complete.
static int32_t parse_length(const std::string& value) {
  std::string v = trim_blanks(value);
  if (v.empty() || v.size() > 10 || v.find_first_not_of("0123456789") != std::string::npos) return -1;
  long long n = std::atoll(v.c_str());
  return n <= INT32_MAX ? static_cast<int32_t>(n) : -1;
}

down_class::down_class(uint32_t address, unsigned short port)
    : mIP(address), mPort(port), mLastActivity(xtim.real_time) {
  if (address == 0) {
    mError = 20011;
    return;
  }
  mResponseCode = -1;
  mSocket = new VuduSocket(0, false);
  mSocket->Connect(address, port);
}

down_class::~down_class() {
  close_file();
  delete mSocket;
}

void down_class::close_file() {
  if (!mFile) return;
  errno = 0;
  if (fclose(mFile) != 0 && mError == 0) mError = errno ? errno : EIO;
  mFile = nullptr;
}

bool down_class::ConnectedTo(uint32_t address, unsigned short port) {
  if (!mKeepAlive) return false;
  if (address != mIP || port != mPort || !mSocket) return false;
  if (mSocket->GetStatus() != sock_connected) return false;
  // A kept-alive connection may have been closed by the server while idle.
  // Anything that arrives between responses is either that end or stray
  // bytes; both rule the connection out, and nothing valid is lost.
  if (!mSocket->ReceivedRelease()) {
    long n = mSocket->ReadData(readChunk, sizeof readChunk);
    if (n != 0) return false;
  }
  return !mSocket->ReceivedRelease() && mSocket->GetStatus() == sock_connected;
}

void down_class::MakeRequest(const char* path, bool post, const std::map<std::string, std::string>& headers,
                             const char* body, int body_len, const char* dest) {
  close_file();
  mOutBuf.clear();
  mInBuf.clear();
  mHeaderBytes = 0;
  mScanFrom = 0;
  mHeaders.clear();
  mContentLength = -1;
  mResponseCode = 0;
  mResponseText.clear();
  mReceived = 0;
  mLastActivity = xtim.real_time;
  mHeadersDone = false;
  mError = 0;
  mKeepAlive = true;

  mDestPath = dest ? dest : "";
  if (dest) set_path_to_full(mDestPath);

  std::string escaped;
  for (const char* c = path ? path : ""; *c; ++c) {
    if (*c == ' ')
      escaped += "%20";
    else
      escaped += *c;
  }
  auto host = headers.find("Host");
  std::string req = post ? "POST " : "GET ";
  req += "http://" + (host != headers.end() ? host->second : std::string()) + escaped + " HTTP/1.1\r\n";
  for (const auto& [name, value] : headers) req += name + ": " + value + "\r\n";
  if (body) req += "Content-Length: " + std::to_string(body_len) + "\r\n";
  req += "\r\n";
  mOutBuf.assign(req.begin(), req.end());
  if (body && body_len > 0) mOutBuf.insert(mOutBuf.end(), body, body + body_len);
}

// A status line: "HTTP/" and a version, a blank, three digits, and either
// nothing more or a blank and a reason (which may be empty).
static bool parse_status_line(const std::string& line, int32_t* code, std::string* text) {
  if (line.compare(0, 5, "HTTP/") != 0) return false;
  size_t sp = line.find(' ');
  if (sp == std::string::npos || sp + 4 > line.size()) return false;
  for (size_t i = sp + 1; i < sp + 4; ++i)
    if (line[i] < '0' || line[i] > '9') return false;
  if (sp + 4 < line.size() && line[sp + 4] != ' ') return false;
  *code = std::atoi(line.substr(sp + 1, 3).c_str());
  *text = sp + 5 <= line.size() ? line.substr(sp + 5) : std::string();
  return true;
}

void down_class::take_header_line(const std::string& line) {
  int32_t code;
  std::string text;
  if (parse_status_line(line, &code, &text)) {
    mResponseCode = code;
    mResponseText = text;
    // HTTP/1.0 closes after each response unless it says otherwise.
    mKeepAlive = line.compare(0, 8, "HTTP/1.0") != 0;
    return;
  }
  size_t colon = line.find(':');
  if (colon == std::string::npos || colon == 0) return;
  mHeaders.emplace(line.substr(0, colon), trim_blanks(line.substr(colon + 1)));
}

void down_class::end_header_block() {
  auto conn = mHeaders.find("Connection");
  if (conn != mHeaders.end()) {
    if (lists_token(conn->second, "keep-alive")) mKeepAlive = true;
    if (lists_token(conn->second, "close")) mKeepAlive = false;
  }
  mHeadersDone = true;
  if (!mDestPath.empty()) {
    mFile = fopen(mDestPath.c_str(), "wb");
    if (!mFile) mError = errno ? errno : EIO;
  }
  auto len = mHeaders.find("Content-Length");
  if (len != mHeaders.end()) mContentLength = parse_length(len->second);
}

void down_class::DoProcessing() {
  if (!mSocket) return;
  int st = mSocket->GetStatus();
  if (st == sock_closed || st == sock_failed) {
    close_file();
    return;
  }
  if (st != sock_connected) return;

  if (!mOutBuf.empty()) {
    long sent = mSocket->http_WriteData(mOutBuf.data(), static_cast<long>(mOutBuf.size()));
    if (sent > 0) mOutBuf.erase(mOutBuf.begin(), mOutBuf.begin() + sent);
  }
  if (mError && !mHeadersDone) return;
  // While the header block lasts, no more is taken in than its limit.
  size_t room = sizeof readChunk;
  if (!mHeadersDone) room = std::min(room, kMaxHeaderBytes - std::min(kMaxHeaderBytes, mHeaderBytes + mInBuf.size()));
  long got = room ? mSocket->ReadData(readChunk, static_cast<long>(room)) : 0;
  if (got <= 0) return;
  mInBuf.insert(mInBuf.end(), readChunk, readChunk + got);

  // Lines are taken from the front and dropped all at once afterwards, and
  // each search starts where the last one stopped: a flood of short lines or
  // one long line costs no more than its bytes.
  size_t line_start = 0;
  while (!mHeadersDone) {
    size_t end = std::string::npos;
    for (size_t i = std::max(mScanFrom, line_start); i + 1 < mInBuf.size(); ++i) {
      if (mInBuf[i] == '\r' && mInBuf[i + 1] == '\n') {
        end = i;
        break;
      }
    }
    if (end == std::string::npos) {
      // A '\r' last in the buffer may yet be followed by its '\n'.
      mScanFrom = std::max(line_start, mInBuf.size() - 1);
      break;
    }
    std::string line(mInBuf.begin() + line_start, mInBuf.begin() + end);
    mHeaderBytes += end + 2 - line_start;
    line_start = end + 2;
    mScanFrom = line_start;
    if (!line.empty()) {
      take_header_line(line);
    } else if (mResponseCode > 199) {
      end_header_block();
    } else {
      // An interim (1xx) response: its fields are not the final one's, and
      // the final response may already be in the buffer.
      mHeaders.clear();
    }
  }
  mInBuf.erase(mInBuf.begin(), mInBuf.begin() + line_start);
  mScanFrom -= std::min(mScanFrom, line_start);

  if (!mHeadersDone) {
    if (mHeaderBytes + mInBuf.size() >= kMaxHeaderBytes) mError = err_net_header_too_long;
    return;
  }
  mLastActivity = xtim.real_time;
  if (!mFile) return;
  if (!mInBuf.empty()) {
    errno = 0;
    size_t put = fwrite(mInBuf.data(), 1, mInBuf.size(), mFile);
    if (put < mInBuf.size() && mError == 0) mError = errno ? errno : EIO;
    const int64_t total = int64_t(mReceived) + int64_t(put);
    if (total > INT32_MAX) {
      // Past what the counter holds: no announced length can match any more.
      if (mError == 0) mError = EFBIG;
    } else {
      mReceived = static_cast<int32_t>(total);
    }
    mInBuf.clear();
  }
  if (mReceived == mContentLength) close_file();
}

int down_class::GetStat() {
  if (!mSocket) return 0;
  switch (mSocket->GetStatus()) {
    case sock_connecting:
      return 1;
    case sock_failed:
      return 2;
    case sock_closed:
      return 3;
  }
  if (!mOutBuf.empty()) return 4;
  if (!mHeadersDone) return 6;
  if (mReceived != mContentLength) return 5;
  return 3;
}

bool down_class::IsDone() { return GetStat() == 3; }

bool down_class::IsComplete() const { return mContentLength == mReceived; }

bool down_class::IsErr() { return mError != 0 || !mSocket || mSocket->GetStatus() == sock_failed; }

int down_class::GetOSErr() const {
  if (mError) return mError;
  return mSocket ? mSocket->GetOSError() : 20009;
}
