// The texture manager: numbers, the path map, the placeholder and the
// load-failure flags.
#include "tex/tman.h"
#include <cstdio>
#include "core/hl_alert.h"
#include "core/scratch.h"
#include "core/xtim.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "tex/TEX_bind.h"
#include "widgets/reno.h"

tman_class tman;
int tman_is_dead = 0;

namespace {

constexpr char src_path[] = "RUvozuz/OOPS_cpp/tman";

std::string printed(const char* fmt, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt, v);
  return buf;
}

bool is_scratch(const std::string& path) { return path.size() > 12 && path.compare(0, 13, "scratch_array") == 0; }

// The splash line, shown only for the first load after a pause of over a
// second, so a burst of loads does not slow start-up with redraws.
void announce(int ref, tex_load_time time, const std::string& path) {
  // Loads run on any thread.
  static std::atomic<uint64_t> last_us{0};
  const uint64_t now_us = xtim_class::microsecs();
  const double now = (double)now_us / 1000000.0, last = (double)last_us.exchange(now_us) / 1000000.0;
  const bool quiet = ref == 0 || ref == 277 || ref == 359 || ref == 934 || (ref >= 397 && ref <= 412);
  if (now > last + 1.0 && time == tex_load_now && path.compare(0, 13, "scratch_array") != 0 && !quiet)
    MACIBM_show_init("Loading bitmap " + path + ".", nullptr);
}

}  // namespace

std::string TEX_normalize_path(const std::string& path) {
  std::string p = path;
  size_t from = 1;
  for (;;) {
    size_t up = p.find("/..", from);
    if (up == std::string::npos) return p;
    // Only a whole ".." component climbs: "/..c" is a name.
    const size_t after = up + 3;
    if (after < p.size() && p[after] != '/') {
      from = up + 1;
      continue;
    }
    if (up == 0) return p;
    const size_t dir = p.rfind('/', up - 1);
    if (dir == std::string::npos) return p;
    p.erase(dir, after - dir);
    from = dir == 0 ? 1 : dir;
  }
}

tman_class::tman_class() { UTL_critical_section_create(&lock); }

tman_class::~tman_class() {
  tman_is_dead = 1;
  UTL_critical_section_destroy(&lock);
}

void do_tman_class_destroy(tman_class* t) { t->~tman_class(); }

TEX_obj* tman_class::entry(int ref) { return ref >= 0 && ref < (int)table.size() ? table[ref] : nullptr; }

void tman_class::grow_to(int ref) {
  if ((int)table.size() <= ref) table.resize(ref + 1, nullptr);
}

int tman_class::free_dynamic() {
  for (int i = first_dynamic; i < (int)table.size(); ++i)
    if (!table[i]) return i;
  return std::max((int)table.size(), (int)first_dynamic);
}

int tman_class::load_texture(tex_fail_mode fail, int ref, int flags, tex_load_time time, const std::string& path) {
  if (path.empty()) return 0;
  announce(ref, time, path);
  if (time < 0 || time > 2)
    __MACIBM_alert(0, "Trying to create an invalid texture load_time!", path, "value:", printed("%1.0f", time),
                   t_crash, src_path, __LINE__);
  if (ref < 0 || ref > first_dynamic)
    __MACIBM_alert(0, "Trying to bind too low or high a manual_ref!", path, "value:", printed("%1.0f", ref), t_crash,
                   src_path, __LINE__);
  if (is_scratch(path)) return load_texture_mem_idx(ref, flags, scratch_array, scratch_dx, scratch_dy, path);
  if (ref) return load_texture_idx(fail, ref, flags, tex_load_now, path);
  TEX_obj* obj = load_texture_obj(fail, flags, tex_load_now, path);
  return obj ? obj->get_number() : 0;
}

