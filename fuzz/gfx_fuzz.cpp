// Feeds arbitrary bytes to the picture and font checks as an item, and draws every item
// they accept in every way, at places chosen by the fuzzer: an accepted item must never
// make a drawing call read outside it or write outside the frame buffer.
// fuzz-sources: gfx/gfxapi_a.cpp
#include <cstdint>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <vector>

#include "gfx/gfxapi.h"

extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

// The little of the frame module that the drawing calls lean on, without the window.
static uint8_t framebuffer[SCREENSIZE];
static uint8_t tables[3][256];
uint8_t* displaybuffer = framebuffer;
int ylookup[SCREENHEIGHT];
uint8_t* ltable = tables[0];
uint8_t* dtable = tables[1];
uint8_t* gtable = tables[2];
void GFX_MarkUpdate(int, int, int, int) {}
void GFX_Shade(uint8_t* outmem, int maxlen, const uint8_t* table)
{
    for (int i = 0; i < maxlen; i++)
        outmem[i] = table[outmem[i]];
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    for (int y = 0; y < SCREENHEIGHT; y++)
        ylookup[y] = y * SCREENWIDTH;
    for (int i = 0; i < 256; i++)
        tables[0][i] = tables[1][i] = tables[2][i] = static_cast<uint8_t>(255 - i);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider fdp(data, size);
    int places[4][2];
    for (auto& p : places) {
        p[0] = fdp.ConsumeIntegralInRange(-400, 400);
        p[1] = fdp.ConsumeIntegralInRange(-300, 300);
    }
    int sw = fdp.ConsumeIntegralInRange(-10, 700);
    int sh = fdp.ConsumeIntegralInRange(-10, 500);
    // The item in a buffer of exactly its size, so any read past it is caught.
    std::vector<uint8_t> item = fdp.ConsumeRemainingBytes<uint8_t>();
    const uint8_t* p = item.data();

    if (GFX_CheckPic(p, item.size())) {
        for (auto& pl : places) {
            GFX_PutImage(p, pl[0], pl[1], false);
            GFX_PutImage(p, pl[0], pl[1], true);
            GFX_PutSprite(p, pl[0], pl[1]);
            GFX_ShadeShape(pl[0] & 3, p, pl[0], pl[1]);
            GFX_ScalePic(p, pl[0], pl[1], sw, sh, pl[1] & 1);
            GFX_PutTexture(p, pl[0], pl[1], sw, sh);
        }
    }
    if (GFX_CheckFont(p, item.size())) {
        char text[256];
        for (int i = 0; i < 255; i++)
            text[i] = static_cast<char>(i + 1);
        text[255] = '\0';
        for (auto& pl : places)
            GFX_Print(pl[0], pl[1], text, p, pl[1]);
        GFX_StrPixelLen(p, text, 255);
    }
    return 0;
}
