#pragma once
// The notice the worker collects for one request (lines joined by a single line
// feed, at most 999 characters) and its hand-over to the user interface. The worker
// composes it while nothing is handed over; FlushNotice posts MsgShowNotice and waits
// until the interface has shown it and emptied it (or the program is ending). The
// pending flag mirrors "first character non-zero" with release/acquire ordering.
class MessageSink;

constexpr int kNoticeSize = 1000;

// Worker side.
void SetNotice(unsigned id);
void AppendNotice(unsigned id);
void AppendNoticeLine();  // the current ConsoleLine
// String `id` with its printf-style conversions filled in by narrow (UTF-8) arguments.
void AppendNoticeFormat(unsigned id, ...);
void ClearNotice();
void FlushNotice(MessageSink* window);

// Both sides: whether something is pending.
bool NoticePending();

// User interface side, after a MsgShowNotice: copy the text, then empty it, which
// releases the waiting worker.
void CopyPendingNotice(char16_t* out);  // out has kNoticeSize characters
void EmptyNotice();
