// What presenting a frame costs, step by step, for every renderer SDL offers here and the
// usual window sizes: the classic presentation (the picture converted by a blit, uploaded,
// scaled by whole factors onto a render target, filtered to the window, presented) against
// the current one (converted and scaled in one pass of ours into the texture the renderer
// filters to the window). The steps repeat the calls the video module makes; the whole
// presentations at the end go through the module itself.
//
//   build/tests/present_bench                         (the dummy video driver: software only)
//   xvfb-run -a -s "-screen 0 2048x1200x24" env SDL_VIDEODRIVER=x11 build/tests/present_bench
//
// A hardware renderer queues its work: each step is flushed to the driver, but a driver
// may still finish it later, inside a later step (the present, mostly). The whole
// presentations are exact.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "gfx/gfxapi.h"
#include "gfx/i_filter.h"
#include "gfx/i_video.h"
#include "testutil/gfxitems.h"

namespace
{

struct SIZE {
    int w, h;
};
constexpr SIZE kSizes[] = {{640, 400}, {800, 600}, {1280, 800}, {1920, 1080}};

// One window with everything both presentations need, made as the video module makes it
// (aspect correction on).
struct STAGE {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* indexed = nullptr;
    SDL_Surface* converted = nullptr;
    SDL_Texture* small = nullptr;
    SDL_Texture* target = nullptr;
    SDL_Texture* direct = nullptr;
    SDL_PixelFormat* format = nullptr;
    uint32_t lut[256];
    int wf = 1, hf = 1;
    uint8_t picture[SCREENSIZE];
    uint32_t wide[SCREENSIZE];
    I_FILTER filter;
    std::vector<uint32_t> filtered;

    bool Open(const char* driver, SIZE size)
    {
        window = SDL_CreateWindow("present_bench", 0, 0, size.w, size.h, SDL_WINDOW_HIDDEN);
        if (!window) return false;
        uint32_t pf = SDL_GetWindowPixelFormat(window);
        if (pf == SDL_PIXELFORMAT_UNKNOWN || SDL_ISPIXELFORMAT_INDEXED(pf))
            pf = SDL_PIXELFORMAT_ARGB8888;
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, driver);
        if (strcmp(driver, "software") == 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_TARGETTEXTURE);
        if (!renderer) return false;
        SDL_RendererInfo info;
        SDL_GetRendererInfo(renderer, &info);
        if (strcmp(info.name, driver) != 0) return false;
        SDL_RenderSetLogicalSize(renderer, SCREENWIDTH, 240);
        int ow, oh;
        SDL_GetRendererOutputSize(renderer, &ow, &oh);
        I_UPSCALE up;
        if (!I_ComputeUpscale(ow, oh, 240, info.max_texture_width, info.max_texture_height, &up))
            return false;
        wf = up.w_factor;
        hf = up.h_factor;

        for (int i = 0; i < SCREENSIZE; i++)
            picture[i] = static_cast<uint8_t>((i * 7 + i / SCREENWIDTH * 3) % 240);
        indexed = SDL_CreateRGBSurfaceWithFormatFrom(picture, SCREENWIDTH, SCREENHEIGHT, 8,
                                                     SCREENWIDTH, SDL_PIXELFORMAT_INDEX8);
        converted =
            SDL_CreateRGBSurfaceWithFormat(0, SCREENWIDTH, SCREENHEIGHT, SDL_BITSPERPIXEL(pf), pf);
        format = SDL_AllocFormat(pf);
        std::vector<uint8_t> pal = vt::MakeRampPalette();
        SDL_Color colours[256];
        for (int i = 0; i < 256; i++) {
            colours[i] = {uint8_t(pal[i * 3] * 4), uint8_t(pal[i * 3 + 1] * 4),
                          uint8_t(pal[i * 3 + 2] * 4), 255};
            lut[i] = SDL_MapRGBA(format, colours[i].r, colours[i].g, colours[i].b, 255);
        }
        SDL_SetPaletteColors(indexed->format->palette, colours, 0, 256);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
        small =
            SDL_CreateTexture(renderer, pf, SDL_TEXTUREACCESS_STREAMING, SCREENWIDTH, SCREENHEIGHT);
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        target = SDL_CreateTexture(renderer, pf, SDL_TEXTUREACCESS_TARGET, wf * SCREENWIDTH,
                                   hf * SCREENHEIGHT);
        direct = SDL_CreateTexture(renderer, pf, SDL_TEXTUREACCESS_STREAMING, wf * SCREENWIDTH,
                                   hf * SCREENHEIGHT);
        // The picture's place in the window, as the aspect-corrected logical size gives it.
        int pw = ow, ph = oh;
        if (int64_t{ow} * 240 < int64_t{oh} * SCREENWIDTH)
            ph = ow * 240 / SCREENWIDTH;
        else
            pw = oh * SCREENWIDTH / 240;
        I_FilterInit(&filter, SCREENWIDTH, SCREENHEIGHT, wf, hf, pw, ph, true);
        filtered.resize(size_t(pw) * ph);
        return indexed && converted && format && small && target && direct;
    }
    void Close()
    {
        if (direct) SDL_DestroyTexture(direct);
        if (target) SDL_DestroyTexture(target);
        if (small) SDL_DestroyTexture(small);
        if (renderer) SDL_DestroyRenderer(renderer);
        if (window) SDL_DestroyWindow(window);
        if (converted) SDL_FreeSurface(converted);
        if (indexed) SDL_FreeSurface(indexed);
        if (format) SDL_FreeFormat(format);
        window = nullptr;
        renderer = nullptr;
        indexed = converted = nullptr;
        small = target = direct = nullptr;
        format = nullptr;
    }

