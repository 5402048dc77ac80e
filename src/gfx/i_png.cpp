// Writing palettised pictures as PNG files through libpng.
#include "gfx/i_png.h"

#include <png.h>

// libpng reports errors by longjmp; nothing in here owns anything that needs unwinding.
bool I_WritePNG(FILE* f, const uint8_t* pixels, int width, int height, const uint8_t* rgb)
{
    if (!f || !pixels || !rgb || width <= 0 || height <= 0) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color colors[256];
    for (int i = 0; i < 256; i++) {
        colors[i].red = rgb[i * 3];
        colors[i].green = rgb[i * 3 + 1];
        colors[i].blue = rgb[i * 3 + 2];
    }
    png_set_PLTE(png, info, colors, 256);
    png_write_info(png, info);
    for (int y = 0; y < height; y++)
        png_write_row(png, pixels + static_cast<size_t>(y) * width);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool I_WritePNGFile(const char* path, const uint8_t* pixels, int width, int height,
                    const uint8_t* rgb)
{
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    bool ok = I_WritePNG(f, pixels, width, height, rgb);
    return (fclose(f) == 0) && ok;
}
