#include <tinyxml2.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "configfile/ConfigFile.h"
#include "console/Commands.h"
#include "platform/SafeFile.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/TextOps.h"

namespace {

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

// Which group of Controller a value lives in.
enum FileGroup { GroupSystem, GroupConfig };

struct FileValue {
    FileGroup group;
    const char* name;
    int index;
};
// The order in which values are sent, whatever order the file has.
constexpr FileValue kFileValues[] = {
    {GroupSystem, "Echo", 15},         {GroupSystem, "Baud", 16},     {GroupConfig, "Mode", 0},
    {GroupConfig, "Current", 4},       {GroupConfig, "Delay", 5},     {GroupConfig, "TimeOn", 6},
    {GroupConfig, "CycleTime", 7},     {GroupConfig, "TriggerSource", 1}, {GroupConfig, "Edge", 2},
    {GroupConfig, "TriggerOut", 10},   {GroupConfig, "ReadyOut", 9},  {GroupConfig, "AutoStart", 3},
};
static_assert(std::size(kFileValues) == kFileValueCount, "twelve settable values");

const XMLElement* Child(const XMLElement* group, const char* name) {
    return group ? group->FirstChildElement(name) : nullptr;
}

// The text of an element whose first child is a text node, else null.
const char* TextOf(const XMLElement* element) {
    if (!element || !element->FirstChild()) return nullptr;
    const tinyxml2::XMLText* text = element->FirstChild()->ToText();
    return text ? text->Value() : nullptr;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsControl(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// The string that names a value the controller did not take.
unsigned RefusalText(CommandOutcome outcome) {
    switch (outcome) {
        case CommandOutcome::Refused: return 158;
        case CommandOutcome::TooLong: return 160;
        default: return 159;
    }
}
}  // namespace

int FileValueIndex(int n) { return n >= 0 && n < kFileValueCount ? kFileValues[n].index : -1; }

bool ReadVersionText(const XMLElement* group, char* buffer) {
    buffer[0] = 0;
    const char* text = TextOf(Child(group, "Version"));
    if (!text) return false;
    CopyText(buffer, 100, text, 99);
    return true;
}

bool CleanFileValue(const char* text, char* value) {
    const char* begin = text;
    const char* end = text + std::strlen(text);
    while (begin < end && IsBlank(*begin)) ++begin;
    while (end > begin && IsBlank(end[-1])) --end;
    CopyText(value, kValueSize, begin, static_cast<std::size_t>(end - begin));
    return std::none_of(begin, end, IsControl);
}

bool CheckConfigText(const char* text, std::size_t size, CheckedFile* file, LoadMessages* messages) {
    *file = CheckedFile{};
    XMLDocument doc;
    if (doc.Parse(text, size) != tinyxml2::XML_SUCCESS) {
        messages->Add(147);
        return false;
    }
    const XMLElement* root = doc.FirstChildElement("ZL-Config");
    if (!root) {
        messages->Add(146);
        return false;
    }
    char version[100];
    if (const XMLElement* program = root->FirstChildElement("Program")) {
        ReadVersionText(program, version);
        if (std::strcmp(version, "1.0") != 0) {
            messages->Add(144);
            return false;
        }
    } else {
        messages->Add(146);
    }
    const XMLElement* controller = root->FirstChildElement("Controller");
    if (!controller) {
        messages->Add(146);
        return false;
    }
    ReadVersionText(controller, version);
    bool known = false;
    for (const char* line : kKnownFirmwareLines) known = known || std::strcmp(version, line) == 0;
    if (!known) {
        messages->Add(145);
        return false;
    }
    const XMLElement* groups[] = {controller->FirstChildElement("System"),
                                  controller->FirstChildElement("Config")};
    // Every value is checked before any is sent: one holding a control character makes
    // the whole file suspect, and one that does not fit a console line would leave the
    // unit half loaded.
    for (int n = 0; n < kFileValueCount; ++n) {
        const FileValue& v = kFileValues[n];
        const char* text = TextOf(Child(groups[v.group], v.name));
        if (!text) continue;
        if (!CleanFileValue(text, file->values[n])) {
            messages->Add(146);
            return false;
        }
        if (!FitsCommandLine(v.index, file->values[n])) {
            messages->Add(160, v.name);
            return false;
        }
        file->present[n] = true;
        ++messages->present;
    }
    messages->accepted = true;
    return true;
}

bool CheckConfigPath(const char* path, CheckedFile* file, LoadMessages* messages) {
    // Only a regular file is read: a named pipe would hold the worker until a writer came.
    std::string contents;
    if (ReadRegularFile(path, kMaxConfigFileSize, &contents) != kErrorSuccess) {
        *file = CheckedFile{};
        messages->Add(147);
        return false;
    }
    return CheckConfigText(contents.data(), contents.size(), file, messages);
}

void SendFileValues(const CheckedFile& file, FileValueTarget& target, LoadMessages* messages) {
    for (int n = 0; n < kFileValueCount; ++n) {
        if (!file.present[n]) continue;
        if (target.Lost()) return;
        CommandOutcome outcome = target.Take(kFileValues[n].index, file.values[n]);
        ++messages->sent;
        if (outcome != CommandOutcome::Succeeded) {
            ++messages->refused;
            messages->Add(RefusalText(outcome), kFileValues[n].name);
        }
    }
}

void ReadConfigText(const char* text, std::size_t size, FileValueTarget& target, LoadMessages* messages) {
    CheckedFile file;
    if (CheckConfigText(text, size, &file, messages)) SendFileValues(file, target, messages);
}

void ReadConfigPath(const char* path, FileValueTarget& target, LoadMessages* messages) {
    CheckedFile file;
    if (CheckConfigPath(path, &file, messages)) SendFileValues(file, target, messages);
}

CommandOutcome ControllerTarget::Take(int index, const char* value) {
    return RunCommand(CommandParameter, index, window, value, kValueSize);
}

bool ControllerTarget::Lost() const { return ControlBlock.connectionLost || ControlBlock.quit; }

void AppendLoadMessages(const LoadMessages& messages) {
    for (int i = 0; i < messages.count; ++i) {
        const LoadMessages::Line& line = messages.lines[i];
        if (!line.name) {
            AppendNotice(line.id);
            continue;
        }
        AppendNoticeFormat(line.id, line.name);
    }
}
