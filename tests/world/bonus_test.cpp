// Pickups: the pool and the limit on money showers, collection by the ship (never without
// a shield, money only once), the coin shown after money is taken, sinking, wobble, glow.
#include <set>

#include "anims_fixture.h"
#include "game/loadsave.h"

namespace
{

using fx::Battlefield;
using fx::Rect;

constexpr int kMegaBomb = 11, kShield = 16, kMoney = 19, kShower = 23, kLaser = 4;

class BonusTest : public Battlefield
{
  protected:
    void SetUp() override
    {
        Battlefield::SetUp();
        plr = {};
        ParkShip(0, 0);
    }

    static void ParkShip(int x, int y)
    {
        playerx = x;
        playery = y;
        player_cx = x + 16;
        player_cy = y + 16;
    }

    // Pickups in play, found by taking the free records and giving them back.
    static int InPlay()
    {
        std::vector<BONUS_S*> taken;
        while (BONUS_S* b = BONUS_Get())
            taken.push_back(b);
        for (BONUS_S* b : taken)
            BONUS_Remove(b);
        return BONUS_MAX - static_cast<int>(taken.size());
    }

    static Rect Show()
    {
        Clear();
        BONUS_Display();
        return Drawn();
    }

    // Thinks until every pickup has sunk off the screen.
    static void SinkAll()
    {
        for (int i = 0; i < 400 && InPlay() > 0; i++)
            BONUS_Think();
        ASSERT_EQ(InPlay(), 0);
    }
};

TEST_F(BonusTest, PoolAndTheLimitOnMoneyShowers)
{
    BONUS_Add(24, 100, 50);
    BONUS_Add(-1, 100, 50);
    EXPECT_EQ(InPlay(), 0);

    for (int i = 0; i < BONUS_MAXENERGY + 3; i++)
        BONUS_Add(kShower, 10 * i, 150);
    EXPECT_EQ(InPlay(), BONUS_MAXENERGY);
    EXPECT_EQ(energy_count, BONUS_MAXENERGY);
    BONUS_Add(kLaser, 0, 150);
    BONUS_Add(kLaser, 0, 150);
    BONUS_Add(kLaser, 0, 150); // one too many for the pool
    EXPECT_EQ(InPlay(), BONUS_MAX);

    // Sinking off the screen gives the places back.
    SinkAll();
    EXPECT_EQ(energy_count, 0);
    for (int i = 0; i < BONUS_MAXENERGY; i++)
        BONUS_Add(kShower, 10 * i, 150);
    EXPECT_EQ(InPlay(), BONUS_MAXENERGY);

    BONUS_Clear();
    EXPECT_EQ(InPlay(), 0);
    EXPECT_EQ(energy_count, 0);
}

TEST_F(BonusTest, ShowerDroppedByAFullPoolDoesNotUseUpItsPlaces)
{
    for (int i = 0; i < BONUS_MAX; i++)
        BONUS_Add(kLaser, 10 * i, 150);
    for (int i = 0; i < 2 * BONUS_MAXENERGY; i++)
        BONUS_Add(kShower, 10 * i, 150);
    EXPECT_EQ(energy_count, 0);
    SinkAll();
    for (int i = 0; i < BONUS_MAXENERGY; i++)
        BONUS_Add(kShower, 10 * i, 150);
    EXPECT_EQ(InPlay(), BONUS_MAXENERGY);
}

TEST_F(BonusTest, CollectedOnlyWithAShieldAndOnlyWithTheMiddleInsideTheShip)
{
    ParkShip(144, 100);
    BONUS_Add(kMegaBomb, 144, 110); // middle at x 160: inside
    BONUS_Add(kMegaBomb, 128, 110); // middle at x 144: on the ship's edge, outside
    BONUS_Think();
    EXPECT_EQ(OBJS_GetAmt(kMegaBomb), 0); // no shield, no pickup
    EXPECT_EQ(InPlay(), 2);

    OBJS_Add(kShield);
    BONUS_Think();
    EXPECT_EQ(OBJS_GetAmt(kMegaBomb), 1);
    EXPECT_EQ(InPlay(), 1);

    // A shield pickup tops up the shield.
    BONUS_Add(kShield, 150, 110);
    BONUS_Think();
    EXPECT_EQ(OBJS_GetAmt(kShield), 50);
    EXPECT_EQ(InPlay(), 1);
}

TEST_F(BonusTest, MoneyIsTakenOnceAndShownAsACoinForFortyNineFrames)
{
    ParkShip(144, 90);
    OBJS_Add(kShield);
    BONUS_Add(kMoney, 144, 100);
    const int cost = OBJS_GetLib(kMoney)->cost;
    int coins = 0;
    for (int i = 0; i < 80; i++) {
        BONUS_Think();
        Rect r = Show();
        if (r == Rect{}) break;
        ASSERT_EQ(plr.score, cost) << "frame " << i;
        // The coin replaces the pickup and its glow.
        EXPECT_EQ(r.w, 9);
        EXPECT_EQ(displaybuffer[(r.y + 5) * SCREENWIDTH + r.x + 4], fx::kCoin);
        coins++;
    }
    EXPECT_EQ(coins, BONUS_TAKENFRAMES);
    EXPECT_EQ(plr.score, cost);
    EXPECT_EQ(InPlay(), 0);
}

TEST_F(BonusTest, PickupsSinkWobbleGlowAndCycleTheirPictures)
{
    BONUS_Add(kLaser, 100, 50); // middle at (116, 50)
    const int first = ITM_Index(OBJS_GetLib(kLaser)->item) - ITM_Index(ITM_INVPICS);
    std::set<int> colours;
    for (int k = 0; k < 16; k++) {
        BONUS_Think();
        Rect r = Show();
        // The glow, centred on the middle as it sinks a pixel a frame, off by the wobble.
        ASSERT_EQ(r.w, fx::kGlow);
        EXPECT_LE(std::abs(r.x - (116 - fx::kGlow / 2)), 3) << r;
        EXPECT_LE(std::abs(r.y - (50 + k - fx::kGlow / 2)), 3) << r;
        // Round the picture the ground is brightened; the picture is brightened as well.
        EXPECT_EQ(displaybuffer[r.y * SCREENWIDTH + r.x], ltable[fx::kBg]);
        int pic = displaybuffer[(r.y + 10) * SCREENWIDTH + r.x + 10] - 1;
        colours.insert(pic - 200 - first);
    }
    EXPECT_EQ(colours, (std::set<int>{0, 1, 2, 3}));

    SinkAll();
    EXPECT_EQ(Show(), Rect{});
}

TEST_F(BonusTest, EveryWaveStartsItsPickupsOnTheSameStep)
{
    // A pickup steps to its next picture on the odd frames of the wave, counted from the
    // wave's start whatever earlier waves left behind; a frame shows the picture chosen
    // before its step, so the pictures go 0, 0, 1, 1.
    const int first = ITM_Index(OBJS_GetLib(kLaser)->item) - ITM_Index(ITM_INVPICS);
    for (int earlier : {0, 1, 2, 7}) {
        for (int k = 0; k < earlier; k++)
            BONUS_Think();
        BONUS_Clear();
        BONUS_Add(kLaser, 100, 50);
        std::vector<int> frames;
        for (int k = 0; k < 4; k++) {
            BONUS_Think();
            Rect r = Show();
            frames.push_back(displaybuffer[(r.y + 10) * SCREENWIDTH + r.x + 10] - 1 - 200 - first);
        }
        EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 1})) << earlier << " earlier frames";
        BONUS_Clear();
    }
}

