#include "game/m_misc.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

bool M_StringCopy(char* dest, const char* src, size_t dest_size)
{
    if (dest_size < 1) return false;
    size_t len = strlen(src);
    size_t n = len < dest_size - 1 ? len : dest_size - 1;
    memcpy(dest, src, n);
    dest[n] = '\0';
    return n == len;
}

bool M_StringConcat(char* dest, const char* src, size_t dest_size)
{
    if (dest_size < 1) return false;
    size_t offset = strnlen(dest, dest_size);
    if (offset >= dest_size) {
        // No terminator inside the buffer: end it at its last byte, and say the text did
        // not fit.
        dest[dest_size - 1] = '\0';
        return false;
    }
    return M_StringCopy(dest + offset, src, dest_size - offset);
}

char* M_StringJoin(const char* s, ...)
{
    va_list args;
    size_t result_len = 1;

    va_start(args, s);
    for (const char* v = s; v; v = va_arg(args, const char*))
        result_len += strlen(v);
    va_end(args);

    char* result = static_cast<char*>(malloc(result_len));
    if (!result) exit(0);
    result[0] = '\0';

    va_start(args, s);
    for (const char* v = s; v; v = va_arg(args, const char*))
        strcat(result, v);
    va_end(args);
    return result;
}

int M_vsnprintf(char* buf, size_t buf_len, const char* s, va_list args)
{
    if (buf_len < 1) return 0;
    int result = vsnprintf(buf, buf_len, s, args);
    // vsnprintf reports the length the text would have had; report what was kept.
    if (result < 0 || static_cast<size_t>(result) >= buf_len) {
        buf[buf_len - 1] = '\0';
        result = static_cast<int>(buf_len) - 1;
    }
    return result;
}

int M_snprintf(char* buf, size_t buf_len, const char* s, ...)
{
    va_list args;
    va_start(args, s);
    int result = M_vsnprintf(buf, buf_len, s, args);
    va_end(args);
    return result;
}
