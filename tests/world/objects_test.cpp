// The inventory and its economy: prices and limits at the store, selling back, money
// pickups, the choice of special weapon, firing through the inventory, damage, healing,
// regeneration, losing items when hit, pilot-file records, and the status icons.
#include <vector>

#include "anims_fixture.h"
#include "game/loadsave.h"
#include "game/vul.h"

namespace
{

constexpr int kGun1 = 0, kGun2 = 1, kGun3 = 2, kMegaBomb = 11, kSuper = 15, kShield = 16,
              kGauge = 17;

// Firing stand-in: records the types fired and says whether the shot went.
std::vector<int> fired;
int fire_result = 1;
int FakeFire(int type)
{
    fired.push_back(type);
    return fire_result;
}

class ObjsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        OBJS_Init();
        for (OBJ_LIB& lib : obj_lib)
            if (lib.fire) lib.fire = FakeFire;
        fired.clear();
        fire_result = 1;
        plr = {};
        plr.sweapon = -1;
        curplr_diff = 2;
        godmode = 0;
        startendwave = -1;
    }
    void TearDown() override { OBJS_Init(); }

    // A pilot as the store leaves one: main gun 1 and a full shield.
    static void NewPilot()
    {
        ASSERT_EQ(OBJS_Add(kGun1), 0);
        for (int i = 0; i < 4; i++)
            ASSERT_EQ(OBJS_Add(kShield), 0);
    }
};

TEST_F(ObjsTest, PricesAndLimitsAtTheStore)
{
    // The shield is sold in quarters of 25 units at 400 each.
    EXPECT_EQ(OBJS_GetCost(kShield), 10000);
    EXPECT_EQ(OBJS_GetCost(kSuper), 78500);
    EXPECT_EQ(OBJS_GetCost(kMegaBomb), 32250);
    EXPECT_EQ(OBJS_GetCost(13), 1750000);

    NewPilot();
    plr.score = 1000000;
    // A full shield: refused, and nothing is paid.
    EXPECT_EQ(OBJS_Buy(kShield), 2);
    EXPECT_EQ(plr.score, 1000000);
    // At 90 it costs a whole quarter and stops at 100.
    OBJS_SubAmt(kShield, 10);
    EXPECT_EQ(OBJS_Buy(kShield), 0);
    EXPECT_EQ(plr.score, 990000);
    EXPECT_EQ(OBJS_GetAmt(kShield), 100);

    // Five super shields of 100 units each, as records of their own; a sixth is refused.
    plr.score = 5 * 78500 + 99;
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(OBJS_Buy(kSuper), 0) << i;
    EXPECT_EQ(plr.score, 99);
    plr.score = 1000000;
    EXPECT_EQ(OBJS_Buy(kSuper), 2);
    EXPECT_EQ(plr.score, 1000000);
    EXPECT_EQ(OBJS_GetTotal(kSuper), 5);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 100);

    // Five mega bombs in one record; a sixth bought or picked up is refused.
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(OBJS_Buy(kMegaBomb), 0);
    EXPECT_EQ(plr.score, 1000000 - 5 * 32250);
    EXPECT_EQ(OBJS_Buy(kMegaBomb), 2);
    EXPECT_EQ(OBJS_Add(kMegaBomb), 2);
    EXPECT_EQ(OBJS_GetAmt(kMegaBomb), 5);
    EXPECT_EQ(OBJS_GetTotal(kMegaBomb), 1);

    // Too little money: refused and nothing changes.
    plr.score = 78799;
    int held = OBJS_GetNum();
    EXPECT_EQ(OBJS_Buy(kGun2), 1);
    EXPECT_EQ(plr.score, 78799);
    EXPECT_EQ(OBJS_GetNum(), held);
    plr.score = 78800;
    EXPECT_EQ(OBJS_Buy(kGun2), 0);
    EXPECT_EQ(plr.score, 0);

    // Main gun 1 cannot be bought twice; the others are offered.
    EXPECT_EQ(OBJS_CanBuy(kGun1), 0);
    EXPECT_EQ(OBJS_CanBuy(kGun3), 1);
    OBJS_Del(kGun1);
    EXPECT_EQ(OBJS_CanBuy(kGun1), 1);
}

