#include "state/SessionTexts.h"

#include <mutex>

#include "resources/StringTable.h"
#include "state/ConsoleLine.h"
#include "state/TextOps.h"

const char16_t kDefaultUserName[] = u"user";
const char16_t kDefaultPassword[] = u"ta-vimek";

namespace {
// The console's user names and passwords have at most 8 characters.
constexpr int kShortSlotLength = 8;

std::mutex slotMutex;
char16_t slotTable[kSessionTextCount][kSessionTextSize];

bool ValidSlot(int slot) { return slot >= 0 && slot < kSessionTextCount; }

int CutPosition(int slot) {
    switch (slot) {
        case SlotUserName:
        case SlotPassword:
        case SlotCurrentPassword:
        case SlotNewPassword:
        case SlotNewPasswordAgain:
            return kShortSlotLength;
        default:
            return kSessionTextSize - 1;
    }
}

// Stores a prepared 100-character text with the slot's cut.
bool Store(int slot, const char16_t* text) {
    if (!ValidSlot(slot)) return false;
    std::lock_guard<std::mutex> lock(slotMutex);
    CopyText(slotTable[slot], kSessionTextSize, text, kSessionTextSize);
    slotTable[slot][CutPosition(slot)] = 0;
    return true;
}
}  // namespace

bool SetSessionText(int slot, const char16_t* text) { return Store(slot, text); }

bool SetSessionTextFromLine(int slot) {
    char16_t wide[kSessionTextSize];
    WidenText(wide, kSessionTextSize, ConsoleLine);
    return Store(slot, wide);
}

bool SetSessionTextFromString(int slot, unsigned id) {
    char16_t wide[kSessionTextSize];
    LoadString(id, wide, kSessionTextSize);
    return Store(slot, wide);
}

bool GetSessionText(int slot, char16_t* out) {
    out[0] = 0;
    if (!ValidSlot(slot)) return false;
    std::lock_guard<std::mutex> lock(slotMutex);
    CopyText(out, kSessionTextSize, slotTable[slot], kSessionTextSize);
    return true;
}

bool GetSessionTextNarrow(int slot, char* out) {
    char16_t wide[kSessionTextSize];
    bool ok = GetSessionText(slot, wide);
    NarrowText(out, kSessionTextSize, wide);
    return ok;
}

namespace {
bool BlankAsKept(const char16_t* text) {
    for (int n = 0; n < kShortSlotLength && text[n] != 0; ++n) {
        if (text[n] != u' ' && text[n] != u'\t') return false;
    }
    return true;
}
}  // namespace

unsigned CheckUserName(const char16_t* user) { return BlankAsKept(user) ? 187 : 0; }

unsigned CheckNewPassword(const char16_t* fresh) { return BlankAsKept(fresh) ? 188 : 0; }
