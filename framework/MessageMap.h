#pragma once

#include <windows.h>

class WindowObject;

// A message handler: a member function of a window class taking (wParam, lParam)
// and returning the message's result.
using MessageHandler = LRESULT (WindowObject::*)(WPARAM, LPARAM);

// What an entry's key stands for.
enum MessageEntryKind : UINT {
    kMessageEntry = 0, // a window message number
    kCommandEntry = 1, // a WM_COMMAND identifier (low word of wParam), any notification code
};

// One row of a class's table. Key 0 ends the table.
struct MessageMapEntry {
    UINT key;
    UINT kind;
    MessageHandler handler;
};

struct MessageMap;
using MessageMapGetter = const MessageMap* (*)();

// One static table per class, never changed once built. A class's table is
// searched first, then its base class's through the base getter.
struct MessageMap {
    MessageMapGetter baseGetter; // the base class's static table getter, or null at the root
    const MessageMapEntry* entries;
};

// Entry builders, so that a class's table reads as a list (see MESSAGE_MAP).
template <typename Class>
constexpr MessageMapEntry MessageEntry(UINT message, LRESULT (Class::*handler)(WPARAM, LPARAM))
{
    return {message, kMessageEntry, static_cast<MessageHandler>(handler)};
}

template <typename Class>
constexpr MessageMapEntry CommandEntry(UINT commandId, LRESULT (Class::*handler)(WPARAM, LPARAM))
{
    return {commandId, kCommandEntry, static_cast<MessageHandler>(handler)};
}

constexpr MessageMapEntry EndOfMessageMap()
{
    return {0, kMessageEntry, nullptr};
}

// Inside a window class, public: declares its table and makes lookups start there.
#define MESSAGE_MAP_DECLARATION()                     \
    const MessageMap* GetMessageMap() const override; \
    static const MessageMap* ClassMessageMap()

// In the class's source file: its table, searched before the base class's,
// one entry per line (clang-format would pack them, hence the markers).
//     // clang-format off
//     MESSAGE_MAP(MyWindow, WindowObject,
//         MessageEntry(WM_CREATE, &MyWindow::OnCreate),
//         CommandEntry(IDOK, &MyWindow::OnOK))
//     // clang-format on
// Defines MyWindow::ClassMessageMap and MyWindow::GetMessageMap, nothing else.
#define MESSAGE_MAP(Class, Base, ...)                                              \
    const MessageMap* Class::ClassMessageMap()                                     \
    {                                                                              \
        static const MessageMapEntry entries[] = {__VA_ARGS__, EndOfMessageMap()}; \
        static const MessageMap map = {&Base::ClassMessageMap, entries};           \
        return &map;                                                               \
    }                                                                              \
    const MessageMap* Class::GetMessageMap() const                                 \
    {                                                                              \
        return ClassMessageMap();                                                  \
    }
