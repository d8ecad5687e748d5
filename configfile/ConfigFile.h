#pragma once
// XML parameter-set files, on the worker thread. The writer builds the document from
// the shared stores and replaces the file named in fileChooser safely; the reader
// checks structure and both versions, then sends the twelve settable values through
// ExecuteCommand in a fixed order, storing nothing from the file itself.
#include <cstddef>

class MessageSink;
namespace tinyxml2 {
class XMLElement;
}

// The reader's own messages (string ids), kept apart from the pending notice because
// the load sequence's later commands empty that; appended just before the final flush.
struct LoadMessages {
    unsigned ids[8] = {};
    int count = 0;
    void Add(unsigned id) {
        if (count < 8) ids[count++] = id;
    }
};

// Prints the document for the current stores (CR LF line ends, no byte-order mark)
// into `out`; false when it does not fit.
bool PrintConfigDocument(char* out, std::size_t capacity, std::size_t* length);

// Saves to fileChooser.path; on failure appends string 143 to the pending notice.
void WriteConfigFile();

bool ReadVersionText(const tinyxml2::XMLElement* group, char* buffer);
bool ApplyFileValue(const char* name, MessageSink* window, const tinyxml2::XMLElement* group,
                    int index);

// Loads fileChooser.path and sends its values; the messages it meets go to `messages`.
void ReadConfigFile(MessageSink* window, LoadMessages* messages);

// Appends the collected messages to the pending notice.
void AppendLoadMessages(const LoadMessages& messages);
