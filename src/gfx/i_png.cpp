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

bool I_ReadPNGFile(const char* path, std::vector<uint8_t>& pixels, int* width, int* height,
                   uint8_t* rgb, size_t max_pixels)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    bool ok = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE &&
              png_get_interlace_type(png, info) == PNG_INTERLACE_NONE && w > 0 && h > 0 &&
              size_t(w) * h <= max_pixels;
    png_colorp colors = nullptr;
    int count = 0;
    if (ok) ok = png_get_PLTE(png, info, &colors, &count) != 0;
    if (ok) {
        // Indices of fewer than 8 bits are widened to a byte each.
        if (png_get_bit_depth(png, info) < 8) png_set_packing(png);
        png_read_update_info(png, info);
        pixels.assign(size_t(w) * h, 0);
        for (png_uint_32 y = 0; y < h; y++)
            png_read_row(png, pixels.data() + size_t(y) * w, nullptr);
        for (int i = 0; i < 256; i++) {
            rgb[i * 3] = i < count ? colors[i].red : 0;
            rgb[i * 3 + 1] = i < count ? colors[i].green : 0;
            rgb[i * 3 + 2] = i < count ? colors[i].blue : 0;
        }
        *width = int(w);
        *height = int(h);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    return ok;
}
