// Video output through SDL2: window, renderer, presentation, the event pump.
#include "gfx/i_video.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "game/i_system.h"
#include "game/loadsave.h"
#include "game/m_misc.h"
#include "game/prefapi.h"
#include "gfx/i_filter.h"
#include "gfx/i_png.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"
#include "sound/musapi.h"

int fullscreen;
int aspect_ratio_correct = 1;
int txt_fullscreen;

int window_width = 800, window_height = 600;
char window_position[32] = "center";
int video_display;
int integer_scaling;
// The software renderer costs the least where there is no graphics hardware to do the
// scaling (a virtual X server, a remote display) and little anywhere for a 320x200 picture.
int force_software_renderer = 1;
int classic_present;
int fullscreen_width, fullscreen_height;
char video_driver[32];
int usemouse = 1;

uint8_t I_VideoBuffer[SCREENSIZE];

static SDL_Window* screen;
static SDL_Renderer* renderer;
static SDL_Surface* screenbuffer; // 8-bit, its pixels are I_VideoBuffer
static SDL_Surface* argbbuffer;   // the same picture in the window's format
static SDL_Texture* texture;
static SDL_Texture* texture_upscaled;
// The software renderer's picture, filled by us at the upscaled size: the conversion and
// the whole-factor scaling in one pass, the renderer doing only the step to the window.
static SDL_Texture* texture_direct;
static uint32_t pixel_format;
static SDL_PixelFormat* texture_format;
static uint32_t colours[256]; // the palette in pixel_format
static bool software;         // the renderer is SDL's software one
// The software renderer's last step done by us, straight into the window's pixels, once it
// has been measured to come out exactly as the renderer's own at this size.
static I_FILTER filter;
static bool filter_checked;  // measured for the present size and factors
static bool filter_on;       // and found the same
static SDL_Rect filter_rect; // where the renderer puts the picture, in window pixels
static int filter_out_w, filter_out_h;
static uint32_t converted[SCREENSIZE]; // the picture in pixel_format
// What the window shows, to skip presenting a picture that has not changed.
static uint8_t shown[SCREENSIZE];
static bool must_present = true;
static SDL_Color palette[256];

static bool palette_to_set;
static bool need_resize;
static bool need_resize_ext;
static bool initialized;
static bool highdpi;
static bool window_focused = true;
static bool screenvisible = true;
static int actualheight = SCREENHEIGHT;
static int w_upscale_old, h_upscale_old;
static int old_mx, old_my;
static bool (*grabmouse_callback)(void);
static bool currently_grabbed;

static const char kWindowTitle[] = "Vultar 0.8.2";
// The 4:3 height of the 200 lines when aspect-ratio correction is on.
constexpr int kCorrectedHeight = 240;
// The upscaled texture never holds more pixels than this.
constexpr int64_t kMaxUpscaledPixels = 16000000;
constexpr uint32_t kFullscreenSettleMs = 1000;

void VIDEO_LoadPrefs(void)
{
    fullscreen = INI_GetPreferenceBool("Video", "fullscreen", 0);
    aspect_ratio_correct = INI_GetPreferenceBool("Video", "aspect_ratio_correct", 1);
    txt_fullscreen = INI_GetPreferenceBool("Video", "txt_fullscreen", 0);
    force_software_renderer = INI_GetPreferenceBool("Video", "force_software_renderer", 1);
    classic_present = INI_GetPreferenceBool("Video", "classic_present", 0);
}

void I_InitTimer(void)
{
    SDL_SetHint("SDL_WINDOWS_DISABLE_THREAD_NAMING", "1");
    SDL_InitSubSystem(SDL_INIT_TIMER);
}

// ---- shape arithmetic -----------------------------------------------------------------------

void I_FitWindowShape(int* w, int* h, int ah)
{
    if (int64_t{*h} * SCREENWIDTH < int64_t{*w} * ah)
        *w = static_cast<int>(int64_t{*h} * SCREENWIDTH / ah);
    else
        *h = static_cast<int>((int64_t{*w} * ah + SCREENWIDTH - 1) / SCREENWIDTH);
}

