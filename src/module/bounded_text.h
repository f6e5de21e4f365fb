// Copies into the module's fixed character buffers, never past their end.
#pragma once

#include <cstddef>
#include <cstring>

namespace kob {

// Copies at most size - 1 characters of source and always terminates.
inline void copyBounded(char* destination, std::size_t size, const char* source) {
    if (size == 0) return;
    std::size_t length = std::strlen(source);
    if (length > size - 1) length = size - 1;
    std::memmove(destination, source, length);
    destination[length] = '\0';
}

template <std::size_t N>
void copyBounded(char (&destination)[N], const char* source) {
    copyBounded(destination, N, source);
}

}  // namespace kob
