// The shared record pool: taking, removing while walking, running dry, clearing.
#include <gtest/gtest.h>

#include <vector>

#include "world/pool.h"

namespace
{

struct Rec {
    Rec* prev;
    Rec* next;
    int value;
};

using Pool4 = Pool<Rec, 4>;

std::vector<int> Walk(const Pool4& p)
{
    std::vector<int> out;
    for (const Rec* r = p.first.next; r != &p.last; r = r->next)
        out.push_back(r->value);
    return out;
}

TEST(Pool, TakesClearedRecordsInOrderUntilFullThenRefuses)
{
    Pool4 p;
    p.Clear();
    EXPECT_EQ(p.Count(), 0);
    for (int i = 1; i <= 4; i++) {
        Rec* r = p.Take();
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->value, 0);
        r->value = i;
    }
    EXPECT_TRUE(p.Full());
    EXPECT_EQ(p.Take(), nullptr);
    EXPECT_EQ(Walk(p), (std::vector<int>{1, 2, 3, 4}));
    // The tail sentinel points back at the newest record.
    EXPECT_EQ(p.last.prev->value, 4);
}

TEST(Pool, RemovingWhileWalkingVisitsEveryOtherRecordOnce)
{
    Pool4 p;
    p.Clear();
    for (int i = 1; i <= 4; i++)
        p.Take()->value = i;

    // Remove the even ones in a walking loop, as the modules do.
    std::vector<int> seen;
    for (Rec* r = p.first.next; r != &p.last; r = r->next) {
        seen.push_back(r->value);
        if (r->value % 2 == 0) {
            r = p.Remove(r);
        }
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Walk(p), (std::vector<int>{1, 3}));
    EXPECT_EQ(p.last.prev->value, 3);

    // Freed records come back cleared, the last freed first.
    Rec* again = p.Take();
    EXPECT_EQ(again->value, 0);
    EXPECT_EQ(Walk(p), (std::vector<int>{1, 3, 0}));
}

TEST(Pool, RemoveReturnsTheRecordBeforeAndRemoveNextTheOneAfter)
{
    Pool4 p;
    p.Clear();
    Rec* a = p.Take();
    Rec* b = p.Take();
    Rec* c = p.Take();
    a->value = 1;
    b->value = 2;
    c->value = 3;
    EXPECT_EQ(p.Remove(a), &p.first);
    EXPECT_EQ(p.RemoveNext(b), c);
    EXPECT_EQ(p.RemoveNext(c), &p.last);
    EXPECT_EQ(p.Count(), 0);
    EXPECT_EQ(p.first.next, &p.last);
    EXPECT_EQ(p.last.prev, &p.first);
}

TEST(Pool, ClearEmptiesTheListAndFreesEveryRecord)
{
    Pool4 p;
    p.Clear();
    for (int i = 0; i < 3; i++)
        p.Take()->value = 9;
    p.Clear();
    EXPECT_EQ(p.Count(), 0);
    int taken = 0;
    while (Rec* r = p.Take()) {
        EXPECT_EQ(r->value, 0);
        taken++;
    }
    EXPECT_EQ(taken, 4);
}

} // namespace
