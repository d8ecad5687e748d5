#pragma once
// XML parameter-set files, on the worker thread. The writer builds the document from
// the shared stores and replaces the file named in fileChooser safely; the reader
// checks structure, both versions and every value, then sends the twelve settable
// values through the command driver in a fixed order, storing nothing from the file
// itself.
#include <cstddef>

#include "console/Commands.h"
#include "state/ParameterTable.h"

class MessageSink;
namespace tinyxml2 {
class XMLElement;
}

// A parameter file is about 1 KB; anything near this is not one.
constexpr std::size_t kMaxConfigFileSize = 1 << 20;

// The reader's own messages, kept apart from the pending notice because the load
// sequence's later commands empty that; appended just before the final flush. A line
// is a string id, with the element name for the "%s" of a refused value's text.
struct LoadMessages {
    struct Line {
        unsigned id;
        const char* name;  // static storage, or null
    };
    static constexpr int kCapacity = 24;  // the reader's few messages and twelve values
    Line lines[kCapacity] = {};
    int count = 0;
    bool accepted = false;  // the file passed every check and its values went out
    int sent = 0;           // values handed over
    int refused = 0;        // of those, not taken
    int present = 0;        // values the file holds
    void Add(unsigned id, const char* name = nullptr) {
        if (count < kCapacity) lines[count++] = {id, name};
    }
};

// Prints the document for the current stores (CR LF line ends, no byte-order mark)
// into `out`; false when it does not fit.
bool PrintConfigDocument(char* out, std::size_t capacity, std::size_t* length);

// Saves to fileChooser.path; on failure appends string 143 to the pending notice (and
// says false).
bool WriteConfigFile();

bool ReadVersionText(const tinyxml2::XMLElement* group, char* buffer);

// The value sent for an element's text: without the blanks, tabs and line ends around
// it (an editor leaves them when it puts the text on a line of its own), cut to fit
// kValueSize. False when what remains holds a control character (below 0x20, or 0x7F):
// a line end in it would make the controller run a second command.
bool CleanFileValue(const char* text, char* value);

// The twelve values a file sets, as ParameterTable indexes in the order they are sent.
constexpr int kFileValueCount = 12;
int FileValueIndex(int n);

// Where the checked values of a file go, one at a time in the fixed order: to the
// controller when a file is loaded; elsewhere to be compared or examined.
class FileValueTarget {
public:
    virtual ~FileValueTarget() = default;
    virtual CommandOutcome Take(int index, const char* value) = 0;
    // True once the target can take no more (the line is gone, the program ends): the
    // values left are not handed over.
    virtual bool Lost() const { return false; }
};

// The controller: each value is written (and read back) through the command driver.
class ControllerTarget : public FileValueTarget {
public:
    explicit ControllerTarget(MessageSink* window) : window(window) {}
    CommandOutcome Take(int index, const char* value) override;
    bool Lost() const override;

private:
    MessageSink* window;
};

// A parameter file's values after every check, cleaned, in the order they are sent.
struct CheckedFile {
    char values[kFileValueCount][kValueSize] = {};
    bool present[kFileValueCount] = {};
};

// Checks a parameter file's text as Open does (structure, both versions, and every
// value: no control character, and each fits a console line) before anything is sent.
// True when it passed (`messages->accepted`); its messages go to `messages` either way.
bool CheckConfigText(const char* text, std::size_t size, CheckedFile* file, LoadMessages* messages);
// The same for the regular file at `path` (anything else is unreadable).
bool CheckConfigPath(const char* path, CheckedFile* file, LoadMessages* messages);

// Hands a checked file's values to `target`, counting in `messages` those handed over
// and naming each one the target did not take; stops once the target is lost.
void SendFileValues(const CheckedFile& file, FileValueTarget& target, LoadMessages* messages);

// Check, then send when the file passed.
void ReadConfigText(const char* text, std::size_t size, FileValueTarget& target, LoadMessages* messages);
void ReadConfigPath(const char* path, FileValueTarget& target, LoadMessages* messages);

// Appends the collected messages to the pending notice.
void AppendLoadMessages(const LoadMessages& messages);
