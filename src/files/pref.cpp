#include "files/pref.h"
#include <cstdlib>
#include "core/globs.h"
#include "core/hl_paths.h"
#include "core/utl_cmdline.h"
#include "files/file_paths.h"
#include "files/http.h"
#include "files/xmap.h"

pref_screen_fields g_pref_screen;
pref_class pref;

// The screen fields with every unset one pointing at a stand-in.
static pref_screen_fields screen_fields() {
  static int stand_in[11];
  pref_screen_fields f = g_pref_screen;
  int** all[] = {&f.x_res_wind, &f.y_res_wind, &f.x_res_full, &f.y_res_full, &f.hz_full,   &f.bpp_full,
                 &f.full_screen, &f.use_vsync1, &f.use_vsync2, &f.alias_req, &f.sec_mon_inuse};
  for (size_t i = 0; i < sizeof all / sizeof all[0]; ++i)
    if (!*all[i]) *all[i] = &stand_in[i];
  return f;
}

namespace {

const int k_pref_versions[] = {10, 0};

// The resolution settings of "Screen Res.prf", kept between calls: the ALL
// set is the window's, the others are kept for the file's other users.
struct screen_set {
  int x_res_wind = 0, y_res_wind = 0, x_res_full = 0, y_res_full = 0;
  int full = 0, bpp = 0, hz = 0;
};
screen_set pln, wrl, all;

// Writes what is left of ouf and closes it; a failed close means the file on
// disk is short, which the log says.
void close_ouf(const std::string& path) {
  if (!ouf.is_open()) return;
  ouf.close();
  if (ouf.fail()) xer_group() << "Could not write the preference file " << path << "\n";
}

}  // namespace

scan_class::scan_class(const std::string& path, int m) : mode(m) {
  if (mode == 1) {
    ouf_open(path, xmap_text, 10, "no-copyright-string");
    return;
  }
  xmap_class x(path);
  if (!x.check_file(xmap_text, k_pref_versions, nullptr, nullptr)) return;
  while (x.mem_cur < x.mem_end) {
    std::string key, value;
    x.TXT_str_scan_space(&key);
    x.TXT_str_scan_eoln(&value);
    entries[key] = value;
  }
}

scan_class::~scan_class() {
  if (mode == 1 && ouf.is_open()) ouf.close();
}

bool scan_class::lookup(const std::string& key, std::string& text) const {
  const std::string option = "--pref:" + key;
  if (cmdline.has_option(option.c_str())) {
    text = cmdline.get_option(option.c_str());
    return true;
  }
  auto it = entries.find(key);
  if (it == entries.end()) return false;
  text = it->second;
  return true;
}

int scan_class::int_io(int* value, const std::string& key) {
  if (mode == 1) {
    ouf << key << " " << *value << "\n";
    return 0;
  }
  std::string text;
  if (!lookup(key, text)) return 0;
  *value = atoi(text.c_str());
  return 1;
}

int scan_class::str_io(std::string* value, const std::string& key) {
  if (mode == 1) {
    if (!value->empty()) ouf << key << " " << *value << "\n";
    return 0;
  }
  return lookup(key, *value) ? 1 : 0;
}

void pref_class::IO_set(int type, int mode) {
  std::string path;
  if (type == 10) {
    path = std::string(prefs_path) + "Screen Res.prf";
  } else if (type == 12) {
    path = std::string(prefs_path) + "Calibration.prf";
  } else {
    path = prefs_path;
    get_OS_abs_path(os_dir_prefs, path);
    path += "Duvizo Installer.prf";
  }
  scan_class s(path, mode);

  if (type == 11) {
    s.str_io(&stls.s[0], "_message_1");
    s.str_io(&stls.s[1], "_message_2");
    s.str_io(&stls.s[2], "_message_3");
    s.str_io(&stls.s[3], "_message_4");
    s.int_io(&stg.stream_count, "_stream_count");
    s.int_io(&stg.log_actions, "_log_actions");
    s.str_io(&http.proxy_host, "_proxy_host");
    s.str_io(&http.proxy_port, "_proxy_port");
    s.int_io(&http.proxy_port_int, "_proxy_port_int");
    s.int_io(&stg.get_beta, "_get_beta");
  } else if (type == 10) {
    // The window's own settings travel through the ALL set.
    const pref_screen_fields f = screen_fields();
    int* const window_pairs[][2] = {{f.x_res_wind, &all.x_res_wind}, {f.y_res_wind, &all.y_res_wind},
                                    {f.x_res_full, &all.x_res_full}, {f.y_res_full, &all.y_res_full},
                                    {f.hz_full, &all.hz},            {f.bpp_full, &all.bpp},
                                    {f.full_screen, &all.full}};
    if (mode == 1) {
      mnw.prefs_found = 1;
      for (auto& pair : window_pairs) *pair[1] = *pair[0];
    }
    const struct {
      screen_set* set;
      const char* tag;
    } sets[] = {{&pln, "PLN"}, {&wrl, "WRL"}, {&all, "ALL"}};
    for (const auto& st : sets) {
      const std::string t = st.tag;
      s.int_io(&st.set->x_res_wind, "_x_res_wind_" + t);
      s.int_io(&st.set->y_res_wind, "_y_res_wind_" + t);
      s.int_io(&st.set->x_res_full, "_x_res_full_" + t);
      s.int_io(&st.set->y_res_full, "_y_res_full_" + t);
    }
    for (const auto& st : sets) {
      const std::string t = st.tag;
      s.int_io(&st.set->full, "_is_full_" + t);
      s.int_io(&st.set->bpp, "_bpp_full_" + t);
      s.int_io(&st.set->hz, "_hz_full_" + t);
    }
    if (mode == 0)
      for (auto& pair : window_pairs) *pair[0] = *pair[1];
    s.int_io(f.use_vsync1, "_use_vsync1");
    s.int_io(f.use_vsync2, "_use_vsync2");
    s.int_io(&mnw.lang, "_lang");
    s.int_io(f.alias_req, "_alias_req");
    s.int_io(&mnw.keylist_up, "_keylist_up");
    s.int_io(&mnw.prefs_found, "_prefs_found");
    // The file records whether a second monitor was in use; a value read back
    // has no lasting effect.
    *f.sec_mon_inuse = f.num_cons && f.num_cons() == 2 ? 1 : 0;
    s.int_io(f.sec_mon_inuse, "_sec_mon_inuse");
    *f.sec_mon_inuse = 0;
    if (*f.x_res_wind < 600 || *f.x_res_wind > 9999) *f.x_res_wind = 1024;
    if (*f.y_res_wind < 600 || *f.y_res_wind > 9999) *f.y_res_wind = 768;
  }
  if (mode == 1) close_ouf(path);
}

int pref_class::IO_sta(int, int, std::string) { return 0; }
