#pragma once
// The operations around a console session, on the worker thread: the port scan at
// start-up, opening and configuring the chosen port, and the read-out after login.
class MessageSink;

// Probes COM1 ... COM99 into ControlBlock.portList / portCount.
void ScanPorts();

// Opens the port named in session slot 3 at `baud`, 8N1 without flow control.
// False with a notice appended (148, 149 or 150); the port may still be open.
bool ConnectPort();

// Ver, then the sixteen parameters; stops at once on quit or a lost connection.
bool ReadAllParameters(MessageSink* window);
