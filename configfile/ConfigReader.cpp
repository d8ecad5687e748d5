#include <tinyxml2.h>

#include <cstring>
#include <string>

#include "configfile/ConfigFile.h"
#include "console/Commands.h"
#include "platform/SafeFile.h"
#include "state/ControlBlock.h"
#include "state/PendingNotice.h"
#include "state/TextOps.h"

namespace {
// A parameter file is about 1 KB; anything near this is not one.
constexpr std::size_t kMaxConfigFileSize = 1 << 20;

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

struct FileValue {
    const char* name;
    int index;
};
// The order in which values are sent, whatever order the file has.
constexpr FileValue kSystemValues[] = {{"Echo", 15}, {"Baud", 16}};
constexpr FileValue kConfigValues[] = {
    {"Mode", 0},  {"Current", 4},  {"Delay", 5},       {"TimeOn", 6}, {"CycleTime", 7},
    {"TriggerSource", 1}, {"Edge", 2}, {"TriggerOut", 10}, {"ReadyOut", 9}, {"AutoStart", 3},
};

const XMLElement* Child(const XMLElement* group, const char* name) {
    return group ? group->FirstChildElement(name) : nullptr;
}

// The text of an element whose first child is a text node, else null.
const char* TextOf(const XMLElement* element) {
    if (!element || !element->FirstChild()) return nullptr;
    const tinyxml2::XMLText* text = element->FirstChild()->ToText();
    return text ? text->Value() : nullptr;
}
}  // namespace

bool ReadVersionText(const XMLElement* group, char* buffer) {
    buffer[0] = 0;
    const char* text = TextOf(Child(group, "Version"));
    if (!text) return false;
    CopyText(buffer, 100, text, 99);
    return true;
}

bool ApplyFileValue(const char* name, MessageSink* window, const XMLElement* group, int index) {
    const char* text = TextOf(Child(group, name));
    if (!text) return false;
    return ExecuteCommand(CommandParameter, index, window, text, 100);
}

void ReadConfigFile(MessageSink* window, LoadMessages* messages) {
    // Only a regular file is read: a named pipe would hold the worker until a writer came.
    std::string contents;
    XMLDocument doc;
    if (ReadRegularFile(fileChooser.path, kMaxConfigFileSize, &contents) != kErrorSuccess ||
        doc.Parse(contents.data(), contents.size()) != tinyxml2::XML_SUCCESS) {
        messages->Add(147);
        return;
    }
    const XMLElement* root = doc.FirstChildElement("ZL-Config");
    if (!root) {
        messages->Add(146);
        return;
    }
    char version[100];
    if (const XMLElement* program = root->FirstChildElement("Program")) {
        ReadVersionText(program, version);
        if (std::strcmp(version, "1.0") != 0) {
            messages->Add(144);
            return;
        }
    } else {
        messages->Add(146);
    }
    const XMLElement* controller = root->FirstChildElement("Controller");
    if (!controller) {
        messages->Add(146);
        return;
    }
    ReadVersionText(controller, version);
    bool known = false;
    for (const char* line : kKnownFirmwareLines) known = known || std::strcmp(version, line) == 0;
    if (!known) {
        messages->Add(145);
        return;
    }
    const XMLElement* system = controller->FirstChildElement("System");
    for (const FileValue& v : kSystemValues) ApplyFileValue(v.name, window, system, v.index);
    const XMLElement* config = controller->FirstChildElement("Config");
    for (const FileValue& v : kConfigValues) ApplyFileValue(v.name, window, config, v.index);
}

void AppendLoadMessages(const LoadMessages& messages) {
    for (int i = 0; i < messages.count; ++i) AppendNotice(messages.ids[i]);
}
