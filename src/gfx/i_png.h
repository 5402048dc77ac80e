// Writing palettised pictures as PNG files (screenshots, test pictures).
#pragma once

#include <cstdint>
#include <cstdio>

// Writes width x height palette indices with a 256-entry palette of 8-bit red, green,
// blue to an open file. False if libpng reports an error.
bool I_WritePNG(FILE* f, const uint8_t* pixels, int width, int height, const uint8_t* rgb);
// The same to a named file, replacing it.
bool I_WritePNGFile(const char* path, const uint8_t* pixels, int width, int height,
                    const uint8_t* rgb);
