// Bounded string helpers: every result is terminated, and the copy/append helpers say
// whether the whole text fitted.
#pragma once

#include <cstdarg>
#include <cstddef>

bool M_StringCopy(char* dest, const char* src, size_t dest_size);
bool M_StringConcat(char* dest, const char* src, size_t dest_size);
// Joins a null-terminated list of texts into a new allocation (free it with free()).
// The program ends if memory runs out.
char* M_StringJoin(const char* s, ...);
int M_vsnprintf(char* buf, size_t buf_len, const char* s, va_list args);
int M_snprintf(char* buf, size_t buf_len, const char* s, ...)
    __attribute__((format(printf, 3, 4)));