TEST_F(ObjsTest, TheRecordPoolHoldsTwenty)
{
    plr.score = 100000000;
    for (int i = 0; i < OBJ_MAXRECORDS; i++)
        ASSERT_EQ(OBJS_Add(kSuper), 0);
    EXPECT_EQ(OBJS_Add(kGun2), 2);
    EXPECT_EQ(OBJS_Add(kShield), 2);
    EXPECT_EQ(OBJS_GetNum(), OBJ_MAXRECORDS);
    EXPECT_FALSE(OBJS_IsEquip(kGun2));
}

TEST_F(ObjsTest, SellingGivesHalfBack)
{
    NewPilot();
    plr.score = 0;
    // The shield can be sold only above one quarter: 5000 a quarter.
    EXPECT_EQ(OBJS_CanSell(kShield), 1);
    EXPECT_EQ(OBJS_GetResale(kShield), 5000);
    EXPECT_EQ(OBJS_Sell(kShield), 75);
    EXPECT_EQ(plr.score, 5000);
    OBJS_SubAmt(kShield, 49);
    EXPECT_EQ(OBJS_CanSell(kShield), 1); // 26
    OBJS_SubAmt(kShield, 1);
    EXPECT_EQ(OBJS_CanSell(kShield), 0); // 25

    // Super shields are sold record by record; the next one takes over.
    plr.score = 2 * 78500;
    OBJS_Buy(kSuper);
    OBJS_Buy(kSuper);
    OBJS_SubEnergy(40);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 60);
    EXPECT_EQ(OBJS_CanSell(kSuper), 0) << "a used super shield is worth nothing to the store";
    OBJS_Del(kSuper);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 100);
    EXPECT_EQ(OBJS_CanSell(kSuper), 1);
    EXPECT_EQ(OBJS_Sell(kSuper), 0);
    EXPECT_EQ(plr.score, 39250);
    EXPECT_FALSE(OBJS_IsEquip(kSuper));

    // The last mega bomb sold takes its record.
    OBJS_Add(kMegaBomb);
    OBJS_Add(kMegaBomb);
    EXPECT_EQ(OBJS_Sell(kMegaBomb), 1);
    EXPECT_EQ(OBJS_Sell(kMegaBomb), 0);
    EXPECT_EQ(OBJS_GetTotal(kMegaBomb), 0);
    EXPECT_EQ(plr.score, 39250 + 32250);

    // A weapon sold while selected: the next one held is selected.
    OBJS_Add(5);
    OBJS_Add(9);
    EXPECT_EQ(plr.sweapon, 5);
    plr.score = 0;
    EXPECT_EQ(OBJS_Sell(5), 0);
    EXPECT_EQ(plr.score, 512850 / 2);
    EXPECT_EQ(plr.sweapon, 9);
    EXPECT_EQ(OBJS_Sell(5), 0) << "nothing left to sell";
    EXPECT_EQ(OBJS_GetResale(5), 0);
}

TEST_F(ObjsTest, TheSoldBossGaugeIsGoneForGood)
{
    NewPilot();
    OBJS_Add(kGauge);
    int held = OBJS_GetNum();
    plr.score = 0;
    EXPECT_EQ(OBJS_Sell(kGauge), 0);
    EXPECT_EQ(plr.score, 5000);
    // No record is left to be saved with the pilot and come back on loading.
    EXPECT_EQ(OBJS_GetTotal(kGauge), 0);
    EXPECT_EQ(OBJS_GetNum(), held - 1);
    EXPECT_EQ(OBJS_Equip(kGauge), 0);
    EXPECT_EQ(OBJS_Sell(kGauge), 0);
    EXPECT_EQ(plr.score, 5000);
}

