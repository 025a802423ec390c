#pragma once
// The plain bubble sort of folder names (passes of neighbour swaps until one
// swaps nothing): the reference order the tree's sort must reproduce, and
// the baseline of its benchmark.
#include <cstddef>

#include "folders/sort_no_case.h"

namespace kestrova::test {

inline void bubbleSortNoCase(const char** items, const char** /*scratch*/, std::size_t count) {
    bool swapped = count >= 2;
    while (swapped) {
        swapped = false;
        for (std::size_t i = 0; i + 1 < count; ++i) {
            if (compareNoCase(items[i], items[i + 1]) > 0) {
                const char* first = items[i];
                items[i] = items[i + 1];
                items[i + 1] = first;
                swapped = true;
            }
        }
    }
}

}  // namespace kestrova::test
