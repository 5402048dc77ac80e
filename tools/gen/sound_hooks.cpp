// Where every sound item's bytes come from: the effects' device variants, the FM
// instrument bank and the songs, all made by the sound content under sound/.
#include "content.h"
#include "sound/sndgen.h"

Bytes SOUNDHOOK_EffectVariant(int effect, int variant)
{
    return sndgen::EffectVariant(ITM_EFFECT_LABELS[effect], variant);
}

Bytes SOUNDHOOK_OplBank()
{
    return sndgen::OplBank();
}

Bytes SOUNDHOOK_Song(int number)
{
    return sndgen::Song(number);
}
