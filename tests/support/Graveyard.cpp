#include "tests/support/Graveyard.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace {

constexpr unsigned char kMarker = 0xDD;
std::vector<std::pair<unsigned char*, std::size_t>> graves;

} // namespace

void Bury(void* memory, std::size_t size)
{
    std::memset(memory, kMarker, size);
    graves.emplace_back(static_cast<unsigned char*>(memory), size);
}

std::size_t BuriedCount()
{
    return graves.size();
}

bool GraveyardUntouched()
{
    return std::all_of(graves.begin(), graves.end(), [](const auto& grave) {
        return std::all_of(grave.first, grave.first + grave.second, [](unsigned char b) { return b == kMarker; });
    });
}

void ClearGraveyard()
{
    for (const auto& grave : graves) {
        ::operator delete(grave.first);
    }
    graves.clear();
}
