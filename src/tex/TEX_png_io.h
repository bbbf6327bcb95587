// The libpng callbacks both directions install, shared by the reader and the
// writer. The error pointer of every libpng structure made here is the
// const std::string* of the file's path, for the messages.
#pragma once
#include <png.h>

// Alert and log source of the PNG unit.
inline constexpr char k_png_unit[] = "RUvozuz/TEX/TEX_png";

// Read callback: copies length bytes from the cursor of the xmap_class that is
// libpng's I/O pointer; past the end of the mapping it raises libpng's error
// "PNG Read Error, overran end of buffer!".
void my_readbuf(png_structp png, png_bytep data, png_size_t length);
// Error callback: raises the warning alert "PNG error!" with libpng's message
// and the path, then unwinds to the caller's recovery point. Never returns.
void my_error(png_structp png, png_const_charp message);
// Warning callback: logs "PNG warning! <message>, <path>".
void my_warning(png_structp png, png_const_charp message);
// Memory callbacks of the reader, over xmalloc and xfree.
png_voidp my_malloc(png_structp png, png_alloc_size_t size);
void my_free(png_structp png, png_voidp block);
