#pragma once

#include <cstddef>
#include <utility>
#include <vector>

// Memory of deleted Poisoned objects: freed blocks are filled with a marker
// and kept until Clear, so a virtual call through a deleted object crashes and
// a write to one shows as a spoilt marker.
class Graveyard {
public:
    static Graveyard& Instance();
    ~Graveyard() { Clear(); }

    void Bury(void* memory, std::size_t size);
    // Every buried block still holds nothing but the marker.
    bool Untouched() const;
    std::size_t Count() const { return graves_.size(); }
    void Clear();

private:
    std::vector<std::pair<unsigned char*, std::size_t>> graves_;
};

// An object of class Base whose memory goes to the Graveyard when it is deleted.
template <typename Base>
class Poisoned : public Base {
public:
    using Base::Base;
    static void operator delete(void* memory, std::size_t size) { Graveyard::Instance().Bury(memory, size); }
};