TEST_F(BonusTest, DamagedHudIconsAreLeftOutRatherThanReadPastTheirEnd)
{
    // Two mega bombs in store show two icons; an icon item cut short in its runs shows none.
    auto icons = [] {
        OBJS_Clear();
        plr.sweapon = -1;
        OBJS_Add(kMegaBomb);
        OBJS_Add(kMegaBomb);
        Clear();
        OBJS_DisplayStats();
        return Drawn();
    };
    EXPECT_GT(icons().w, 0);
    std::vector<uint8_t> cut = vt::MakeSprite(12, 12, std::vector<uint8_t>(144, 7));
    cut.resize(cut.size() - 60);
    fx::ArchiveSpec spec;
    spec.items[ITM_ICON_MEGABOMB] = cut;
    Build(spec);
    EXPECT_EQ(icons(), Rect{});
}

TEST_F(BonusTest, DamagedPickupPicturesAreNotDrawn)
{
    fx::ArchiveSpec spec;
    spec.items[OBJS_GetLib(kMegaBomb)->item] = vt::MakePic(16, 16, std::vector<uint8_t>(256, 5));
    spec.items[ITM_GLOW] = {};
    Build(spec);
    ParkShip(0, 0);
    BONUS_Add(kMegaBomb, 100, 50);
    for (int k = 0; k < 8; k++) {
        BONUS_Think();
        Rect r = Show();
        // Only the three good glow frames show, and never the plain picture.
        if (r.w) {
            EXPECT_EQ(displaybuffer[(r.y + 10) * SCREENWIDTH + r.x + 10], ltable[fx::kBg]);
        }
    }
}

} // namespace
