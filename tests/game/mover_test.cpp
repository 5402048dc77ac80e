// The game's random stream and the straight-line mover enemies and shots ride on.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

#include "game/game.h"

namespace
{

TEST(Random, TheStreamIsTheOneDemosWereRecordedWith)
{
    wsrand(1);
    EXPECT_EQ(wrand(), 16838);
    EXPECT_EQ(wrand(), 5758);
    // Every wave starts from its number; the seed wraps at 32 bits and stays in range.
    wsrand(8 << 10);
    for (int i = 0; i < 100000; i++) {
        int r = wrand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

MOVEOBJ Line(int x, int y, int x2, int y2)
{
    MOVEOBJ m{};
    m.x = x;
    m.y = y;
    m.x2 = x2;
    m.y2 = y2;
    InitMobj(&m);
    return m;
}

TEST(Mover, StepsArriveAtTheTargetAlongEveryDirection)
{
    const int targets[][2] = {{37, 11}, {-37, 11}, {11, -37}, {-11, -37}, {0, 20},
                              {20, 0},  {15, 15},  {-15, 15}, {1, -30},   {0, 0}};
    for (auto& t : targets) {
        MOVEOBJ m = Line(100, 50, 100 + t[0], 50 + t[1]);
        const int major = std::max(std::abs(t[0]), std::abs(t[1]));
        const double len = std::sqrt(double(t[0]) * t[0] + double(t[1]) * t[1]);
        int calls = 0;
        bool arrived = major == 0;
        while (!m.done && calls < 1000) {
            MoveMobj(&m);
            calls++;
            if (m.done) break;
            // After as many moves as the longer distance it is at the target, give or take
            // a pixel on the shorter axis.
            if (calls == major)
                arrived = std::abs(m.x - (100 + t[0])) + std::abs(m.y - (50 + t[1])) <= 1 &&
                          (m.x == 100 + t[0] || m.y == 50 + t[1]);
            // Up to the target, within a pixel and a half of the ideal line (the
            // steep case starts half a step ahead on its minor axis).
            if (len > 0 && calls <= major) {
                long cross = long(m.x - 100) * t[1] - long(m.y - 50) * t[0];
                ASSERT_LE(std::abs(cross) / len, 1.5) << t[0] << "," << t[1];
            }
        }
        EXPECT_TRUE(arrived) << t[0] << "," << t[1];
        // One move per point of the line, the start included, then the call that finds
        // nothing left.
        EXPECT_EQ(calls, major + 2) << t[0] << "," << t[1];
    }
}

TEST(Mover, ManyStepsAtOnceLandWhereSingleStepsDo)
{
    const int targets[][2] = {{37, 11}, {-37, 11}, {11, -37}, {-11, -37}, {0, 20}, {50, 49}};
    for (auto& t : targets)
        for (int n : {1, 2, 3, 7}) {
            MOVEOBJ a = Line(10, 20, 10 + t[0], 20 + t[1]);
            MOVEOBJ b = a;
            // Within the line: past its end single steps stop and a jump does not.
            for (int round = 0; (round + 1) * n <= a.maxloop + round * n && round < 5; round++) {
                for (int i = 0; i < n; i++)
                    MoveMobj(&a);
                MoveSobj(&b, n);
                ASSERT_EQ(a.x, b.x) << t[0] << "," << t[1] << " by " << n;
                ASSERT_EQ(a.y, b.y);
                ASSERT_EQ(a.err, b.err);
                ASSERT_EQ(a.maxloop, b.maxloop);
            }
        }
    MOVEOBJ m = Line(0, 0, 5, 2);
    MOVEOBJ still = m;
    MoveSobj(&m, 0);
    EXPECT_EQ(memcmp(&m, &still, sizeof(m)), 0) << "no steps, no change";
    MoveSobj(&m, 6);
    EXPECT_EQ(m.done, 1) << "done once the steps are used up";
}

} // namespace
