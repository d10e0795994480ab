#include "tests/support/Graveyard.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

constexpr char kMarker = '\xDD';
std::vector<std::string_view> graves;

} // namespace

void Bury(void* memory, std::size_t size)
{
    std::fill_n(static_cast<char*>(memory), size, kMarker);
    graves.emplace_back(static_cast<const char*>(memory), size);
}

std::size_t BuriedCount()
{
    return graves.size();
}

bool GraveyardUntouched()
{
    return std::all_of(graves.begin(), graves.end(),
        [](std::string_view grave) { return grave.find_first_not_of(kMarker) == std::string_view::npos; });
}

void ClearGraveyard()
{
    for (const std::string_view grave : graves) {
        ::operator delete(const_cast<char*>(grave.data()));
    }
    graves.clear();
}
