// The supply store.
#include "ui/store.h"

#include <utility>

#include "world/objects.h"

int b_items[24], buy_count;
int s_items[24], sell_count;

namespace
{

// Sorts by purchase price, keeping the type order of equal prices.
void SortByCost(int* list, int count)
{
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < count; i++)
            if (OBJS_GetCost(list[i]) > OBJS_GetCost(list[i + 1])) {
                std::swap(list[i], list[i + 1]);
                swapped = true;
            }
    }
}

} // namespace

int MakeBuyItems(void)
{
    buy_count = 0;
    for (int type = 0; type <= OBJ_BOSSGAUGE; type++)
        if (OBJS_CanBuy(type)) b_items[buy_count++] = type;
    SortByCost(b_items, buy_count);
    return buy_count;
}

int MakeSellItems(void)
{
    sell_count = 0;
    for (int type = 0; type < OBJ_NUMTYPES; type++)
        if (OBJS_CanSell(type)) s_items[sell_count++] = type;
    SortByCost(s_items, sell_count);
    return sell_count;
}
