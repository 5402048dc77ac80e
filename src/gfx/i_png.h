// Writing palettised pictures as PNG files (screenshots, test pictures).
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

// Writes width x height palette indices with a 256-entry palette of 8-bit red, green,
// blue to an open file. False if libpng reports an error.
bool I_WritePNG(FILE* f, const uint8_t* pixels, int width, int height, const uint8_t* rgb);
// The same to a named file, replacing it.
bool I_WritePNGFile(const char* path, const uint8_t* pixels, int width, int height,
                    const uint8_t* rgb);
// Reads an 8-bit palettised PNG file: its palette indices row by row, its size, and its
// palette (up to 256 entries of red, green, blue; missing entries black). False for a
// file that cannot be read, is not palettised, or is larger than `max_pixels`.
bool I_ReadPNGFile(const char* path, std::vector<uint8_t>& pixels, int* width, int* height,
                   uint8_t* rgb, size_t max_pixels);
