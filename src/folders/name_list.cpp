#include "folders/name_list.h"

#include <cstdlib>
#include <cstring>

namespace kestrova {

NameList::~NameList() {
    std::free(pool_);
    std::free(offsets_);
}

bool NameList::grow(std::size_t poolNeeded) {
    if (poolNeeded > poolSize_) {
        std::size_t size = poolSize_ ? poolSize_ * 2 : 4096;
        while (size < poolNeeded) size *= 2;
        char* pool = static_cast<char*>(std::realloc(pool_, size));
        if (!pool) return false;
        pool_ = pool;
        poolSize_ = size;
    }
    if (count_ == offsetsSize_) {
        const std::size_t size = offsetsSize_ ? offsetsSize_ * 2 : 64;
        auto offsets = static_cast<std::size_t*>(std::realloc(offsets_, size * sizeof *offsets_));
        if (!offsets) return false;
        offsets_ = offsets;
        offsetsSize_ = size;
    }
    return true;
}

bool NameList::add(const char* text) {
    const std::size_t length = std::strlen(text) + 1;
    if (!grow(poolUsed_ + length)) return false;
    std::memcpy(pool_ + poolUsed_, text, length);
    offsets_[count_++] = poolUsed_;
    poolUsed_ += length;
    return true;
}

bool NameList::sort(NameSort sort) {
    if (count_ < 2) return true;
    auto items = static_cast<const char**>(std::malloc(2 * count_ * sizeof(const char*)));
    if (!items) return false;
    for (std::size_t i = 0; i < count_; ++i) items[i] = pool_ + offsets_[i];
    sort(items, items + count_, count_);
    for (std::size_t i = 0; i < count_; ++i)
        offsets_[i] = static_cast<std::size_t>(items[i] - pool_);
    std::free(items);
    return true;
}

}  // namespace kestrova
