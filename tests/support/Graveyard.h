#pragma once

#include <cstddef>

// Memory of deleted Poisoned objects: filled with a marker and kept until ClearGraveyard, so a virtual call through a
// deleted object crashes and a write to one shows as a spoilt marker.
void Bury(void* memory, std::size_t size);
std::size_t BuriedCount();
// Every buried block still holds nothing but the marker.
bool GraveyardUntouched();
void ClearGraveyard();

// An object of class Base whose memory goes to the graveyard when it is deleted.
template <typename Base>
struct Poisoned : Base {
    using Base::Base;
    static void operator delete(void* memory, std::size_t size) { Bury(memory, size); }
};
