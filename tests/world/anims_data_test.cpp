// The effect pictures of the generated data set as the game reads them: every animation
// frame is there and drawable, and frames keep the size of the first, since the game
// centres every frame by the first one's size; the same for the glow; pickup pictures fit
// the 16-pixel square the game centres on the pickup.
#include <cstring>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "testutil/testutil.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/objects.h"

namespace
{

struct Size {
    int w, h;
    bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Size& s)
{
    return os << s.w << "x" << s.h;
}

Size SizeOf(const uint8_t* pic)
{
    Size s;
    memcpy(&s.w, pic + 12, 4);
    memcpy(&s.h, pic + 16, 4);
    return s;
}

class EffectDataTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(home.dir());
        std::string data = std::string(VULTAR_BINARY_DIR) + "/data/";
        ASSERT_GE(GLB_InitSystem((data + "vultar").c_str(), 5, nullptr), 2);
        OBJS_Init();
        ANIMS_Init();
    }
    void TearDown() override
    {
        GLB_Shutdown();
        std::filesystem::current_path(old_cwd);
    }
    vt::TempHome home;
    std::filesystem::path old_cwd;
};

TEST_F(EffectDataTest, EveryAnimationFrameIsThereAndKeepsTheFirstFramesSize)
{
    static const int frames[ANIM_NUMTYPES] = {42, 35, 7,  10, 12, 13, 14, 16, 12, 4, 9,
                                              5,  4,  14, 9,  9,  4,  26, 17, 14, 4};
    ASSERT_EQ(curlib, ANIM_NUMTYPES);
    for (int t = 0; t < curlib; t++) {
        const ANIMLIB& lib = animlib[t];
        ASSERT_EQ(lib.numframes, frames[t]) << "type " << t;
        const uint8_t* first = ANIMS_GetSprite(lib.item);
        ASSERT_NE(first, nullptr) << "type " << t;
        EXPECT_EQ(lib.hlx, SizeOf(first).w / 2);
        for (int f = 0; f < lib.numframes; f++) {
            const uint8_t* pic = ANIMS_GetSprite(lib.item + f);
            ASSERT_NE(pic, nullptr) << "type " << t << " frame " << f;
            EXPECT_EQ(SizeOf(pic), SizeOf(first)) << "type " << t << " frame " << f;
        }
    }
}

TEST_F(EffectDataTest, GlowAndPickupPicturesFitTheirPlaces)
{
    const uint8_t* glow = ANIMS_GetSprite(ITM_GLOW);
    ASSERT_NE(glow, nullptr);
    for (int f = 1; f < 4; f++) {
        const uint8_t* pic = ANIMS_GetSprite(ITM_GLOW + f);
        ASSERT_NE(pic, nullptr);
        EXPECT_EQ(SizeOf(pic), SizeOf(glow));
    }
    for (int kind = 0; kind < OBJ_NUMTYPES; kind++) {
        const OBJ_LIB* lib = OBJS_GetLib(kind);
        for (int f = 0; f < lib->numframes; f++) {
            const uint8_t* pic = ANIMS_GetSprite(lib->item + f);
            ASSERT_NE(pic, nullptr) << "kind " << kind << " frame " << f;
            EXPECT_EQ(SizeOf(pic), (Size{16, 16})) << "kind " << kind;
        }
    }
    const uint8_t* coin = ANIMS_GetSprite(ITM_SCORELABEL);
    ASSERT_NE(coin, nullptr);
    EXPECT_LE(SizeOf(coin).w, 16);
    EXPECT_LE(SizeOf(coin).h, 16);
}

} // namespace