bool I_ComputeUpscale(int out_w, int out_h, int ah, int max_tex_w, int max_tex_h, I_UPSCALE* up)
{
    int64_t w = out_w, h = out_h;
    // The largest 320 : ah picture inside the output.
    if (w * ah < h * SCREENWIDTH)
        h = w * ah / SCREENWIDTH;
    else
        w = h * SCREENWIDTH / ah;
    int64_t wf = std::max<int64_t>((w + SCREENWIDTH - 1) / SCREENWIDTH, 1);
    int64_t hf = std::max<int64_t>((h + SCREENHEIGHT - 1) / SCREENHEIGHT, 1);
    up->limited = false;
    while (max_tex_w > 0 && wf * SCREENWIDTH > max_tex_w) {
        wf--;
        up->limited = true;
    }
    while (max_tex_h > 0 && hf * SCREENHEIGHT > max_tex_h) {
        hf--;
        up->limited = true;
    }
    if (wf < 1 || hf < 1) return false;
    while (wf * hf * SCREENSIZE > kMaxUpscaledPixels) {
        if (wf > hf)
            wf--;
        else
            hf--;
        up->limited = true;
    }
    up->w_factor = static_cast<int>(wf);
    up->h_factor = static_cast<int>(hf);
    return true;
}

static void CenterWindow(int* x, int* y, int w, int h)
{
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(video_display, &bounds) < 0) {
        fprintf(stderr, "CenterWindow: Failed to read display bounds for display #%d!\n",
                video_display);
        return;
    }
    *x = bounds.x + (bounds.w - w >= 2 ? (bounds.w - w) / 2 : 0);
    *y = bounds.y + (bounds.h - h >= 2 ? (bounds.h - h) / 2 : 0);
}

bool I_GetWindowPosition(int* x, int* y, int w, int h)
{
    int displays = SDL_GetNumVideoDisplays();
    if (video_display < 0 || video_display >= displays) {
        fprintf(stderr,
                "I_GetWindowPosition: We were configured to run on display #%d, but it no "
                "longer exists (max %d). Moving to display 0.\n",
                video_display, displays - 1);
        video_display = 0;
    }
    *x = *y = static_cast<int>(SDL_WINDOWPOS_UNDEFINED);
    if (fullscreen || strcmp(window_position, "center") == 0) {
        CenterWindow(x, y, w, h);
        return *x != static_cast<int>(SDL_WINDOWPOS_UNDEFINED);
    }
    int px, py;
    char rest;
    if (sscanf(window_position, "%i,%i%c", &px, &py, &rest) == 2) {
        *x = px;
        *y = py;
        return true;
    }
    if (window_position[0] != '\0')
        fprintf(stderr, "I_GetWindowPosition: invalid window_position setting\n");
    return false;
}

// ---- the window -----------------------------------------------------------------------------

static void SetGrab(bool grab)
{
    if (grab == currently_grabbed) return;
    SDL_SetRelativeMouseMode(grab ? SDL_TRUE : SDL_FALSE);
    SDL_GetRelativeMouseState(nullptr, nullptr); // drop motion gathered meanwhile
    currently_grabbed = grab;
}

static void UpdateGrab(void)
{
    bool grab = window_focused && usemouse && (!grabmouse_callback || grabmouse_callback());
    SetGrab(grab);
}

static void CreateUpscaledTexture(bool force)
{
    int out_w, out_h;
    SDL_RendererInfo info;
    if (SDL_GetRendererOutputSize(renderer, &out_w, &out_h) != 0 ||
        SDL_GetRendererInfo(renderer, &info) != 0)
        exit(0);
    I_UPSCALE up;
    if (!I_ComputeUpscale(out_w, out_h, actualheight, info.max_texture_width,
                          info.max_texture_height, &up))
        exit(0);
    if (up.limited)
        printf("CreateUpscaledTexture: Limited texture size to %dx%d (max %d pixels, max "
               "texture size %dx%d)\n",
               up.w_factor * SCREENWIDTH, up.h_factor * SCREENHEIGHT,
               static_cast<int>(kMaxUpscaledPixels), info.max_texture_width,
               info.max_texture_height);
    bool direct = software && !classic_present;
    SDL_Texture* old = direct ? texture_direct : texture_upscaled;
    if (!force && old && up.w_factor == w_upscale_old && up.h_factor == h_upscale_old) return;
    w_upscale_old = up.w_factor;
    h_upscale_old = up.h_factor;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
    SDL_Texture* fresh = SDL_CreateTexture(
        renderer, pixel_format, direct ? SDL_TEXTUREACCESS_STREAMING : SDL_TEXTUREACCESS_TARGET,
        up.w_factor * SCREENWIDTH, up.h_factor * SCREENHEIGHT);
    if (!fresh) exit(0);
    if (old) SDL_DestroyTexture(old);
    (direct ? texture_direct : texture_upscaled) = fresh;
    // Only one of the two is in use; the other is made again when it is wanted.
    SDL_Texture*& spare = direct ? texture_upscaled : texture_direct;
    if (spare) SDL_DestroyTexture(spare);
    spare = nullptr;
    must_present = true;
    filter_checked = false;
}

