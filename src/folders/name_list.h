#pragma once
// NameList: a growing list of GBK texts (the sub-folder names of one folder
// as the tree reads them), held in one pool, and put in order by a sort.
#include <cstddef>

#include "folders/sort_no_case.h"

namespace kestrova {

class NameList {
  public:
    NameList() = default;
    NameList(const NameList&) = delete;
    NameList& operator=(const NameList&) = delete;
    ~NameList();

    // Adds a copy of text. False, list unchanged, when memory runs out.
    bool add(const char* text);
    // Puts the texts in the order of sort. False, order unchanged, when
    // memory runs out.
    bool sort(NameSort sort);

    std::size_t count() const { return count_; }
    // The text at index (0 <= index < count()), in the current order.
    const char* operator[](std::size_t index) const { return pool_ + offsets_[index]; }

  private:
    bool grow(std::size_t poolNeeded);

    char* pool_ = nullptr;
    std::size_t poolUsed_ = 0, poolSize_ = 0;
    std::size_t* offsets_ = nullptr;  // offsets survive the pool's moves
    std::size_t count_ = 0, offsetsSize_ = 0;
};

}  // namespace kestrova
