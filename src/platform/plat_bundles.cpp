#include "platform/plat_bundles.h"
#include <sys/stat.h>
#include <fstream>
#include <sstream>

static void replace_all(std::string& s, const std::string& from, const std::string& to) {
  for (size_t p = 0; (p = s.find(from, p)) != std::string::npos; p += to.size()) s.replace(p, from.size(), to);
}

// The string value of one key of an XML property list, "" when absent.
static std::string plist_string(const std::string& plist_path, const std::string& key) {
  std::ifstream f(plist_path, std::ios::binary);
  if (!f) return "";
  std::stringstream ss;
  ss << f.rdbuf();
  const std::string xml = ss.str();
  size_t k = xml.find("<key>" + key + "</key>");
  if (k == std::string::npos) return "";
  size_t v = xml.find_first_not_of(" \t\r\n", k + key.size() + 11);
  if (v == std::string::npos || xml.compare(v, 8, "<string>") != 0) return "";
  v += 8;
  size_t e = xml.find("</string>", v);
  if (e == std::string::npos) return "";
  std::string value = xml.substr(v, e - v);
  replace_all(value, "&lt;", "<");
  replace_all(value, "&gt;", ">");
  replace_all(value, "&quot;", "\"");
  replace_all(value, "&apos;", "'");
  replace_all(value, "&amp;", "&");
  return value;
}

std::string PLAT_bundle_executable(const std::string& bundle) {
  std::string b = bundle;
  while (b.size() > 1 && b.back() == '/') b.pop_back();
  struct stat st;
  if (stat((b + "/Contents").c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "";
  std::string name = plist_string(b + "/Contents/Info.plist", "CFBundleExecutable");
  if (name.empty() || name.find('/') != std::string::npos) {
    name = b.substr(b.rfind('/') + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
  }
  std::string exe = b + "/Contents/MacOS/" + name;
  if (stat(exe.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return "";
  return exe;
}