TEST_F(ObjsTest, MoneyPickupsOnlyPay)
{
    NewPilot();
    int held = OBJS_GetNum();
    const int pay[6] = {93800, 76000, 55700, 35200, 122500, 50};
    int expect = 0;
    for (int t = 18; t <= 23; t++) {
        EXPECT_EQ(OBJS_Add(t), 0);
        expect += pay[t - 18];
        EXPECT_EQ(plr.score, expect);
        EXPECT_EQ(OBJS_GetTotal(t), 0);
        EXPECT_FALSE(OBJS_IsEquip(t));
    }
    EXPECT_EQ(OBJS_GetNum(), held);
}

TEST_F(ObjsTest, TypesOutsideTheLibraryAreRefused)
{
    NewPilot();
    plr.score = 100000000;
    for (int t : {-1, -2, -1000, 24, 25}) {
        EXPECT_EQ(OBJS_Add(t), 3) << t;
        EXPECT_EQ(OBJS_Buy(t), 3) << t;
        EXPECT_EQ(OBJS_Sell(t), 0) << t;
        EXPECT_EQ(OBJS_CanBuy(t), 0) << t;
        EXPECT_EQ(OBJS_CanSell(t), 0) << t;
        EXPECT_EQ(OBJS_MakeSpecial(t), 0) << t;
        EXPECT_EQ(OBJS_GetLib(t), nullptr) << t;
        EXPECT_EQ(OBJS_GetAmt(t), 0) << t;
        EXPECT_EQ(OBJS_GetCost(t), 0) << t;
        EXPECT_EQ(OBJS_IsOnly(t), 0) << t;
        OBJS_Use(t);
        OBJS_Del(t);
    }
    EXPECT_EQ(plr.score, 100000000);
    EXPECT_EQ(OBJS_GetNum(), 2);
    EXPECT_TRUE(fired.empty());
}

TEST_F(ObjsTest, SpecialWeaponsCycleSkippingWhatIsNotHeld)
{
    NewPilot();
    EXPECT_EQ(OBJS_GetNext(), -1);
    EXPECT_EQ(plr.sweapon, -1);
    // The first special bought is selected; buying more does not change it.
    for (int t : {14, 5, 3, 12})
        OBJS_Add(t);
    OBJS_Add(kMegaBomb);
    EXPECT_EQ(plr.sweapon, 14);
    // 14 wraps to 3, then 5, 12 (the mega bomb, 11, is not a special), 14, 3 ...
    std::vector<int> seen;
    for (int i = 0; i < 6; i++)
        seen.push_back(OBJS_GetNext());
    EXPECT_EQ(seen, (std::vector<int>{3, 5, 12, 14, 3, 5}));

    // All twelve specials: every one in turn, never 11.
    for (int t = 3; t <= 14; t++)
        OBJS_Add(t);
    plr.sweapon = -1;
    seen.clear();
    for (int i = 0; i < 12; i++)
        seen.push_back(OBJS_GetNext());
    EXPECT_EQ(seen, (std::vector<int>{3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 3}));

    // Choosing by key: only a special weapon the pilot holds.
    EXPECT_EQ(OBJS_MakeSpecial(7), 1);
    EXPECT_EQ(plr.sweapon, 7);
    EXPECT_EQ(OBJS_MakeSpecial(kMegaBomb), 0);
    EXPECT_EQ(OBJS_MakeSpecial(kGun1), 0);
    OBJS_Del(9);
    EXPECT_EQ(OBJS_MakeSpecial(9), 0);
    EXPECT_EQ(plr.sweapon, 7);
}

