// The fixed record pool every battlefield module keeps its actors in.
//
// Records live in a fixed array. Free ones are chained through their `next` link; records
// in play form a doubly linked list between two sentinel records, `first` and `last`, so a
// walk runs `for (T* r = pool.first.next; r != &pool.last; r = r->next)`. New records go
// in before `last`. The record type needs `prev` and `next` pointers to its own type and
// must be cleared by value-initialising it (`T{}`).
//
// What an empty free list means (a quiet refusal or the end of the program) is each
// module's own rule: Take returns null when the pool is full and the caller decides.
// Remove hands back the record before the removed one, RemoveNext the one after it.
#pragma once

template <typename T, int N> struct Pool {
    static_assert(N > 0, "a pool holds at least one record");

    T rec[N];
    T first;
    T last;
    T* free;

    // Every record back on the free list (in array order) and nothing in play.
    void Clear()
    {
        for (int i = 0; i < N; i++) {
            rec[i] = T{};
            rec[i].next = i + 1 < N ? &rec[i + 1] : nullptr;
        }
        free = &rec[0];
        first = T{};
        last = T{};
        first.next = &last;
        last.prev = &first;
    }

    // A cleared record appended before `last`; null when every record is in play.
    T* Take()
    {
        if (!free) return nullptr;
        T* r = free;
        free = r->next;
        *r = T{};
        r->prev = last.prev;
        r->next = &last;
        last.prev->next = r;
        last.prev = r;
        return r;
    }

    // Unlinks a record in play, clears it and pushes it on the free list. The record that
    // preceded it is returned so that a walking loop can carry on from there.
    T* Remove(T* r)
    {
        T* prev = r->prev;
        T* next = r->next;
        prev->next = next;
        next->prev = prev;
        *r = T{};
        r->next = free;
        free = r;
        return prev;
    }

    // As Remove, but hands back the record that followed it.
    T* RemoveNext(T* r)
    {
        T* next = r->next;
        Remove(r);
        return next;
    }

    // Records in play.
    int Count() const
    {
        int n = 0;
        for (const T* r = first.next; r && r != &last; r = r->next)
            n++;
        return n;
    }

    bool Full() const { return free == nullptr; }
};