int tman_class::load_texture_idx(tex_fail_mode fail, int ref, int flags, tex_load_time, const std::string& path) {
  if (path.empty()) return 0;
  UTL_critical_section_lock(&lock);
  grow_to(ref);
  TEX_obj* obj = table[ref];
  if (obj)
    obj->change_path(path, fail);
  else
    obj = table[ref] = new TEX_obj(ref, ref == placeholder_ref ? placeholder_ref : 0, path, flags, fail);
  UTL_critical_section_unlock(&lock);
  return obj->load() ? ref : 0;
}

int tman_class::load_texture_mem_idx(int ref, int flags, unsigned char* pixels, int width, int height,
                                     const std::string& name) {
  UTL_critical_section_lock(&lock);
  grow_to(ref);
  TEX_obj* obj = table[ref];
  if (obj)
    obj->change_mem(pixels, width, height, name);
  else
    obj = table[ref] =
        new TEX_obj(ref, ref == placeholder_ref ? placeholder_ref : 0, flags, pixels, width, height, name);
  UTL_critical_section_unlock(&lock);
  return obj->load() ? ref : 0;
}

TEX_obj* tman_class::load_texture_obj(tex_fail_mode fail, int flags, tex_load_time, const std::string& path) {
  if (path.empty()) return nullptr;
  const std::string key = TEX_normalize_path(path);
  UTL_critical_section_lock(&lock);
  auto it = paths.find(key);
  if (it != paths.end()) {
    TEX_obj* obj = table[it->second];
    obj->retain();
    UTL_critical_section_unlock(&lock);
    return obj;
  }
  const int ref = free_dynamic();
  grow_to(ref);
  paths.emplace(key, ref);
  TEX_obj* obj = table[ref] = new TEX_obj(ref, ref == placeholder_ref ? placeholder_ref : 0, key, flags, fail);
  UTL_critical_section_unlock(&lock);
  obj->load();
  return obj;
}

TEX_obj* tman_class::load_texture_mem_obj(int flags, unsigned char* pixels, int width, int height,
                                          const std::string& name) {
  UTL_critical_section_lock(&lock);
  const int ref = free_dynamic();
  grow_to(ref);
  TEX_obj* obj = table[ref] = new TEX_obj(ref, 0, flags, pixels, width, height, name);
  UTL_critical_section_unlock(&lock);
  obj->load();
  return obj;
}

void tman_class::TEX_init() {
  TEX_obj::init_texes();
  for (int i = 0; i < 12; ++i) scratch_array[i] = 0x82;
  scratch_dx = scratch_dy = 2;
  load_texture(tex_fail_silent, placeholder_ref, 0x201, tex_load_now, "scratch_array-blank_gray");
  UTL_critical_section_lock(&lock);
  placeholder = entry(placeholder_ref);
  UTL_critical_section_unlock(&lock);
}

void tman_class::bind_ref(int ref, int unit, int mode) {
  UTL_critical_section_lock(&lock);
  TEX_obj* obj = entry(ref);
  UTL_critical_section_unlock(&lock);
  if (!obj) __MACIBM_alert(0, "Null texture - how?", "", printed("ref=%6.0f", ref), "", t_crash, src_path, __LINE__);
  obj->bind(unit, mode);
}

void tman_class::unload_texture(int ref) {
  if (ref >= first_dynamic) {
    const std::string p = get_path(ref);
    __MACIBM_alert(0, "Error: dynamic textures should be released, not unloaded.", p, printed("%f", ref), "",
                   t_crash, src_path, __LINE__);
  }
  UTL_critical_section_lock(&lock);
  TEX_obj* obj = entry(ref);
  if (obj) table[ref] = nullptr;
  UTL_critical_section_unlock(&lock);
  if (obj) obj->nuke_all_refs();
  delete obj;
}

void tman_class::unregister_one_texture(TEX_obj* obj) {
  if (tman_is_dead) return;
  UTL_critical_section_lock(&lock);
  paths.erase(obj->get_path());
  if (entry(obj->get_number()) == obj) table[obj->get_number()] = nullptr;
  UTL_critical_section_unlock(&lock);
}

