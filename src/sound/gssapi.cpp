#include "sound/gssapi.h"

#include "game/i_system.h"
#include "sound/fx.h"

const MUSIC_DEVICE* gss_device;
int gss_type; // 0 idle, 1 playing a sequence, 2 holding a silent patch
int gsshack;
const int gssrate = 140;

static const uint8_t* gss_ptr;
static int gss_currentptr;
static int gss_lastnote;
static int gss_lastsmp;
static int gss_priority;
static int gss_sep;
static int gss_volume;
static int gss_handle = -1;
static int gss_handcnt;
static int gss_cnt;
static uint32_t gss_timer;
static int gss_init;

constexpr int kToneBaseNote = 29;
constexpr int kBendInTune = 127;
constexpr int kBendSharp = 159;

static int ReadLE16(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

void GSS_Init(int card, int arg)
{
    if (gss_init) return;
    gss_device = nullptr;
    if (card == 2 || card == 4 || card == 5)
        gss_device = &mus_device_opl;
    else if (card != 0)
        gss_device = &mus_device_winmm;
    gss_init = 1;
    gss_type = 0;
    gss_handle = -1;
    gss_lastnote = 0;
    gss_cnt = 0;
    if (!gss_device) return;
    if (gss_device->init) gss_device->init(arg);
    gsshack = (music_device == gss_device) ? 1 : 0;
    gss_timer = I_GetTicks();
}

void GSS_DeInit(void)
{
    if (!gss_init) return;
    SND_Lock();
    if (gss_device && gss_lastnote && gss_device->keyoff)
        gss_device->keyoff(GSS_CHANNEL, gss_lastnote);
    gss_type = 0;
    gss_lastnote = 0;
    const MUSIC_DEVICE* dev = gss_device;
    gss_device = nullptr;
    gss_init = 0;
    gsshack = 0;
    SND_Unlock();
    if (dev && dev->deinit) dev->deinit();
}

static void GSS_NoteOff(void)
{
    if (gss_lastnote && gss_device->keyoff) gss_device->keyoff(GSS_CHANNEL, gss_lastnote);
    gss_lastnote = 0;
}

void GSS_Service(void)
{
    if (!gss_device || gss_type != 1) return;
    int steps = ReadLE16(gss_ptr + 2);
    if (gss_currentptr == 0) {
        GSS_NoteOff();
        if (gss_device->controller) {
            gss_device->controller(GSS_CHANNEL, MUS_CTRL_PAN, gss_sep / 2);
            gss_device->controller(GSS_CHANNEL, MUS_CTRL_BANK, ReadLE16(gss_ptr + 4) & 0x7F);
        }
        if (gss_device->programchange)
            gss_device->programchange(GSS_CHANNEL, ReadLE16(gss_ptr + 6) & 0x7F);
        if (gss_device->pitchbend) gss_device->pitchbend(GSS_CHANNEL, kBendInTune);
    }
    if (gss_currentptr >= steps) {
        GSS_NoteOff();
        gss_type = 0;
        return;
    }
    int b = gss_ptr[PATCH_TONE_STEPS + gss_currentptr++];
    if (b == gss_lastsmp) return;
    gss_lastsmp = b;
    if (b == 0) {
        GSS_NoteOff();
        return;
    }
    int note = ((b - 1) >> 1) + kToneBaseNote;
    if (note > 127) note = 127;
    int bend = (b & 1) ? kBendInTune : kBendSharp;
    if (note != gss_lastnote) GSS_NoteOff();
    if (gss_device->pitchbend) gss_device->pitchbend(GSS_CHANNEL, bend);
    if (note != gss_lastnote) {
        if (gss_device->keyon) gss_device->keyon(GSS_CHANNEL, note, gss_volume);
        gss_lastnote = note;
    }
}

void GSS_Mix(int16_t* out, int frames)
{
    if (!gss_device || !gss_device->mix || gsshack) return;
    for (int f = 0; f < frames; f++) {
        gss_device->mix(out + 2 * f, 1);
        gss_cnt += gssrate;
        while (gss_cnt >= fx_freq) {
            gss_cnt -= fx_freq;
            GSS_Service();
        }
    }
}

void GSS_Poll(void)
{
    if (!gss_device || gss_device->mix) return;
    uint32_t now = I_GetTicks();
    // Catch up millisecond by millisecond, as the music clock does.
    while (static_cast<int32_t>(now - gss_timer) > 0) {
        gss_timer++;
        gss_cnt += gssrate;
        if (gss_cnt >= 1000) {
            gss_cnt -= 1000;
            GSS_Service();
        }
    }
}

int GSS_PlayPatch(const uint8_t* patch, int sep, int, int volume, int priority)
{
    if (!gss_device || !patch) return -1;
    int type = ReadLE16(patch);
    if (type != PATCH_TONE && type != PATCH_TONE_SILENT) return -1;
    SND_Lock();
    if (gss_type != 0 && gss_priority > priority) {
        SND_Unlock();
        return -1;
    }
    if (gss_type == 0) gss_lastnote = 0;
    gss_priority = priority;
    gss_sep = sep < 0 ? 0 : (sep > 255 ? 255 : sep);
    gss_volume = volume < 0 ? 0 : (volume > 127 ? 127 : volume);
    gss_currentptr = 0;
    gss_ptr = patch;
    if (type == PATCH_TONE) {
        gss_lastsmp = 0;
        gss_type = 1;
    } else {
        // A silent patch only holds the player; the note of a sequence it replaces ends.
        if (gss_lastnote && gss_device->keyoff) gss_device->keyoff(GSS_CHANNEL, gss_lastnote);
        gss_lastnote = 0;
        gss_type = 2;
    }
    gss_handle = (gss_handcnt++ & 0x3FFF) | GSS_HANDLE_FLAG;
    int handle = gss_handle;
    SND_Unlock();
    return handle;
}

void GSS_StopPatch(int handle)
{
    SND_Lock();
    // The note ends now rather than at the next step: once stopped, the patch may be freed,
    // and the player must not read it again.
    if (handle == gss_handle && gss_type != 0) {
        if (gss_device) GSS_NoteOff();
        gss_type = 0;
        gss_ptr = nullptr;
    }
    SND_Unlock();
}

int GSS_PatchIsPlaying(int handle)
{
    SND_Lock();
    int playing = (handle == gss_handle && gss_type != 0) ? 1 : 0;
    SND_Unlock();
    return playing;
}