// The size the window really has on the screen. Under X11 a full screen request that no
// window manager grants leaves the window as it was while SDL takes it for the whole
// display; the X server itself knows better. Elsewhere what SDL says is all there is.
static bool RealWindowSize(int* w, int* h)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(screen, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    // SDL loads the X library itself; its geometry call is taken from there.
    using GEOMETRY = int (*)(Display*, Drawable, Window*, int*, int*, unsigned*, unsigned*,
                             unsigned*, unsigned*);
    static GEOMETRY geometry = [] {
        void* lib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
        return lib ? reinterpret_cast<GEOMETRY>(dlsym(lib, "XGetGeometry")) : nullptr;
    }();
    if (!geometry) return false;
    Window root;
    int x, y;
    unsigned rw, rh, border, depth;
    if (!geometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &rw, &rh, &border,
                  &depth))
        return false;
    *w = static_cast<int>(rw);
    *h = static_cast<int>(rh);
    return true;
#else
    (void)w;
    (void)h;
    return false;
#endif
}

// A full screen that was asked for but not granted: play in the window as it is, so the
// picture is laid out for the size it really has instead of being cropped.
static void CheckFullscreenGranted(void)
{
    int rw, rh, sw, sh;
    if (!fullscreen || !RealWindowSize(&rw, &rh)) return;
    SDL_GetWindowSize(screen, &sw, &sh);
    if (rw == sw && rh == sh) return;
    printf("I_InitGraphics: full screen not granted; playing in a %dx%d window\n", rw, rh);
    fullscreen = 0;
    SDL_SetWindowFullscreen(screen, 0);
    SDL_SetWindowSize(screen, rw, rh);
    need_resize = true;
}

static void ApplyPalette(void)
{
    SDL_SetPaletteColors(screenbuffer->format->palette, palette, 0, 256);
    // The same colours the conversion by blit gives.
    for (int i = 0; i < 256; i++)
        colours[i] = SDL_MapRGBA(texture_format, palette[i].r, palette[i].g, palette[i].b, 255);
    palette_to_set = false;
    must_present = true;
}

