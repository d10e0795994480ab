#include "draw/FontCache.h"

#include <cwchar>

namespace {

constexpr const wchar_t* kTahoma = L"Tahoma";
constexpr const wchar_t* kSimSun = L"宋体";
constexpr LONG kRegularWeight = 400;
constexpr LONG kBoldWeight = 600; // semi-bold, lighter than FW_BOLD

} // namespace

FontCache::~FontCache()
{
    // Iterative, so a long chain cannot exhaust the stack.
    while (head_) {
        DeleteObject(head_->font);
        head_ = std::move(head_->next);
    }
}

FontCache& FontCache::Instance()
{
    static FontCache cache;
    return cache;
}

HFONT FontCache::GetFont(FontFace face, int size, bool bold, bool underline)
{
    wchar_t key[256];
    swprintf(key, 256, L"Font|%d|%d|%d|%d", static_cast<int>(face), size, bold ? 1 : 0, underline ? 1 : 0);
    for (const Entry* entry = head_.get(); entry; entry = entry->next.get()) {
        if (wcscmp(entry->key, key) == 0) {
            return entry->font;
        }
    }
    LOGFONTW description = {};
    description.lfHeight = -size;
    description.lfWeight = bold ? kBoldWeight : kRegularWeight;
    description.lfUnderline = underline ? TRUE : FALSE;
    description.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(description.lfFaceName, face == FontFace::SimSun ? kSimSun : kTahoma, LF_FACESIZE);

    auto entry = std::make_unique<Entry>();
    lstrcpynW(entry->key, key, 64);
    // A failed creation is kept as null too: it is not retried.
    entry->font = CreateFontIndirectW(&description);
    entry->next = std::move(head_);
    head_ = std::move(entry);
    return head_->font;
}
