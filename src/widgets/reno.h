// The rendering-options record: the OpenGL limits the capability probe finds
// and the settings the window creation and the texture code read. Zero until
// start-up fills it (probe, shell, reno_init); written on the main thread
// during start-up only, read afterwards from any thread that draws or loads
// textures.
#pragma once
#include <string>

class reno_class {
 public:
  // The switches' defaults: compressed textures on. Called once by start-up,
  // after the capability probe and before the texture manager starts.
  void reno_init();
  // The rendering-options window. It draws nothing; nothing opens it here.
  void reno_wind();

  // Filled by the capability probe.
  float max_aniso = 0;     // largest texture anisotropy (1.0 without the extension)
  int num_tex_units = 0;   // fixed-function texture units; at least 1 after the probe
  int num_img_units = 0;   // fragment texture image units
  int num_tex_coords = 0;  // texture-coordinate sets
  std::string gl_vendor;   // the driver's strings, exactly as it returns them
  std::string gl_renderer;
  std::string gl_version;
  std::string gl_extensions;

  int tex_res = 0;       // texture resolution, 0 (1/32) to 5 (full); start-up sets 5
  int use_vsync1 = 0;    // vertical-sync switches ("_use_vsync1", "_use_vsync2")
  int use_vsync2 = 0;
  int alias_req = 0;     // anti-aliasing level asked for ("_alias_req")
  int alias_got = 0;     // the level the window's pixel format achieved
  int use_tex_comp = 0;  // prefer a ".dds" file when loading a texture; 1 after reno_init
  int no_pbo_movie = 0;  // keeps the movie recorder off the pixel-pack path
};

extern reno_class reno;
