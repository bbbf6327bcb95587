// One OpenGL texture and where its pixels come from: an image file named by
// a path, or a pixel buffer in memory. load picks the file, decodes, scales
// to the texture-resolution setting and uploads with the format, filters
// and wrapping the flags word asks for; a file that cannot be loaded leaves
// a 2 x 2 texture without bytes that binds as the grey placeholder 934.
// Objects are reference counted. A load may run on any thread (as a pool
// task); OpenGL names given up off the main thread wait in a queue that the
// main thread empties every frame.
#pragma once
#include <GL/gl.h>
#include <atomic>
#include <cstdint>
#include <string>
#include "core/utl_message_queue.h"
#include "core/utl_threadpool.h"

// What a texture that fails to load does besides binding as the placeholder.
enum tex_fail_mode : int {
  tex_fail_silent = 0,
  tex_fail_scenery = 1,  // raises the scenery failure flag and logs
  tex_fail_plane = 2,    // the aircraft flag
  tex_fail_instl = 3,    // the installation flag
  tex_fail_quit = 4,     // the quit alert
};
// When a texture is wanted; the manager accepts 0 to 2 and always loads at 2.
enum tex_load_time : int { tex_load_0 = 0, tex_load_1 = 1, tex_load_now = 2 };

// Flags word bits (the low four bits are the colour code, 1 to 10).
enum : int {
  tex_flag_3d = 0x10,            // GL_TEXTURE_3D, 128 x 32 x 16 texels
  tex_flag_mipmaps = 0x20,
  tex_flag_nearest = 0x40,
  tex_flag_no_dds = 0x200,       // do not prefer a ".dds" file
  tex_flag_clamp = 0x400,        // clamp S and T
  tex_flag_clamp_s = 0x800,
  tex_flag_float = 0x1000,       // 32-bit float pixels, 16-bit float texture
  tex_flag_sized = 0x2000,       // GL_RGB8 / GL_RGBA8, no driver mipmaps
  tex_flag_any_size = 0x4000,    // with 0x8000: no power-of-two warning
  tex_flag_any_size2 = 0x8000,
  tex_flag_res_up = 0x10000,     // twice the resolution factor
  tex_flag_res_down = 0x20000,   // half of it
  tex_flag_full_res = 0x40000,
  tex_flag_no_gamma = 0x80000,
  tex_flag_gradient = 0x100000,  // a slope map of the image's heights
  tex_flag_max = 0x1FFFFF,
};

class TEX_obj;

// A hook that may change the path and lower the scale of a file load.
// Nothing in the program installs one.
class TEX_evaluator {
 public:
  virtual ~TEX_evaluator() {}
  // Disposes of an evaluator that is replaced or whose object goes.
  virtual void dispose() = 0;
  // Called at the start of a file load; may change path and lower *scale.
  virtual void evaluate(std::string& path, float* scale) = 0;
  TEX_obj* owner = nullptr;
};

class TEX_obj : public UTL_pool_task {
 public:
  // A file texture (source kind 1): not loaded, one reference.
  TEX_obj(int number, unsigned gl_name, const std::string& path, int flags, tex_fail_mode fail);
  // A memory texture (source kind 0) of width x height pixels, fail mode 4.
  // With a flags word of 0 a size other than a power of two is a quit alert.
  TEX_obj(int number, unsigned gl_name, int flags, unsigned char* pixels, int width, int height,
          const std::string& name);
  ~TEX_obj() override;

  // A new path and fail mode for the next load; the flags stay.
  void change_path(const std::string& path, tex_fail_mode fail);
  // New pixels and size for the next load, fail mode 4 (name is ignored).
  void change_mem(unsigned char* pixels, int width, int height, const std::string& name);
  // 1 when the texture was uploaded; 0 when it fell back to the placeholder.
  int load();
  // Binds the texture (or 934 while it holds no bytes) through TEX_bind_ref.
  void bind(int unit, int mode);

  void retain();
  // Drops a reference and keeps the object (the manager purges it at 0).
  void release_suspend();
  // Drops a reference; the last one unregisters and deletes the object.
  void release_kill();
  bool has_refs() const { return refs.load() != 0; }
  void nuke_all_refs() {}

  // Queues the load on pool (once while one is pending), holding a reference.
  void queue_load(UTL_threadpool* pool);
  int do_it(int thread_index) override;
  const char* get_debug_name() override { return path.c_str(); }
  // Installs an evaluator, disposing of the one it replaces.
  void replace_evaluator(TEX_evaluator* e);

  // Creates the queue of names to delete on the main thread.
  static void init_texes();
  // Main thread: deletes every queued name.
  static void delete_some_texes();
  // Deletes the queued names and destroys the queue.
  static void kill_texes();
  static int total_texes() { return total_texes_ctr.load(); }
  static int loaded_texes() { return loaded_texes_ctr.load(); }

  const std::string& get_path() const { return path; }
  int get_number() const { return number; }
  unsigned get_gl_name() const { return gl_name.load(); }
  int vis_dx() const { return dx_vis; }
  int vis_dy() const { return dy_vis; }
  int tot_dx() const { return dx_tot; }
  int tot_dy() const { return dy_tot; }
  int vram() const { return byte_est; }
  GLenum image_format() const { return img_format; }
  int get_flags() const { return flags; }
  GLenum get_target() const { return target; }
  int is_loaded() const { return loaded.load(); }
  int ref_count() const { return refs.load(); }

 private:
  struct image;
  int load_file(image& im);
  int load_mem(image& im);
  int upload(image& im);
  int fail(image& im);
  float get_scale(float wanted, int width, int height);

  std::string path;
  int source = 1;
  unsigned char* pixels = nullptr;
  int number = 0;
  std::atomic<unsigned> gl_name{0};
  int dx_vis = 0, dy_vis = 0;
  int dx_tot = 0, dy_tot = 0;
  int byte_est = 0;
  GLenum img_format = GL_RGBA;
  int flags = 0;
  tex_fail_mode fail_mode = tex_fail_silent;
  GLenum target = GL_TEXTURE_2D;
  std::atomic<int32_t> loaded{0};
  std::atomic<int32_t> queued{0};
  std::atomic<int32_t> refs{1};
  std::atomic<int32_t> counted{0};  // this object is in loaded_texes_ctr
  TEX_evaluator* evaluator = nullptr;

  static std::atomic<int32_t> total_texes_ctr;
  static std::atomic<int32_t> loaded_texes_ctr;
  static UTL_message_queue<void*>* sKillQueue;
};

// Where the texture code frees the pixel buffers it takes over (xfree); a
// test puts a counting function in.
extern void (*TEX_obj_free)(void*);
// The three candidates of a path: its extension replaced by ext (".dds",
// ".png", ".bmp"); the last four characters are dropped only when the path
// is longer than four and the fourth from the end is '.'.
std::string TEX_replace_ext(const std::string& path, const char* ext);
// The quit alert for a required picture that is missing, naming path;
// source and line say who raised it.
void TEX_missing_file_alert(const std::string& path, const char* source, int line);
