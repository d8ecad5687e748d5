#pragma once
// Sleeping and the event pump. The pump is what a thread that must wait on the
// user interface thread calls between its 10 ms sleeps (AcquireBusy), so that the
// interface keeps drawing and showing notices; the user interface installs it.

void SleepMs(unsigned milliseconds);
// Names the calling thread for debuggers and process listings (at most 15 characters).
void NameThisThread(const char* name);

using EventPump = void (*)();
void SetEventPump(EventPump pump);  // nullptr removes it
void PumpEvents();                  // no-op until a pump is installed
