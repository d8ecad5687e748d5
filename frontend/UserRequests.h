#pragma once
// The user's requests that need an answer first: ending the program, wiping the
// controller, the File menu's hand-overs, and the worker's notice. What is asked comes
// from the front end's Prompts; what the answer means is decided here, once. User
// interface thread only.
class Prompts;

// The exit question. True when the user said yes: `quit` is set (every wait ends on it)
// and the front end ends its message loop.
bool ConfirmExit(Prompts& prompts);

// Restore factory settings wipes the settings and the password: No is the default.
void ConfirmFactoryReset(Prompts& prompts);

// The notice the worker posted: shown, then emptied, which releases the worker. Nothing
// once the program is ending (the worker drops it then).
void ShowPendingNotice(Prompts& prompts);

// Takes busy for the session, asks for a file unless `reuseName` and one is set, and
// hands the save or load over; otherwise gives busy back. One file command at a time:
// a second one given while the first waits for busy does nothing.
void RequestFileCommand(Prompts& prompts, bool save, bool reuseName);