    // The steps.
    void ConvertBlit()
    {
        SDL_Rect all = {0, 0, SCREENWIDTH, SCREENHEIGHT};
        SDL_LowerBlit(indexed, &all, converted, &all);
    }
    void Upload() { SDL_UpdateTexture(small, nullptr, converted->pixels, converted->pitch); }
    void ScaleWholeFactors()
    {
        SDL_SetRenderTarget(renderer, target);
        SDL_RenderCopy(renderer, small, nullptr, nullptr);
        SDL_SetRenderTarget(renderer, nullptr);
        SDL_RenderFlush(renderer);
    }
    void Filter(SDL_Texture* from)
    {
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, from, nullptr, nullptr);
        SDL_RenderFlush(renderer);
    }
    void Present() { SDL_RenderPresent(renderer); }
    // One pass into a texture: the whole upscaled picture, or the small one to upload.
    void ConvertScale(SDL_Texture* into, int w, int h)
    {
        void* pixels;
        int pitch;
        if (SDL_LockTexture(into, nullptr, &pixels, &pitch) != 0) return;
        I_ScalePicture(picture, lut, w, h, static_cast<uint32_t*>(pixels), pitch / 4);
        SDL_UnlockTexture(into);
    }
};

STAGE stage;
std::string stage_key;

// Opens the stage for a renderer and size, keeping it while the same one is asked for.
bool Use(const std::string& driver, SIZE size)
{
    std::string key = driver + std::to_string(size.w) + "x" + std::to_string(size.h);
    if (key == stage_key) return true;
    stage.Close();
    stage_key.clear();
    if (!stage.Open(driver.c_str(), size)) {
        stage.Close();
        return false;
    }
    stage_key = key;
    return true;
}

using STEP = void (*)(STAGE&, bool software);

void RunStep(benchmark::State& state, const std::string& driver, SIZE size, STEP step)
{
    if (!Use(driver, size)) {
        state.SkipWithError("renderer not available");
        return;
    }
    bool software = driver == "software";
    for (auto _ : state) {
        stage.picture[(state.iterations() * 97) % SCREENSIZE] ^= 1; // never the same frame
        step(stage, software);
    }
    state.counters["texture_px"] = double(stage.wf) * SCREENWIDTH * stage.hf * SCREENHEIGHT;
}