void I_InitGraphics(const uint8_t* pal)
{
    if (const char* xwin = getenv("XSCREENSAVER_WINDOW")) {
        unsigned id = 0;
        if (sscanf(xwin, "0x%x", &id) == 1) {
            char buf[32];
            M_snprintf(buf, sizeof(buf), "%u", id);
            setenv("SDL_WINDOWID", buf, 1);
        }
    }
    if (video_driver[0] != '\0') setenv("SDL_VIDEODRIVER", video_driver, 1);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) < 0) exit(0);

    actualheight = aspect_ratio_correct ? kCorrectedHeight : SCREENHEIGHT;
    if (aspect_ratio_correct || integer_scaling)
        I_FitWindowShape(&window_width, &window_height, actualheight);

    uint32_t flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    int w = window_width, h = window_height;
    if (fullscreen) {
        if (fullscreen_width && fullscreen_height) {
            w = fullscreen_width;
            h = fullscreen_height;
            flags |= SDL_WINDOW_FULLSCREEN;
        } else {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        }
    }
    int x, y;
    I_GetWindowPosition(&x, &y, w, h);
    if (!screen) {
        screen = SDL_CreateWindow(kWindowTitle, x, y, w, h, flags);
        if (!screen) exit(0);
        pixel_format = SDL_GetWindowPixelFormat(screen);
        // Some platforms cannot say; any true-colour format converts correctly.
        if (pixel_format == SDL_PIXELFORMAT_UNKNOWN || SDL_ISPIXELFORMAT_INDEXED(pixel_format))
            pixel_format = SDL_PIXELFORMAT_ARGB8888;
        SDL_SetWindowMinimumSize(screen, SCREENWIDTH, actualheight);
        SDL_SetWindowTitle(screen, kWindowTitle);
    }

    SDL_DisplayMode mode;
    if (SDL_GetCurrentDisplayMode(video_display, &mode) != 0) exit(0);

    // The software renderer draws into the window's own pixels; SDL would otherwise show
    // those through a hardware renderer of its own, with the whole graphics stack loaded
    // to copy one picture.
    if (!classic_present) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    uint32_t rflags = SDL_RENDERER_TARGETTEXTURE;
    if (force_software_renderer) rflags |= SDL_RENDERER_SOFTWARE;
    renderer = SDL_CreateRenderer(screen, -1, rflags);
    if (!renderer) {
        renderer = SDL_CreateRenderer(screen, -1, SDL_RENDERER_SOFTWARE);
        force_software_renderer = 1;
        if (!renderer) exit(0);
    }
    SDL_RendererInfo rinfo;
    if (SDL_GetRendererInfo(renderer, &rinfo) != 0) exit(0);
    software = (rinfo.flags & SDL_RENDERER_SOFTWARE) != 0;
    printf("I_InitGraphics: renderer %s%s\n", rinfo.name,
           classic_present ? " (classic presentation)" : "");
    if (aspect_ratio_correct) SDL_RenderSetLogicalSize(renderer, SCREENWIDTH, actualheight);
    SDL_RenderSetIntegerScale(renderer, integer_scaling ? SDL_TRUE : SDL_FALSE);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_RenderPresent(renderer);

    screenbuffer = SDL_CreateRGBSurfaceWithFormatFrom(I_VideoBuffer, SCREENWIDTH, SCREENHEIGHT, 8,
                                                      SCREENWIDTH, SDL_PIXELFORMAT_INDEX8);
    argbbuffer = SDL_CreateRGBSurfaceWithFormat(0, SCREENWIDTH, SCREENHEIGHT,
                                                SDL_BITSPERPIXEL(pixel_format), pixel_format);
    if (!texture_format) texture_format = SDL_AllocFormat(pixel_format);
    if (!screenbuffer || !argbbuffer || !texture_format) exit(0);
    SDL_FillRect(argbbuffer, nullptr, 0);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    texture = SDL_CreateTexture(renderer, pixel_format, SDL_TEXTUREACCESS_STREAMING, SCREENWIDTH,
                                SCREENHEIGHT);
    if (!texture) exit(0);
    CreateUpscaledTexture(true);

    I_SetPalette(pal, 0);
    ApplyPalette();
    palette_to_set = true;

    SDL_ShowCursor(SDL_DISABLE);
    UpdateGrab();
    if (fullscreen) I_Delay(kFullscreenSettleMs);
    SDL_PumpEvents();
    CheckFullscreenGranted();

    memset(I_VideoBuffer, 0, sizeof(I_VideoBuffer));
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    initialized = true;

    int ww, wh, ow, oh;
    SDL_GetWindowSize(screen, &ww, &wh);
    SDL_GetRendererOutputSize(renderer, &ow, &oh);
    highdpi = ww != ow || wh != oh;
}

static void HandleResize(void)
{
    if (!(SDL_GetWindowFlags(screen) & SDL_WINDOW_FULLSCREEN)) {
        SDL_GetWindowSize(screen, &window_width, &window_height);
        if (aspect_ratio_correct) {
            I_FitWindowShape(&window_width, &window_height, actualheight);
            SDL_SetWindowSize(screen, window_width, window_height);
        }
    }
    CreateUpscaledTexture(false);
    need_resize = false;
    palette_to_set = true;
    must_present = true;
    filter_checked = false;
}

void I_ScalePicture(const uint8_t* src, const uint32_t* lut, int wf, int hf, uint32_t* dst,
                    int pitch)
{
    const int width = SCREENWIDTH * wf;
    for (int y = 0; y < SCREENHEIGHT; y++, src += SCREENWIDTH) {
        uint32_t* first = dst;
        if (wf == 1) {
            for (int x = 0; x < SCREENWIDTH; x++)
                dst[x] = lut[src[x]];
        } else {
            uint32_t* out = dst;
            for (int x = 0; x < SCREENWIDTH; x++) {
                uint32_t c = lut[src[x]];
                for (int k = 0; k < wf; k++)
                    *out++ = c;
            }
        }
        dst += pitch;
        for (int r = 1; r < hf; r++, dst += pitch)
            memcpy(dst, first, size_t(width) * 4);
    }
}

// The texture the picture goes into before the renderer's last step, filled in one pass.
static void FillTexture(SDL_Texture* tex, int wf, int hf)
{
    void* pixels;
    int pitch;
    if (SDL_LockTexture(tex, nullptr, &pixels, &pitch) != 0) return;
    I_ScalePicture(I_VideoBuffer, colours, wf, hf, static_cast<uint32_t*>(pixels), pitch / 4);
    SDL_UnlockTexture(tex);
}

