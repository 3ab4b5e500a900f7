// Open-addressing hash tables, for the object registry's indexes (objects by address, objects
// by name, root members by object) and the level editor's vertex numbers: all entries live in one array, so a lookup is one run of
// neighbouring slots and emptying the table is one pass over that array, with no record to
// free per entry. Linear probing; a removal moves later entries of its run back, so no slot is
// ever left marked as deleted.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

template <class Traits>
class FlatIndex {
 public:
  using Slot = typename Traits::Slot;
  using Key = typename Traits::Key;

  // The slot holding the key, or null.
  Slot* Find(Key key) {
    if (count_ == 0 || !Traits::Valid(key)) return nullptr;
    for (size_t i = Home(key);; i = (i + 1) & mask_) {
      if (Traits::Empty(slots_[i])) return nullptr;
      if (Traits::Matches(slots_[i], key)) return &slots_[i];
    }
  }

  // The slot holding the key, made (with its value zeroed) when there was none; null for a
  // key the table cannot hold.
  Slot* Insert(Key key) {
    if (!Traits::Valid(key)) return nullptr;
    if (2 * (count_ + 1) > slots_.size()) Grow();
    size_t i = Home(key);
    for (; !Traits::Empty(slots_[i]); i = (i + 1) & mask_)
      if (Traits::Matches(slots_[i], key)) return &slots_[i];
    slots_[i] = Slot();
    Traits::SetKey(&slots_[i], key);
    count_++;
    return &slots_[i];
  }

  // Removes the key; false when it was not there.
  bool Erase(Key key) {
    Slot* slot = Find(key);
    if (!slot) return false;
    size_t hole = static_cast<size_t>(slot - slots_.data());
    // Later entries of the run whose home is not between the hole and themselves move into it.
    for (size_t j = (hole + 1) & mask_; !Traits::Empty(slots_[j]); j = (j + 1) & mask_) {
      size_t home = Home(Traits::KeyOf(slots_[j]));
      bool stays = hole <= j ? (hole < home && home <= j) : (hole < home || home <= j);
      if (stays) continue;
      slots_[hole] = slots_[j];
      hole = j;
    }
    slots_[hole] = Slot();
    count_--;
    return true;
  }

  // Empties the table. A table much larger than what it held is made small again.
  void Clear() {
    if (count_ == 0) return;
    if (slots_.size() > 64 && slots_.size() > 8 * count_) {
      slots_.assign(64, Slot());
      mask_ = 63;
    } else {
      std::fill(slots_.begin(), slots_.end(), Slot());
    }
    count_ = 0;
  }

  size_t Size() const { return count_; }

  // Makes room for `count` entries, so that inserting them never grows the table.
  void Reserve(size_t count) {
    size_t size = std::max<size_t>(slots_.size(), 64);
    while (size < 2 * count) size *= 2;
    if (size > slots_.size()) Regrow(size);
  }

 private:
  size_t Home(Key key) const { return Traits::Hash(key) & mask_; }

  void Grow() { Regrow(slots_.empty() ? 64 : 2 * slots_.size()); }

  void Regrow(size_t size) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(size, Slot());
    mask_ = slots_.size() - 1;
    for (const Slot& s : old) {
      if (Traits::Empty(s)) continue;
      size_t i = Home(Traits::KeyOf(s));
      while (!Traits::Empty(slots_[i])) i = (i + 1) & mask_;
      slots_[i] = s;
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

// Keys that are addresses (never null), with a value each.
template <class V>
struct AddressKeys {
  struct Slot {
    const void* key;
    V value;
  };
  using Key = const void*;
  static bool Valid(Key key) { return key != nullptr; }
  static bool Empty(const Slot& s) { return s.key == nullptr; }
  static bool Matches(const Slot& s, Key key) { return s.key == key; }
  static Key KeyOf(const Slot& s) { return s.key; }
  static void SetKey(Slot* s, Key key) { s->key = key; }
  static size_t Hash(Key key) {
    uint64_t x = reinterpret_cast<uintptr_t>(key);
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    return static_cast<size_t>(x);
  }
};
template <class V>
using AddressIndex = FlatIndex<AddressKeys<V>>;

// Addresses of records made one after the other from blocks, met in about that order: the
// neighbouring addresses keep neighbouring slots, so a walk in making order reads the table
// in order too. The high address bits are folded in so that distant blocks do not pile onto
// one place.
template <class V>
struct NearbyAddressKeys : AddressKeys<V> {
  static size_t Hash(const void* key) {
    const uint64_t p = reinterpret_cast<uintptr_t>(key);
    return static_cast<size_t>((p >> 4) ^ (p >> 24) ^ (p >> 44));
  }
};
template <class V>
using NearbyAddressIndex = FlatIndex<NearbyAddressKeys<V>>;

// Keys that are texts of 1 to N - 1 characters, kept in the slot, with a value each.
template <size_t N, class V>
struct TextKeys {
  struct Slot {
    char key[N];
    V value;
  };
  using Key = const char*;
  static bool Valid(Key key) { return key && key[0] && std::strlen(key) < N; }
  static bool Empty(const Slot& s) { return s.key[0] == '\0'; }
  static bool Matches(const Slot& s, Key key) { return std::strcmp(s.key, key) == 0; }
  static Key KeyOf(const Slot& s) { return s.key; }
  static void SetKey(Slot* s, Key key) { std::memcpy(s->key, key, std::strlen(key) + 1); }
  // FNV-1a.
  static size_t Hash(Key key) {
    uint64_t h = 1469598103934665603ULL;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(key); *p; p++) {
      h ^= *p;
      h *= 1099511628211ULL;
    }
    return static_cast<size_t>(h ^ (h >> 29));
  }
};
template <size_t N, class V>
using TextIndex = FlatIndex<TextKeys<N, V>>;
