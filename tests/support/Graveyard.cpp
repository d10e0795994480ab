#include "tests/support/Graveyard.h"

#include <cstring>
#include <new>

Graveyard& Graveyard::Instance()
{
    static Graveyard graveyard;
    return graveyard;
}

void* Graveyard::Allocate(std::size_t size)
{
    return ::operator new(size);
}

void Graveyard::Bury(void* memory, std::size_t size)
{
    std::memset(memory, kMarker, size);
    graves_.emplace_back(memory, size);
}

bool Graveyard::Untouched() const
{
    for (const auto& [memory, size] : graves_) {
        const auto* bytes = static_cast<const unsigned char*>(memory);
        for (std::size_t i = 0; i < size; ++i) {
            if (bytes[i] != kMarker) {
                return false;
            }
        }
    }
    return true;
}

void Graveyard::Clear()
{
    for (const auto& grave : graves_) {
        ::operator delete(grave.first);
    }
    graves_.clear();
}
