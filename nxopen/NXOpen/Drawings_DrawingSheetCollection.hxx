// The drawing sheets of a part, walked with an iterator.
#ifndef NXOpen_DRAWINGS_DRAWINGSHEETCOLLECTION_HXX_INCLUDED
#define NXOpen_DRAWINGS_DRAWINGSHEETCOLLECTION_HXX_INCLUDED

#include <cstddef>
#include <iterator>

#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/TaggedObjectCollection.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class Part;

namespace Drawings {

class DrawingSheet;

class NXOPENCPP_DRAWINGSEXPORT DrawingSheetCollection : public NXOpen::TaggedObjectCollection {
 public:
  explicit DrawingSheetCollection(NXOpen::Part* owner);
  ~DrawingSheetCollection();

  class iterator {
   public:
    typedef std::forward_iterator_tag iterator_category;
    typedef NXOpen::Drawings::DrawingSheet* value_type;
    typedef std::ptrdiff_t difference_type;
    typedef value_type* pointer;
    typedef value_type& reference;

    iterator() : m_context(nullptr), m_current(NULL_TAG), m_state() {}
    explicit iterator(NXOpen::Drawings::DrawingSheetCollection* context)
        : m_context(context), m_current(NULL_TAG), m_state() {}
    iterator(const iterator& other) : m_context(nullptr), m_current(NULL_TAG), m_state() {
      copy(other);
    }
    iterator& operator=(const iterator& other) {
      if (&other != this) copy(other);
      return *this;
    }
    bool operator==(const iterator& other) const {
      return m_current == other.m_current && m_context == other.m_context;
    }
    bool operator!=(const iterator& other) const { return !operator==(other); }
    // The sheet the iterator is at.
    NXOPENCPP_DRAWINGSEXPORT value_type operator*() const;
    iterator& operator++() {
      next();
      return *this;
    }
    iterator operator++(int) {
      iterator before(*this);
      ++*this;
      return before;
    }

   private:
    void copy(const iterator& other) {
      m_context = other.m_context;
      m_current = other.m_current;
      for (std::size_t i = 0; i < sizeof(m_state) / sizeof(m_state[0]); i++)
        m_state[i] = other.m_state[i];
    }
    NXOPENCPP_DRAWINGSEXPORT void next();
    NXOpen::Drawings::DrawingSheetCollection* m_context;
    tag_t m_current;
    unsigned int m_state[8];
  };

  iterator begin();
  // One past the last sheet: an iterator at no sheet.
  iterator end() { return iterator(this); }

 private:
  NXOpen::Part* m_owner;
};

}  // namespace Drawings
}  // namespace NXOpen

#endif
