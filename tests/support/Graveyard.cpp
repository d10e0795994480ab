#include "tests/support/Graveyard.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr unsigned char kMarker = 0xDD;

} // namespace

Graveyard& Graveyard::Instance()
{
    static Graveyard graveyard;
    return graveyard;
}

void Graveyard::Bury(void* memory, std::size_t size)
{
    std::memset(memory, kMarker, size);
    graves_.emplace_back(static_cast<unsigned char*>(memory), size);
}

bool Graveyard::Untouched() const
{
    return std::all_of(graves_.begin(), graves_.end(), [](const auto& grave) {
        return std::all_of(grave.first, grave.first + grave.second, [](unsigned char b) { return b == kMarker; });
    });
}

void Graveyard::Clear()
{
    for (const auto& grave : graves_) {
        ::operator delete(grave.first);
    }
    graves_.clear();
}
