// Drawing sheets of a part and the collection that iterates them.
#pragma once

#include <cstddef>
#include <iterator>
#include <string>

#include "addin/host/NXObject.h"

namespace host {
namespace Drawings {

class DrawingSheet : public NXObject {
 public:
  virtual std::string Name() = 0;
};

class DrawingSheetCollection {
 public:
  virtual ~DrawingSheetCollection() = default;
  virtual std::size_t Count() = 0;
  // The sheet at a position below Count(); NX may yield null entries.
  virtual DrawingSheet* Item(std::size_t index) = 0;

  class iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = DrawingSheet*;
    using difference_type = std::ptrdiff_t;
    using pointer = DrawingSheet**;
    using reference = DrawingSheet*;

    iterator(DrawingSheetCollection* collection, std::size_t index)
        : collection_(collection), index_(index) {}
    DrawingSheet* operator*() const { return collection_->Item(index_); }
    iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const iterator& other) const { return index_ == other.index_; }
    bool operator!=(const iterator& other) const { return index_ != other.index_; }

   private:
    DrawingSheetCollection* collection_;
    std::size_t index_;
  };

  iterator begin() { return iterator(this, 0); }
  iterator end() { return iterator(this, Count()); }
};

}  // namespace Drawings
}  // namespace host