struct NAMED_STEP {
    const char* name;
    STEP step;
};
const NAMED_STEP kSteps[] = {
    // The classic presentation.
    {"classic/1_convert_blit", [](STAGE& s, bool) { s.ConvertBlit(); }},
    {"classic/2_upload", [](STAGE& s, bool) { s.Upload(); }},
    {"classic/3_scale_whole_factors", [](STAGE& s, bool) { s.ScaleWholeFactors(); }},
    {"classic/4_filter_to_window", [](STAGE& s, bool) { s.Filter(s.target); }},
    {"classic/5_present", [](STAGE& s, bool) { s.Present(); }},
    {"classic/all",
     [](STAGE& s, bool) {
         s.ConvertBlit();
         s.Upload();
         s.ScaleWholeFactors();
         s.Filter(s.target);
         s.Present();
     }},
    // The current one: with the software renderer our pass does the whole factors, with a
    // hardware one it converts into the small texture and the hardware scales.
    {"current/1_convert_scale_upload",
     [](STAGE& s, bool software) {
         if (software)
             s.ConvertScale(s.direct, s.wf, s.hf);
         else
             s.ConvertScale(s.small, 1, 1);
     }},
    // With the software renderer, where it is measured to match: the conversion, the
    // whole factors and the filter in our own pass, straight into the window's pixels.
    {"current/1_own_filter",
     [](STAGE& s, bool software) {
         if (!software) return;
         for (int i = 0; i < SCREENSIZE; i++)
             s.wide[i] = s.lut[s.picture[i]];
         I_FilterApply(&s.filter, s.wide, s.filtered.data(), s.filter.dst_w);
     }},
    {"current/2_scale_whole_factors",
     [](STAGE& s, bool software) {
         if (!software) s.ScaleWholeFactors();
     }},
    {"current/3_filter_to_window",
     [](STAGE& s, bool software) { s.Filter(software ? s.direct : s.target); }},
    {"current/4_present", [](STAGE& s, bool) { s.Present(); }},
    {"current/all",
     [](STAGE& s, bool software) {
         if (software) {
             s.ConvertScale(s.direct, s.wf, s.hf);
             s.Filter(s.direct);
         } else {
             s.ConvertScale(s.small, 1, 1);
             s.ScaleWholeFactors();
             s.Filter(s.target);
         }
         s.Present();
     }},
};

// The video module's own presentation, classic and current, on the driver's default
// renderer choice as the game makes it (software unless told otherwise).
void BM_FinishUpdate(benchmark::State& state, int classic, SIZE size)
{
    stage.Close();
    stage_key.clear();
    classic_present = classic;
    aspect_ratio_correct = 1;
    window_width = size.w;
    window_height = size.h;
    fullscreen = 0;
    GFX_InitSystem();
    std::vector<uint8_t> pal = vt::MakeRampPalette();
    GFX_InitVideo(pal.data());
    for (int i = 0; i < SCREENSIZE; i++)
        displayscreen[i] = static_cast<uint8_t>(i % 240);
    for (auto _ : state) {
        displayscreen[(state.iterations() * 97) % SCREENSIZE] ^= 1;
        I_FinishUpdate();
    }
    closewindow();
    I_ShutdownGraphics(); // video stays up: main holds it too
    classic_present = 0;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "present_bench: no video: %s\n", SDL_GetError());
        return 1;
    }
    printf("video driver %s; renderers:", SDL_GetCurrentVideoDriver());
    std::vector<std::string> drivers;
    for (int i = 0; i < SDL_GetNumRenderDrivers(); i++) {
        SDL_RendererInfo info;
        if (SDL_GetRenderDriverInfo(i, &info) != 0) continue;
        std::string name = info.name;
        if (name != "software" && name != "opengl" && name != "opengles2") continue;
        // Only those that open a window here.
        bool ok = Use(name, kSizes[0]);
        printf(" %s%s", name.c_str(), ok ? "" : " (not available)");
        if (ok) drivers.push_back(name);
    }
    printf("\n");
    stage.Close();
    stage_key.clear();

    for (const std::string& d : drivers)
        for (SIZE size : kSizes)
            for (const NAMED_STEP& s : kSteps) {
                std::string name = "Present/" + d + "/" + std::to_string(size.w) + "x" +
                                   std::to_string(size.h) + "/" + s.name;
                benchmark::RegisterBenchmark(name.c_str(), RunStep, d, size, s.step)
                    ->Unit(benchmark::kMicrosecond);
            }
    for (SIZE size : kSizes)
        for (int classic : {1, 0}) {
            std::string name = std::string("FinishUpdate/") + std::to_string(size.w) + "x" +
                               std::to_string(size.h) + (classic ? "/classic" : "/current");
            benchmark::RegisterBenchmark(name.c_str(), BM_FinishUpdate, classic, size)
                ->Unit(benchmark::kMicrosecond);
        }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    stage.Close();
    return 0;
}