// Measures our filter against the renderer's at the present size: where the renderer puts
// a white picture, then a busy one through both, which must agree bit for bit (in either
// of the two ways of rounding between the blends). Draws into the window's pixels without
// presenting; the next frame covers it.
static void CheckFilter(void)
{
    if (!texture_direct) CreateUpscaledTexture(true);
    filter_checked = true;
    filter_on = false;
    SDL_Surface* surface = SDL_GetWindowSurface(screen);
    if (!surface || !texture_direct || surface->format->format != pixel_format ||
        surface->format->BytesPerPixel != 4 || SDL_MUSTLOCK(surface))
        return;
    filter_out_w = surface->w;
    filter_out_h = surface->h;
    const int wf = w_upscale_old, hf = h_upscale_old;
    const int stride = surface->pitch / 4;
    auto* pixels = static_cast<uint32_t*>(surface->pixels);

    static uint8_t probe[SCREENSIZE];
    uint32_t lut[256];
    auto draw = [&](bool white) {
        void* tp;
        int tpitch;
        if (SDL_LockTexture(texture_direct, nullptr, &tp, &tpitch) != 0) return false;
        if (white)
            for (int y = 0; y < hf * SCREENHEIGHT; y++)
                memset(static_cast<uint8_t*>(tp) + size_t(y) * tpitch, 0xFF,
                       size_t(wf) * SCREENWIDTH * 4);
        else
            I_ScalePicture(probe, lut, wf, hf, static_cast<uint32_t*>(tp), tpitch / 4);
        SDL_UnlockTexture(texture_direct);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture_direct, nullptr, nullptr);
        return SDL_RenderFlush(renderer) == 0;
    };
    if (!draw(true)) return;
    const uint32_t black = SDL_MapRGBA(surface->format, 0, 0, 0, 255);
    int x0 = surface->w, y0 = surface->h, x1 = -1, y1 = -1;
    for (int y = 0; y < surface->h; y++)
        for (int x = 0; x < surface->w; x++)
            if (pixels[size_t(y) * stride + x] != black) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    if (x1 < 0) return;
    filter_rect = {x0, y0, x1 - x0 + 1, y1 - y0 + 1};

    uint32_t seed = 0x2545F491u ^ uint32_t(surface->w * 4099 + surface->h);
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
    for (uint8_t& p : probe)
        p = static_cast<uint8_t>(next());
    for (uint32_t& c : lut)
        c = SDL_MapRGBA(texture_format, uint8_t(next()), uint8_t(next()), uint8_t(next()), 255);
    if (!draw(false)) return;
    static uint32_t small[SCREENSIZE];
    for (int i = 0; i < SCREENSIZE; i++)
        small[i] = lut[probe[i]];
    std::vector<uint32_t> ours(size_t(filter_rect.w) * filter_rect.h);
    for (bool exact : {true, false}) {
        I_FilterInit(&filter, SCREENWIDTH, SCREENHEIGHT, wf, hf, filter_rect.w, filter_rect.h,
                     exact);
        I_FilterApply(&filter, small, ours.data(), filter_rect.w);
        bool same = true;
        for (int y = 0; y < filter_rect.h && same; y++)
            same = memcmp(ours.data() + size_t(y) * filter_rect.w,
                          pixels + size_t(y + y0) * stride + x0, size_t(filter_rect.w) * 4) == 0;
        if (same) {
            // The upscaled texture is not wanted from here on: its memory goes back.
            filter_on = true;
            SDL_DestroyTexture(texture_direct);
            texture_direct = nullptr;
            return;
        }
    }
    printf("I_FinishUpdate: the renderer filters the picture itself at %dx%d\n", surface->w,
           surface->h);
}

bool I_OwnFilterInUse(void)
{
    return software && !classic_present && filter_checked && filter_on;
}

// The software renderer's presentation done by us: the picture converted, scaled and
// filtered in one pass into the window's pixels, the edges around it black. False when
// that is not to be had at this size.
static bool PresentFiltered(void)
{
    SDL_Surface* surface = SDL_GetWindowSurface(screen);
    if (!surface) return false;
    if (filter_checked && (surface->w != filter_out_w || surface->h != filter_out_h))
        filter_checked = false;
    if (!filter_checked) CheckFilter();
    if (!filter_on) return false;
    for (int i = 0; i < SCREENSIZE; i++)
        converted[i] = colours[I_VideoBuffer[i]];
    auto* pixels = static_cast<uint32_t*>(surface->pixels);
    const int stride = surface->pitch / 4;
    I_FilterApply(&filter, converted, pixels + size_t(filter_rect.y) * stride + filter_rect.x,
                  stride);
    const SDL_Rect& r = filter_rect;
    const SDL_Rect edges[4] = {{0, 0, surface->w, r.y},
                               {0, r.y + r.h, surface->w, surface->h - r.y - r.h},
                               {0, r.y, r.x, r.h},
                               {r.x + r.w, r.y, surface->w - r.x - r.w, r.h}};
    const uint32_t black = SDL_MapRGBA(surface->format, 0, 0, 0, 255);
    for (const SDL_Rect& e : edges)
        if (e.w > 0 && e.h > 0) SDL_FillRect(surface, &e, black);
    SDL_RenderPresent(renderer);
    return true;
}

