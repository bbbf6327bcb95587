// The shared scratch image: one 16 MB pixel buffer that the start-up picture,
// the interface atlas, screenshots and the texture manager's pseudo-paths
// ("scratch_array-...") pass images through, with the size of the image last
// placed in it. Main thread only.
#pragma once
#include <cstddef>

enum : std::size_t { scratch_array_bytes = 16 * 1024 * 1024 };  // 2048 x 2048 x 4

// Zero-filled, aligned to 16 bytes.
extern unsigned char scratch_array_storage[];
// Points at scratch_array_storage from the start (start-up only re-points it).
extern unsigned char* scratch_array;
extern int scratch_dx;  // width and height of the image held there
extern int scratch_dy;
