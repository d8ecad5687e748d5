#include "state/PendingNotice.h"

#include <atomic>
#include <cstdarg>

#include "platform/MessageSink.h"
#include "resources/StringTable.h"
#include "state/ConsoleLine.h"
#include "state/ControlBlock.h"
#include "state/TextOps.h"

namespace {
char16_t noticeText[kNoticeSize];
std::atomic<bool> noticePending{false};

void Publish() { noticePending.store(noticeText[0] != 0, std::memory_order_release); }

void AppendWide(const char16_t* text, std::size_t maxCharacters) {
    std::size_t length = WideLength(noticeText);
    if (length != 0) {
        CopyText(noticeText + length, kNoticeSize - length, u"\n", 1);
        length = WideLength(noticeText);
    }
    CopyText(noticeText + length, kNoticeSize - length, text, maxCharacters);
    Publish();
}
}  // namespace

void SetNotice(unsigned id) {
    char16_t loaded[2000];
    LoadString(id, loaded, 2000);
    CopyText(noticeText, kNoticeSize, loaded, 2000);
    Publish();
}

void AppendNotice(unsigned id) {
    char16_t loaded[2000];
    LoadString(id, loaded, 2000);
    AppendWide(loaded, 2000);
}

void AppendNoticeLine() {
    char16_t line[kConsoleLineSize];
    WidenText(line, kConsoleLineSize, ConsoleLine);
    AppendWide(line, kConsoleLineSize);
}

void AppendNoticeFormat(unsigned id, ...) {
    char text[kNoticeSize];
    va_list args;
    va_start(args, id);
    FormatString(id, text, sizeof text, args);
    va_end(args);
    char16_t wide[kNoticeSize];
    WidenUtf8(wide, kNoticeSize, text);
    AppendWide(wide, kNoticeSize);
}

void ClearNotice() {
    noticeText[0] = 0;
    Publish();
}

void FlushNotice(MessageSink* window) {
    if (!noticePending.load(std::memory_order_acquire)) return;
    window->Post(MsgShowNotice, 0, 0);
    while (noticePending.load(std::memory_order_acquire)) {
        // Once the interface has left its loop nobody shows notices any more.
        if (ControlBlock.quit.load()) {
            ClearNotice();
            return;
        }
        // Emptying the notice and `quit` ring; the limit only bounds a missed ring.
        WaitForWorkerBell(1000);
    }
}

bool NoticePending() { return noticePending.load(std::memory_order_acquire); }

void CopyPendingNotice(char16_t* out) {
    out[0] = 0;
    if (!noticePending.load(std::memory_order_acquire)) return;
    CopyText(out, kNoticeSize, noticeText, kNoticeSize);
}

void EmptyNotice() {
    noticeText[0] = 0;
    noticePending.store(false, std::memory_order_release);
    RingWorker();
}