// The classic presentation: the picture converted by a blit, uploaded, scaled up by the
// renderer onto a render target and from there to the window, every time.
static void PresentClassic(void)
{
    SDL_Rect all = {0, 0, SCREENWIDTH, SCREENHEIGHT};
    SDL_LowerBlit(screenbuffer, &all, argbbuffer, &all);
    SDL_UpdateTexture(texture, nullptr, argbbuffer->pixels, argbbuffer->pitch);
    SDL_RenderClear(renderer);
    // Whole factors with nearest sampling first, then one filtered step to the window.
    SDL_SetRenderTarget(renderer, texture_upscaled);
    SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderCopy(renderer, texture_upscaled, nullptr, nullptr);
    SDL_RenderPresent(renderer);
}

void I_FinishUpdate(void)
{
    if (!initialized || !renderer) return;
    if (need_resize) HandleResize();
    UpdateGrab();
    if (palette_to_set) ApplyPalette();
    if (!screenvisible) return; // nothing to show while minimised
    if (classic_present) {
        if (!texture_upscaled) CreateUpscaledTexture(true);
        PresentClassic();
        return;
    }
    // The same picture in the same colours on an undisturbed window: nothing to do.
    if (!must_present && memcmp(shown, I_VideoBuffer, SCREENSIZE) == 0) return;
    memcpy(shown, I_VideoBuffer, SCREENSIZE);
    must_present = false;

    if (software) {
        if (PresentFiltered()) return;
        if (!texture_direct) CreateUpscaledTexture(true);
        FillTexture(texture_direct, w_upscale_old, h_upscale_old);
        SDL_RenderClear(renderer);
        SDL_RenderCopy(renderer, texture_direct, nullptr, nullptr);
    } else {
        // The graphics hardware scales; only the small picture goes to it.
        if (!texture_upscaled) CreateUpscaledTexture(true);
        FillTexture(texture, 1, 1);
        SDL_RenderClear(renderer);
        SDL_SetRenderTarget(renderer, texture_upscaled);
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
        SDL_SetRenderTarget(renderer, nullptr);
        SDL_RenderCopy(renderer, texture_upscaled, nullptr, nullptr);
    }
    SDL_RenderPresent(renderer);
}

void closewindow(void)
{
    SetGrab(false);
    if (texture_upscaled) SDL_DestroyTexture(texture_upscaled);
    if (texture_direct) SDL_DestroyTexture(texture_direct);
    if (texture) SDL_DestroyTexture(texture);
    if (renderer) SDL_DestroyRenderer(renderer);
    if (screen) SDL_DestroyWindow(screen);
    if (argbbuffer) SDL_FreeSurface(argbbuffer);
    if (screenbuffer) SDL_FreeSurface(screenbuffer);
    texture_upscaled = texture_direct = texture = nullptr;
    must_present = true;
    filter_checked = false;
    renderer = nullptr;
    screen = nullptr;
    argbbuffer = screenbuffer = nullptr;
    w_upscale_old = h_upscale_old = 0;
}

void I_ShutdownGraphics(void)
{
    if (!initialized) return;
    SDL_SetRelativeMouseMode(SDL_FALSE);
    currently_grabbed = false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    initialized = false;
}

// ---- palette --------------------------------------------------------------------------------

void I_SetPalette(const uint8_t* pal, int first)
{
    // Components are 6-bit; anything larger in a damaged palette is taken as full.
    for (int i = std::max(first, 0); i < 256; i++) {
        palette[i].r = static_cast<uint8_t>(std::min<int>(pal[i * 3], 63) * 4);
        palette[i].g = static_cast<uint8_t>(std::min<int>(pal[i * 3 + 1], 63) * 4);
        palette[i].b = static_cast<uint8_t>(std::min<int>(pal[i * 3 + 2], 63) * 4);
        palette[i].a = 255;
    }
    palette_to_set = true;
}

