// The texture manager: owns every OpenGL texture of the program and hands
// them out by a small number. Numbers 1 to 1243 are chosen by callers
// (manual); textures loaded by path under number 0 get the lowest free
// number from 1243 up (dynamic), one per normalised path, shared by every
// load of that path. Failed loads of three kinds raise flags for a one-time
// notice, and 934 is the grey placeholder drawn wherever a texture failed.
// Any thread may load and query: one spin lock guards the table and the
// path map, never held while a file is read or an image uploaded.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>
#include "core/utl_thread.h"
#include "tex/TEX_obj.h"

class tman_class {
 public:
  enum : int { first_dynamic = 1243, placeholder_ref = 934 };

  tman_class();
  ~tman_class();
  tman_class(const tman_class&) = delete;
  tman_class& operator=(const tman_class&) = delete;

  // Every caller's entry: loads path (a file, or "scratch_array..." for the
  // image in the scratch buffer) under ref (0: a dynamic number). Returns
  // the number, 0 for an empty path or a failed manual load. A load time
  // outside 0..2 or a ref outside 0..1243 is a crash alert.
  int load_texture(tex_fail_mode fail, int ref, int flags, tex_load_time time, const std::string& path);
  // A file under a manual number (an existing object gets the new path and
  // fail mode). Returns ref, or 0 when its load fell back.
  int load_texture_idx(tex_fail_mode fail, int ref, int flags, tex_load_time time, const std::string& path);
  // A file under a dynamic number, shared by every load of the normalised
  // path (a second load only adds a reference). Null for an empty path.
  TEX_obj* load_texture_obj(tex_fail_mode fail, int flags, tex_load_time time, const std::string& path);
  // Pixels in memory under a manual number (an existing object gets the new
  // pixels and size). Returns ref, or 0 when the load failed.
  int load_texture_mem_idx(int ref, int flags, unsigned char* pixels, int width, int height,
                           const std::string& name);
  // Pixels in memory under a dynamic number, outside the path map.
  TEX_obj* load_texture_mem_obj(int flags, unsigned char* pixels, int width, int height, const std::string& name);
  // Starts the name-deletion queue and makes the placeholder 934 (four grey
  // 130 pixels) from the scratch buffer. Once, with the context current.
  void TEX_init();

  // Binds number ref on unit with mode; a number without an object is a
  // crash alert ("Null texture - how?").
  void bind_ref(int ref, int unit, int mode);
  // Deletes the object of a manual number and frees the number; a dynamic
  // number is a crash alert.
  void unload_texture(int ref);
  // Forgets an object's path and number (its last reference went).
  void unregister_one_texture(TEX_obj* obj);
  // Deletes queued names, then every dynamic texture without references.
  void purge_unused_texes();

  // Queries: 0, false, null or "" for a number outside the table or free.
  TEX_obj* get_known_obj(int ref);
  intptr_t fetch_ref(int ref);
  std::string get_path(int ref);
  float tex_dx_vis(int ref);
  float tex_dy_vis(int ref);
  float tex_dx_tot(int ref);
  float tex_dy_tot(int ref);
  int tex_vram(int ref);
  int tex_mode(int ref);
  bool has_alpha(int ref);
  int tex_loaded(int ref);
  int tex_err(int ref);  // loaded but without bytes: the load failed
  int tex_exists(int ref);
  // Video memory in use: the window's frame buffers plus every texture.
  int64_t tot_vram();
  // The largest share of an image a texture may keep, by reno's setting.
  static float scale_rat();

  // Load-failure flags: scenery (fail mode 1), aircraft (2), installation (3).
  void got_scene_load_fail() { cas(scene_fail, 0, 1); }
  void got_plane_load_fail() { cas(plane_fail, 0, 1); }
  void got_instl_load_fail() { cas(instl_fail, 0, 1); }
  // True while the kind has failed and its notice is not muted.
  bool has_scene_load_fail() { return cas(scene_mute, 0, 0) && cas(scene_fail, 1, 1); }
  bool has_plane_load_fail() { return cas(plane_mute, 0, 0) && cas(plane_fail, 1, 1); }
  bool has_instl_load_fail() { return cas(instl_mute, 0, 0) && cas(instl_fail, 1, 1); }
  // Mutes the kind's notice for the rest of the run.
  void mute_scene_load_fail() { cas(scene_mute, 0, 1); }
  void mute_plane_load_fail() { cas(plane_mute, 0, 1); }
  void mute_instl_load_fail() { cas(instl_mute, 0, 1); }
  // Clears the failure flag (the mute stays).
  void reset_scene_load_fail() { cas(scene_fail, 1, 0); }
  void reset_plane_load_fail() { cas(plane_fail, 1, 0); }
  void reset_instl_load_fail() { cas(instl_fail, 1, 0); }

  // Entries of the path map (for tests).
  int path_count();

 private:
  friend void do_tman_class_destroy(tman_class* t);
  static bool cas(std::atomic<int32_t>& word, int32_t from, int32_t to) {
    return word.compare_exchange_strong(from, to);
  }
  TEX_obj* entry(int ref);                  // under the lock
  void grow_to(int ref);                    // under the lock
  int free_dynamic();                       // under the lock
  template <class F>
  auto query(int ref, F f, decltype(f(nullptr)) none);

  std::vector<TEX_obj*> table;
  std::unordered_map<std::string, int> paths;
  TEX_obj* placeholder = nullptr;
  std::atomic<int32_t> scene_fail{0}, scene_mute{0};
  std::atomic<int32_t> plane_fail{0}, plane_mute{0};
  std::atomic<int32_t> instl_fail{0}, instl_mute{0};
  UTL_critical_section lock;
};

extern tman_class tman;
// 1 once tman's destructor has run: objects destroyed later leave it alone.
extern int tman_is_dead;
// Runs the destructor of t.
void do_tman_class_destroy(tman_class* t);

// A path with every "dir/.." pair taken out ("a/b/../c" is "a/c"); names
// that merely begin with ".." are left alone.
std::string TEX_normalize_path(const std::string& path);