TEST_F(ObjsTest, FiringUsesUpOnlyWhatIsNotKept)
{
    NewPilot();
    OBJS_Add(4);
    OBJS_Use(kGun1);
    OBJS_Use(4);
    EXPECT_EQ(fired, (std::vector<int>{kGun1, 4}));
    EXPECT_EQ(OBJS_GetAmt(kGun1), 1);
    EXPECT_EQ(OBJS_GetAmt(4), 1);

    // Mega bombs: a shot that did not go uses nothing; the last one fired takes the
    // record and its icon.
    OBJS_Add(kMegaBomb);
    OBJS_Add(kMegaBomb);
    fire_result = 0;
    OBJS_Use(kMegaBomb);
    EXPECT_EQ(OBJS_GetAmt(kMegaBomb), 2);
    fire_result = 1;
    OBJS_Use(kMegaBomb);
    EXPECT_EQ(OBJS_GetAmt(kMegaBomb), 1);
    EXPECT_EQ(OBJS_GetTotal(kMegaBomb), 1);
    OBJS_Use(kMegaBomb);
    EXPECT_EQ(OBJS_GetTotal(kMegaBomb), 0);
    EXPECT_FALSE(OBJS_IsEquip(kMegaBomb));
    fired.clear();
    OBJS_Use(kMegaBomb);
    EXPECT_TRUE(fired.empty());

    // Shields and the gauge have no weapon and are never fired.
    OBJS_Add(kGauge);
    OBJS_Use(kShield);
    OBJS_Use(kGauge);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(OBJS_GetAmt(kShield), 100);
    EXPECT_EQ(OBJS_GetAmt(kGauge), 1);
}

TEST_F(ObjsTest, DamageTakesTheSuperShieldFirst)
{
    NewPilot();
    EXPECT_EQ(OBJS_SubEnergy(7), 93);
    // On training a hit of 2 or more is halved, rounded down; a hit of 1 stays 1.
    curplr_diff = 0;
    EXPECT_EQ(OBJS_SubEnergy(7), 90);
    EXPECT_EQ(OBJS_SubEnergy(2), 89);
    EXPECT_EQ(OBJS_SubEnergy(1), 88);
    curplr_diff = 1;
    EXPECT_EQ(OBJS_SubEnergy(2), 86);
    // No damage in god mode or once the wave is ending.
    godmode = 1;
    EXPECT_EQ(OBJS_SubEnergy(50), 0);
    godmode = 0;
    startendwave = 30;
    EXPECT_EQ(OBJS_SubEnergy(50), 0);
    startendwave = -1;
    EXPECT_EQ(OBJS_GetAmt(kShield), 86);
    // Never below 0.
    EXPECT_EQ(OBJS_SubEnergy(500), 0);
    EXPECT_TRUE(OBJS_IsEquip(kShield));

    // Two super shields: they take the hits first; the one that goes below 0 goes away and
    // the next takes over (the overshoot is lost, not carried).
    OBJS_AddEnergy(100);
    OBJS_Add(kSuper);
    OBJS_Add(kSuper);
    EXPECT_EQ(OBJS_SubEnergy(100), 0);
    EXPECT_EQ(OBJS_GetTotal(kSuper), 2) << "exactly 0 keeps the record";
    EXPECT_EQ(OBJS_SubEnergy(1), 0);
    EXPECT_EQ(OBJS_GetTotal(kSuper), 1);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 100);
    EXPECT_EQ(OBJS_SubEnergy(30), 70);
    EXPECT_EQ(OBJS_GetAmt(kShield), 100);
}

TEST_F(ObjsTest, HealingFillsTheShieldThenTheSuperShield)
{
    NewPilot();
    OBJS_SubAmt(kShield, 10);
    EXPECT_EQ(OBJS_AddEnergy(4), 94);
    EXPECT_EQ(OBJS_AddEnergy(40), 100);
    // Full: without a super shield nothing more happens.
    OBJS_AddEnergy(40);
    EXPECT_EQ(OBJS_GetAmt(kShield), 100);
    OBJS_Add(kSuper);
    OBJS_SubEnergy(50);
    EXPECT_EQ(OBJS_AddEnergy(10), 52) << "a quarter of the amount, rounded down";
    EXPECT_EQ(OBJS_AddEnergy(400), 100);
    // Without a shield there is nothing to heal.
    OBJS_Del(kShield);
    EXPECT_EQ(OBJS_AddEnergy(10), 0);
}

TEST_F(ObjsTest, TheShieldRegainsAUnitEvery97QuietFrames)
{
    NewPilot();
    OBJS_SubAmt(kShield, 20);
    auto think = [](int frames) {
        for (int i = 0; i < frames; i++)
            OBJS_Think();
    };
    // A shot and the frame it was fired in: the count starts from nothing.
    OBJS_Use(kGun1);
    think(1);
    think(96);
    EXPECT_EQ(OBJS_GetAmt(kShield), 80);
    think(1);
    EXPECT_EQ(OBJS_GetAmt(kShield), 81);
    // Firing starts the count again; the frame of the shot does not count.
    think(50);
    OBJS_Use(kGun1);
    think(97);
    EXPECT_EQ(OBJS_GetAmt(kShield), 81);
    think(1);
    EXPECT_EQ(OBJS_GetAmt(kShield), 82);
    // Not while the wave ends.
    startendwave = 10;
    think(97);
    EXPECT_EQ(OBJS_GetAmt(kShield), 82);
    startendwave = -1;

    // No regeneration at all on hard; on training, easy and medium alike.
    curplr_diff = 3;
    think(97 * 5);
    EXPECT_EQ(OBJS_GetAmt(kShield), 82);
    curplr_diff = 0;
    think(97);
    EXPECT_EQ(OBJS_GetAmt(kShield), 83);

    // A full shield trims a super shield held above its limit.
    OBJS_AddEnergy(100);
    OBJS_Add(kSuper);
    p_objs[kSuper]->num = 130;
    think(97);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 100);
}

TEST_F(ObjsTest, AHitLosesTheSelectedSpecialThenTheHighestLosableItem)
{
    NewPilot();
    OBJS_Add(kGun2);
    OBJS_Add(kGun3);
    OBJS_Add(6);
    OBJS_Add(13);
    for (int i = 0; i < 3; i++)
        OBJS_Add(kMegaBomb);
    EXPECT_EQ(plr.sweapon, 6);
    EXPECT_EQ(OBJS_LoseObj(), 1);
    EXPECT_FALSE(OBJS_IsEquip(6));
    EXPECT_EQ(plr.sweapon, 13);
    EXPECT_EQ(OBJS_LoseObj(), 1);
    EXPECT_EQ(plr.sweapon, -1);
    // No special selected: all the bombs at once, then main guns 3 and 2.
    EXPECT_EQ(OBJS_LoseObj(), 1);
    EXPECT_EQ(OBJS_GetTotal(kMegaBomb), 0);
    EXPECT_EQ(OBJS_LoseObj(), 1);
    EXPECT_FALSE(OBJS_IsEquip(kGun3));
    EXPECT_EQ(OBJS_LoseObj(), 1);
    EXPECT_FALSE(OBJS_IsEquip(kGun2));
    // Main gun 1 and the shield stay; nothing was lost, so the hit is not reported as a
    // loss.
    EXPECT_EQ(OBJS_LoseObj(), 0);
    EXPECT_TRUE(OBJS_IsEquip(kGun1));
    EXPECT_EQ(OBJS_GetAmt(kShield), 100);
    EXPECT_EQ(OBJS_GetNum(), 2);
}