void I_GetPalette(uint8_t* pal)
{
    for (int i = 0; i < 256; i++) {
        pal[i * 3] = palette[i].r >> 2;
        pal[i * 3 + 1] = palette[i].g >> 2;
        pal[i * 3 + 2] = palette[i].b >> 2;
    }
}

// ---- the mouse ------------------------------------------------------------------------------

// How many window pixels one logical pixel takes, horizontally and vertically.
static void MouseScale(float* sx, float* sy)
{
    if (aspect_ratio_correct) {
        SDL_RenderGetScale(renderer, sx, sy);
    } else {
        int ow, oh;
        SDL_GetRendererOutputSize(renderer, &ow, &oh);
        *sx = static_cast<float>(ow) / SCREENWIDTH;
        *sy = static_cast<float>(oh) / actualheight;
    }
    if (highdpi) {
        // Mouse positions come in window units, the scale is in pixels: divide by the
        // window's own pixel ratio, which need not be 2.
        int ww, wh, ow, oh;
        SDL_GetWindowSize(screen, &ww, &wh);
        SDL_GetRendererOutputSize(renderer, &ow, &oh);
        if (ow > 0 && oh > 0) {
            *sx = *sx * ww / ow;
            *sy = *sy * wh / oh;
        }
    }
    if (*sx <= 0) *sx = 1;
    if (*sy <= 0) *sy = 1;
}

void I_GetMousePos(int* x, int* y)
{
    if (!renderer) {
        *x = *y = 0;
        return;
    }
    int mx, my;
    SDL_GetMouseState(&mx, &my);
    SDL_Rect vp;
    SDL_RenderGetViewport(renderer, &vp);
    float sx, sy;
    MouseScale(&sx, &sy);
    *x = static_cast<int>(mx / sx) - vp.x;
    *y = static_cast<int>((my / sy - vp.y) * SCREENHEIGHT / actualheight);
}

void I_SetMousePos(int x, int y)
{
    if (!renderer || !screen) return;
    SDL_Rect vp;
    SDL_RenderGetViewport(renderer, &vp);
    float sx, sy;
    MouseScale(&sx, &sy);
    // Aim at the middle of the screen pixel, so that reading the position back, which
    // truncates, gives the same pixel at any scale.
    float fx = x + 0.5f, fy = y + 0.5f;
    int wx = static_cast<int>((fx + vp.x) * sx);
    int wy = static_cast<int>((fy * actualheight / SCREENHEIGHT + vp.y) * sy);
    SDL_WarpMouseInWindow(screen, wx, wy);
}

void I_SetGrabMouseCallback(bool (*func)(void))
{
    grabmouse_callback = func;
}

bool I_GetNeedResize(bool flag)
{
    if (need_resize_ext) {
        if (flag) {
            PTR_SetPos(old_mx, old_my);
        } else {
            GFX_DisplayUpdate();
            I_FinishUpdate();
        }
        need_resize_ext = false;
        return true;
    }
    old_mx = cur_mx;
    old_my = cur_my;
    return false;
}

// ---- full screen and screenshots ------------------------------------------------------------

void I_ToggleFullScreen(void)
{
    if (!screen || (fullscreen_width && fullscreen_height)) return;
    fullscreen = !fullscreen;
    SDL_SetWindowFullscreen(screen, fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!fullscreen && aspect_ratio_correct) {
        I_FitWindowShape(&window_width, &window_height, actualheight);
        SDL_SetWindowSize(screen, window_width, window_height);
    }
}

SDL_Window* I_GetWindow(void)
{
    return screen;
}

int I_GetPresentedPicture(uint8_t* pixels, uint8_t* rgb)
{
    int height = aspect_ratio_correct ? kCorrectedHeight : SCREENHEIGHT;
    // Row r of the picture shows buffer row r * 200 / height, as the nearest upscale does.
    for (int r = 0; r < height; r++)
        memcpy(pixels + r * SCREENWIDTH, I_VideoBuffer + (r * SCREENHEIGHT / height) * SCREENWIDTH,
               SCREENWIDTH);
    for (int i = 0; i < 256; i++) {
        rgb[i * 3] = palette[i].r;
        rgb[i * 3 + 1] = palette[i].g;
        rgb[i * 3 + 2] = palette[i].b;
    }
    return height;
}