void tman_class::purge_unused_texes() {
  TEX_obj::delete_some_texes();
  std::vector<TEX_obj*> dead;
  UTL_critical_section_lock(&lock);
  for (int i = first_dynamic; i < (int)table.size(); ++i)
    if (table[i] && !table[i]->has_refs()) {
      paths.erase(table[i]->get_path());
      dead.push_back(table[i]);
      table[i] = nullptr;
    }
  UTL_critical_section_unlock(&lock);
  for (TEX_obj* obj : dead) delete obj;
}

template <class F>
auto tman_class::query(int ref, F f, decltype(f(nullptr)) none) {
  UTL_critical_section_lock(&lock);
  TEX_obj* obj = entry(ref);
  auto out = obj ? f(obj) : none;
  UTL_critical_section_unlock(&lock);
  return out;
}

TEX_obj* tman_class::get_known_obj(int ref) {
  return query(ref, [](TEX_obj* o) { return o; }, (TEX_obj*)nullptr);
}
intptr_t tman_class::fetch_ref(int ref) {
  return query(ref, [](TEX_obj* o) { return (intptr_t)o; }, (intptr_t)0);
}
std::string tman_class::get_path(int ref) {
  return query(ref, [](TEX_obj* o) { return o->get_path(); }, std::string());
}
float tman_class::tex_dx_vis(int ref) {
  return query(ref, [](TEX_obj* o) { return (float)o->vis_dx(); }, 0.0f);
}
float tman_class::tex_dy_vis(int ref) {
  return query(ref, [](TEX_obj* o) { return (float)o->vis_dy(); }, 0.0f);
}
float tman_class::tex_dx_tot(int ref) {
  return query(ref, [](TEX_obj* o) { return (float)o->tot_dx(); }, 0.0f);
}
float tman_class::tex_dy_tot(int ref) {
  return query(ref, [](TEX_obj* o) { return (float)o->tot_dy(); }, 0.0f);
}
int tman_class::tex_vram(int ref) {
  return query(ref, [](TEX_obj* o) { return o->vram(); }, 0);
}
int tman_class::tex_mode(int ref) {
  return query(ref, [](TEX_obj* o) { return (int)o->image_format(); }, 0);
}
bool tman_class::has_alpha(int ref) {
  const int f = tex_mode(ref);
  return f == GL_RGBA || f == GL_ALPHA || f == 0x83F1 || f == 0x83F2 || f == 0x83F3;
}
int tman_class::tex_loaded(int ref) {
  return query(ref, [](TEX_obj* o) { return o->is_loaded(); }, 0);
}
int tman_class::tex_err(int ref) {
  return query(ref, [](TEX_obj* o) { return o->is_loaded() && o->vram() == 0 ? 1 : 0; }, 0);
}
int tman_class::tex_exists(int ref) {
  return query(ref, [](TEX_obj*) { return 1; }, 0);
}

int64_t tman_class::tot_vram() {
  // Front, back and depth buffers of 32 bits a pixel.
  int64_t total = (int64_t)wins.x_pix * wins.y_pix * (3 * 32) / 8;
  UTL_critical_section_lock(&lock);
  for (TEX_obj* o : table)
    if (o) total += o->vram();
  UTL_critical_section_unlock(&lock);
  return total;
}

float tman_class::scale_rat() {
  switch (reno.tex_res) {
    case 0: return 1.0f / 32;
    case 1: return 1.0f / 16;
    case 2: return 1.0f / 8;
    case 3: return 1.0f / 4;
    case 4: return 1.0f / 2;
    default: return 1.0f;
  }
}

int tman_class::path_count() {
  UTL_critical_section_lock(&lock);
  const int n = (int)paths.size();
  UTL_critical_section_unlock(&lock);
  return n;
}
