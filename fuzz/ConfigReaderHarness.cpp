#include <tinyxml2.h>

#include <cstring>
#include <string>
#include <vector>

#include "configfile/ConfigFile.h"
#include "console/Commands.h"
#include "fuzz/Check.h"
#include "fuzz/Harnesses.h"

namespace {
// The stand-in controller: takes every value and records it.
class Recorder : public FileValueTarget {
public:
    CommandOutcome Take(int index, const char* value) override {
        taken.push_back({index, value});
        return CommandOutcome::Succeeded;
    }
    struct Value {
        int index;
        std::string text;
    };
    std::vector<Value> taken;
};

// The settable values in the order they go out, with where the file keeps them.
struct Expected {
    const char* group;
    const char* name;
    int index;
};
constexpr Expected kOrder[] = {
    {"System", "Echo", 15},   {"System", "Baud", 16},           {"Config", "Mode", 0},
    {"Config", "Current", 4}, {"Config", "Delay", 5},            {"Config", "TimeOn", 6},
    {"Config", "CycleTime", 7}, {"Config", "TriggerSource", 1}, {"Config", "Edge", 2},
    {"Config", "TriggerOut", 10}, {"Config", "ReadyOut", 9},    {"Config", "AutoStart", 3},
};

bool Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The element's text as the file has it, without the white space around it; null when
// the element is missing or holds no text first.
const char* FileText(const tinyxml2::XMLDocument& doc, const Expected& e, std::string* trimmed) {
    const tinyxml2::XMLElement* root = doc.FirstChildElement("ZL-Config");
    const tinyxml2::XMLElement* controller = root ? root->FirstChildElement("Controller") : nullptr;
    const tinyxml2::XMLElement* group = controller ? controller->FirstChildElement(e.group) : nullptr;
    const tinyxml2::XMLElement* element = group ? group->FirstChildElement(e.name) : nullptr;
    const tinyxml2::XMLNode* first = element ? element->FirstChild() : nullptr;
    const tinyxml2::XMLText* text = first ? first->ToText() : nullptr;
    if (!text) return nullptr;
    std::string value = text->Value();
    std::size_t begin = 0, end = value.size();
    while (begin < end && Blank(value[begin])) ++begin;
    while (end > begin && Blank(value[end - 1])) --end;
    *trimmed = value.substr(begin, end - begin);
    return text->Value();
}
}  // namespace

int FuzzConfigReader(const std::uint8_t* data, std::size_t size) {
    Recorder recorder;
    LoadMessages messages;
    ReadConfigText(reinterpret_cast<const char*>(data), size, recorder, &messages);
    FUZZ_CHECK(messages.count <= LoadMessages::kCapacity);
    if (recorder.taken.empty()) return 0;

    tinyxml2::XMLDocument doc;
    FUZZ_CHECK(doc.Parse(reinterpret_cast<const char*>(data), size) == tinyxml2::XML_SUCCESS);
    std::size_t next = 0;  // values go out in the fixed order, each at most once
    for (const Recorder::Value& v : recorder.taken) {
        while (next < std::size(kOrder) && kOrder[next].index != v.index) ++next;
        FUZZ_CHECK(next < std::size(kOrder));
        const Expected& e = kOrder[next++];
        // A whole value of the file: its element's text without the white space around.
        std::string fileValue;
        FUZZ_CHECK(FileText(doc, e, &fileValue) != nullptr);
        FUZZ_CHECK(v.text == fileValue.substr(0, 99));
        // Nothing that could end the console line early or start another one.
        for (char c : v.text) {
            auto byte = static_cast<unsigned char>(c);
            FUZZ_CHECK(byte >= 0x20 && byte != 0x7F);
        }
        for (char c : fileValue) {
            auto byte = static_cast<unsigned char>(c);
            FUZZ_CHECK(byte >= 0x20 && byte != 0x7F);
        }
    }
    return 0;
}