TEST_F(ObjsTest, PilotFileRecordsAreCheckedWhenLoaded)
{
    auto load = [](int type, int num, int inuse) {
        OBJ_S rec{};
        rec.type = type;
        rec.num = num;
        rec.inuse = inuse;
        return OBJS_Load(&rec);
    };
    EXPECT_EQ(load(kGun1, 1, 1), 1);
    EXPECT_EQ(load(kShield, 75, 1), 1);
    // What the game never holds is passed over, and loading goes on.
    EXPECT_EQ(load(-3, 1, 1), 1);
    EXPECT_EQ(load(24, 1, 1), 1);
    EXPECT_EQ(load(20, 55700, 1), 1);
    EXPECT_EQ(OBJS_GetNum(), 2);
    EXPECT_EQ(plr.score, 0);
    // Amounts stay within the type's limit.
    EXPECT_EQ(load(kMegaBomb, 99, 1), 1);
    EXPECT_EQ(OBJS_GetAmt(kMegaBomb), 5);
    EXPECT_EQ(load(kGun3, -4, 1), 1);
    EXPECT_EQ(OBJS_GetAmt(kGun3), 0);
    // Two records both claiming to be in effect: the first one is.
    EXPECT_EQ(load(kSuper, 40, 1), 1);
    EXPECT_EQ(load(kSuper, 100, 1), 1);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 40);
    EXPECT_EQ(OBJS_GetTotal(kSuper), 2);
    OBJS_Del(kSuper);
    EXPECT_EQ(OBJS_GetAmt(kSuper), 100);
    // A record not in effect waits until it is equipped.
    EXPECT_EQ(load(8, 1, 0), 1);
    EXPECT_FALSE(OBJS_IsEquip(8));
    EXPECT_EQ(OBJS_Equip(8), 1);
    EXPECT_EQ(OBJS_Equip(8), 0);
    EXPECT_TRUE(OBJS_IsEquip(8));

    // A full pool stops the loader.
    while (OBJS_GetNum() < OBJ_MAXRECORDS)
        ASSERT_EQ(load(kSuper, 100, 0), 1);
    EXPECT_EQ(load(kGun2, 1, 1), 0);
    EXPECT_FALSE(OBJS_IsEquip(kGun2));

    // The selected special weapon must be a special weapon the pilot holds.
    for (int bad : {kShield, kMegaBomb, kGauge, 4, 30, -7}) {
        plr.sweapon = bad;
        OBJS_CheckSpecial();
        EXPECT_EQ(plr.sweapon, 8) << bad;
    }
    OBJS_Del(8);
    plr.sweapon = kShield;
    OBJS_CheckSpecial();
    EXPECT_EQ(plr.sweapon, -1);
}

// The status icons on a small battlefield whose pictures are plain boxes.
class ObjsDisplayTest : public fx::Battlefield
{
  protected:
    void SetUp() override
    {
        fx::Battlefield::SetUp();
        plr = {};
        plr.sweapon = -1;
    }
    void TearDown() override
    {
        OBJS_Init();
        fx::Battlefield::TearDown();
    }
    static fx::Rect Show()
    {
        Clear();
        OBJS_DisplayStats();
        return Drawn();
    }
};

TEST_F(ObjsDisplayTest, IconsForSuperShieldsBombsAndTheSelectedSpecial)
{
    OBJS_Add(kGun1);
    OBJS_Add(kShield);
    // A new pilot has no special weapon selected: nothing is drawn for it.
    EXPECT_EQ(Show(), fx::Rect{});

    // Five super shields: five icons 13 apart from x 18 along the top (8 x 6 boxes here).
    for (int i = 0; i < 5; i++)
        OBJS_Add(kSuper);
    EXPECT_EQ(Show(), (fx::Rect{18, 1, 4 * 13 + fx::kAnimW, fx::kAnimH}));
    while (OBJS_IsEquip(kSuper))
        OBJS_Del(kSuper);

    // Three bombs along the bottom.
    for (int i = 0; i < 3; i++)
        OBJS_Add(kMegaBomb);
    EXPECT_EQ(Show(), (fx::Rect{18, 186, 2 * 13 + fx::kAnimW, fx::kAnimH}));
    OBJS_Del(kMegaBomb);

    // The selected special weapon's picture in the top right corner.
    OBJS_Add(5);
    EXPECT_EQ(Show(), (fx::Rect{286, 2, fx::kPickup, fx::kPickup}));
}

} // namespace
