// The walks' search for the entries of a lane that have a bit, compiled into
// each instruction set's section of the files that include it.
#if defined(ENGINE_LANES_WITH_BIT_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef ENGINE_LANES_WITH_BIT_INL_H_
#undef ENGINE_LANES_WITH_BIT_INL_H_
#else
#define ENGINE_LANES_WITH_BIT_INL_H_
#endif

#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace engine::HWY_NAMESPACE {

// Calls visit(i), in order, for each of the first `count` entries of `bits`
// that has `bit`. The entries are tested a vector at a time, so that a search
// that finds few of them branches per entry found, not per entry tested.
// `bits` has room for a vector past `count`; what lies there is not read as
// entries.
template <class T, class Visit>
HWY_INLINE void ForEachWithBit(const T* bits, size_t count, T bit, Visit visit) {
  namespace hn = hwy::HWY_NAMESPACE;
  const hn::CappedTag<T, 8> d;  // one byte of mask bits
  const size_t n = hn::Lanes(d);
  const auto wanted = hn::Set(d, bit);
  for (size_t start = 0; start < count; start += n) {
    uint8_t found[8];
    hn::StoreMaskBits(d, hn::TestBit(hn::LoadU(d, bits + start), wanted), found);
    unsigned lanes = found[0];
    if (count - start < n) lanes &= (1u << (count - start)) - 1;
    for (; lanes; lanes &= lanes - 1)
      visit(start + size_t(hwy::Num0BitsBelowLS1Bit_Nonzero32(lanes)));
  }
}

}  // namespace engine::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif
