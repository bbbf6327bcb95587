// Turning a loaded texture into an alpha mask on the graphics card: the
// texture is read back, its darkness becomes its alpha, and it goes back up.
// Main thread, with the window's context current.
#pragma once

// Texture number texture of the texture manager becomes black with alpha
// 255 - red (white turns transparent, black opaque); with blur set and the
// texture at least 3 pixels wide, every inner pixel's alpha then becomes the
// mean of its 3 x 3 neighbourhood, row by row in place. Works through the
// scratch image: a texture whose load failed, or one larger than the
// scratch image, is left as it is.
void TEX_make_alpha_mask(int texture, int blur);
