#pragma once
// The operations around a console session, on the worker thread: the port scan before
// each login dialog, opening and configuring the chosen port, and the read-out after
// login.
class MessageSink;
struct LoadMessages;

// Lists COM1 ... COM99 that have a device into ControlBlock.portList / portCount.
void ScanPorts();

// Opens the port named in session slot 3 at `baud`, 8N1 without flow control.
// False with a notice appended (148, 149 or 150; after 148 a line that says why); the
// port may still be open.
bool ConnectPort();

// After a failed login: says that the controller never answered, when not one byte
// came from it.
void NoteSilentController();

// Ver: false (with a notice) unless the controller gave one of the known firmware
// lines and the session goes on.
bool CheckFirmware(MessageSink* window);

// CheckFirmware, then the sixteen parameters; stops at once on quit or a lost
// connection.
bool ReadAllParameters(MessageSink* window);

// The sixteen parameters of the read-out, as ParameterTable indexes in their order.
constexpr int kReadOutCount = 16;
int ReadOutIndex(int n);

// Loading fileChooser.path: the whole file checked first (its messages into
// `messages`), the name emptied; then Stop, the file's values, Ver. False, with nothing
// sent, for a refused file. The Save that ends a load comes after, for a file that passed.
bool LoadParameterFile(MessageSink* window, LoadMessages* messages);
