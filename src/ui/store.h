// The supply store: equipment bought and sold one item at a time with the score as money.
#pragma once

// The lists the store steps through: item types in order of price, cheapest first.
extern int b_items[24], buy_count;
extern int s_items[24], sell_count;

// Runs the store until the pilot leaves.
void STORE_Enter(void);
// Every type 0..17 the pilot can buy now, by price; returns how many.
int MakeBuyItems(void);
// Every type 0..23 the pilot can sell, by price; returns how many.
int MakeSellItems(void);
// The shopkeeper shows one of his lines (a picture) for a moment.
void Shopkeep(int picture);