bool I_SaveScreenshot(char* path, size_t len)
{
    char base[I_MAXPATH];
    const char* datapath = VUL_GetPath();
    if (datapath && datapath[0])
        M_StringCopy(base, datapath, sizeof(base));
    else if (!I_GetPrefPath(base, sizeof(base)))
        return false;
    std::filesystem::path dir = std::filesystem::path(base) / "screenshots";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return false;

    static uint8_t pixels[SCREENWIDTH * kCorrectedHeight];
    uint8_t rgb[PALETTE_SIZE];
    int height = I_GetPresentedPicture(pixels, rgb);
    // The first free number; an existing file is never replaced.
    for (int n = 0; n < 10000; n++) {
        char name[32];
        M_snprintf(name, sizeof(name), "vultar%04d.png", n);
        std::string file = (dir / name).string();
        FILE* f = fopen(file.c_str(), "wbx");
        if (!f) {
            if (errno == EEXIST) continue;
            return false;
        }
        bool ok = I_WritePNG(f, pixels, SCREENWIDTH, height, rgb);
        ok = (fclose(f) == 0) && ok;
        if (!ok) {
            remove(file.c_str());
            return false;
        }
        if (path) M_StringCopy(path, file.c_str(), len);
        return true;
    }
    return false;
}

// ---- the event pump -------------------------------------------------------------------------

static void HandleWindowEvent(const SDL_WindowEvent& ev)
{
    switch (ev.event) {
    case SDL_WINDOWEVENT_EXPOSED:
        if (screen && ev.windowID == SDL_GetWindowID(screen)) palette_to_set = true;
        must_present = true;
        break;
    case SDL_WINDOWEVENT_MOVED:
        if (screen) {
            int d = SDL_GetWindowDisplayIndex(screen);
            if (d >= 0) video_display = d;
        }
        break;
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        must_present = true;
        filter_checked = false;
        need_resize = true;
        need_resize_ext = true;
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        screenvisible = false;
        break;
    case SDL_WINDOWEVENT_SHOWN:
        must_present = true;
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
        must_present = true;
        screenvisible = true;
        need_resize_ext = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        window_focused = true;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        window_focused = false;
        // The releases of whatever is held now go to another window: let go of it all, or
        // the ship would keep firing or steering until the next press.
        KBD_Clear();
        kbd_ack = 0;
        mouseb1 = mouseb2 = mouseb3 = 0;
        JOY_ReleaseAll();
        break;
    default:
        break;
    }
}

static void HandleKeyDown(const SDL_Event& ev)
{
    SDL_Scancode sc = ev.key.keysym.scancode;
    if ((sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) &&
        (ev.key.keysym.mod & KMOD_ALT)) {
        if (!ev.key.repeat) I_ToggleFullScreen();
        return;
    }
    // F12 belongs to the screenshot; the game never sees it.
    if (sc == SDL_SCANCODE_F12) {
        if (!ev.key.repeat) {
            char file[I_MAXFILEPATH];
            if (I_SaveScreenshot(file, sizeof(file)))
                printf("Screenshot saved to %s\n", file);
            else
                fprintf(stderr, "Screenshot could not be saved\n");
        }
        return;
    }
    I_HandleKeyboardEvent(&ev);
}

void I_GetEvent(void)
{
    SDL_Event ev;
    gfx_pumpframe = framecount;
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        // One pump, then the queue taken as it stands: polling would ask the window
        // system again for every event and once more for the empty queue.
        SDL_PumpEvents();
        while (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
            switch (ev.type) {
            case SDL_QUIT:
                exit(0);
            case SDL_WINDOWEVENT:
                HandleWindowEvent(ev.window);
                break;
            case SDL_KEYDOWN:
                HandleKeyDown(ev);
                break;
            case SDL_KEYUP:
                if (ev.key.keysym.scancode != SDL_SCANCODE_F12) I_HandleKeyboardEvent(&ev);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
            case SDL_MOUSEWHEEL:
                // A release always counts: it can only end a press.
                if (usemouse && (window_focused || ev.type == SDL_MOUSEBUTTONUP))
                    I_HandleMouseEvent(&ev);
                break;
            case SDL_CONTROLLERAXISMOTION:
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                I_HandleJoystickEvent(&ev);
                break;
            case SDL_CONTROLLERDEVICEADDED:
                IPT_CalJoy();
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                IPT_CloJoy(0);
                break;
            case SDL_FINGERDOWN:
            case SDL_FINGERUP:
                I_HandleTouchEvent(&ev);
                break;
            default:
                break; // mouse motion too: the pointer polls the position
            }
        }
    }
    if (control == 2 && !joy_ipt_MenuNew) {
        PTR_JoyHandler();
        if (control == 2 && !joy_ipt_MenuNew) PTR_UpdateCursor();
    } else {
        PTR_MouseHandler();
        PTR_UpdateCursor();
    }
    IPT_GetButtons();
    MUS_Poll();
}
