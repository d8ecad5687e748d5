#pragma once
// XML parameter-set files, on the worker thread. The writer builds the document from
// the shared stores and replaces the file named in fileChooser safely; the reader
// checks structure, both versions and every value, then sends the twelve settable
// values through the command driver in a fixed order, storing nothing from the file
// itself.
#include <cstddef>
#include <optional>

#include "console/Commands.h"

class MessageSink;
namespace tinyxml2 {
class XMLElement;
}

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
    void Add(unsigned id, const char* name = nullptr) {
        if (count < kCapacity) lines[count++] = {id, name};
    }
};

// Prints the document for the current stores (CR LF line ends, no byte-order mark)
// into `out`; false when it does not fit.
bool PrintConfigDocument(char* out, std::size_t capacity, std::size_t* length);

// Saves to fileChooser.path; on failure appends string 143 to the pending notice.
void WriteConfigFile();

bool ReadVersionText(const tinyxml2::XMLElement* group, char* buffer);

// The value sent for an element's text: without the blanks, tabs and line ends around
// it (an editor leaves them when it puts the text on a line of its own), cut to fit
// kValueSize. False when what remains holds a control character (below 0x20, or 0x7F):
// a line end in it would make the controller run a second command.
bool CleanFileValue(const char* text, char* value);

// Sends the cleaned value of element `name` of `group` to parameter `index`; nothing
// (no traffic) when the element is missing or holds no text.
std::optional<CommandOutcome> ApplyFileValue(const char* name, MessageSink* window,
                                             const tinyxml2::XMLElement* group, int index);

// Loads fileChooser.path and sends its values; the messages it meets go to `messages`.
void ReadConfigFile(MessageSink* window, LoadMessages* messages);

// Appends the collected messages to the pending notice.
void AppendLoadMessages(const LoadMessages& messages);
