// The pictures mkres paints from data rather than from the atlas table: the
// world map of the scenery screens, the wizard's background and the start-up
// picture. Every painter fills a top-down buffer (file row 0 first, channels
// interleaved, 8 bits each) and returns 1, or 0 after saying why on standard
// error. With test set, a painter writes the flat or coordinate-coded version
// that the tests' pixel probes read.
#pragma once
#include <string>
#include <vector>

// Natural Earth I shaded relief (public domain): 720x360 RGB, equirectangular,
// 180 degrees west at the left edge, north up.
inline constexpr const char* k_relief_path =
    "/usr/share/cartopy/data/raster/natural_earth/50-natural-earth-1-downsampled.png";
inline constexpr const char* k_relief_package = "python-cartopy-data";
inline constexpr int k_relief_w = 720;
inline constexpr int k_relief_h = 360;

// map.png: 512x1024 RGBA, three bands of 504x252 (plain, available, wanted).
inline constexpr int k_map_w = 512;
inline constexpr int k_map_h = 1024;
// background.png: 1024x1024 RGB.
inline constexpr int k_back_size = 1024;
// intro.png: 2048x2048 RGBA, sixteen exact tiles of 512.
inline constexpr int k_intro_size = 2048;

// out := the relief raster at path as 720x360 RGB; 1, or 0 when it is missing
// (naming the package that ships it) or not that shape.
int MKRES_read_relief(const std::string& path, std::vector<unsigned char>& out);
// out := the RGB picture in (sw x sh) area-averaged to dw x dh, each output
// texel the exact weighted mean of the source texels it covers, rounded.
void MKRES_area_average(const std::vector<unsigned char>& in, int sw, int sh, int dw, int dh,
                        std::vector<unsigned char>& out);
// rgb := the coordinate code of texel (u, v), v counting rows from the
// bottom as the texture does: red u mod 256, green v mod 256, blue
// u / 256 + 8 * (v / 256).
void MKRES_coord_texel(int u, int v, unsigned char* rgb);

// out := map.png's pixels from the relief raster at relief_path; 1 or 0.
int MKRES_paint_map(const std::string& relief_path, bool test, std::vector<unsigned char>& out);
// out := background.png's pixels; always 1.
int MKRES_paint_background(bool test, std::vector<unsigned char>& out);
// out := intro.png's pixels, the world map from relief_path on a dark
// gradient; 1 or 0.
int MKRES_paint_intro(const std::string& relief_path, bool test, std::vector<unsigned char>& out);
