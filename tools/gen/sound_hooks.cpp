// Where every sound item's bytes come from: the effects' device variants, the FM
// instrument bank and the songs. These stand-ins are silent but well formed, so every
// sound item can be loaded and played; the sound content replaces them here.
#include "content.h"
#include "res/itemfmt.h"

Bytes SOUNDHOOK_EffectVariant(int /*effect*/, int variant)
{
    Bytes b;
    switch (variant) {
    case 2: // tone sequence: bank 0, instrument 0, one step that releases the note
        ITEM_AddShort(b, 1);
        ITEM_AddShort(b, 1);
        ITEM_AddShort(b, 0);
        ITEM_AddShort(b, 0);
        b.push_back(0);
        return b;
    case 4: { // digital sample at 11025 Hz: 64 samples of silence
        constexpr int kSamples = 64;
        ITEM_AddShort(b, 3);
        ITEM_AddShort(b, 11025);
        ITEM_AddLong(b, kSamples + 32); // the length counts 32 more than the samples played
        b.resize(24, 0);
        b.insert(b.end(), kSamples, 128);
        return b;
    }
    default: // the speaker variant and the unused one: a type that is never played
        ITEM_AddShort(b, 0);
        ITEM_AddShort(b, 0);
        return b;
    }
}

Bytes SOUNDHOOK_OplBank()
{
    // Header, then 128 melodic and 47 percussion instruments of 36 bytes.
    return Bytes(8 + 175 * 36, 0);
}

Bytes SOUNDHOOK_Song(int /*number*/)
{
    // A one-second rest that loops: header, one ignored event with a delay of 70 ticks,
    // then the end of the score.
    Bytes b;
    ITEM_AddLong(b, 0);
    ITEM_AddShort(b, 4);  // score length
    ITEM_AddShort(b, 12); // first event
    ITEM_AddShort(b, 1);  // primary channels
    ITEM_AddShort(b, 0);
    b.push_back(0x80 | 0x50); // ignored event, delay follows
    b.push_back(70);
    b.push_back(0x60); // end of score
    b.push_back(0);
    return b;
}
