#include <tinyxml2.h>

#include <cstring>
#include <iterator>

#include "configfile/ConfigFile.h"
#include "platform/LocalTime.h"
#include "platform/SafeFile.h"
#include "resources/StringTable.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"

namespace {
using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;

// Room for every value at 99 characters even when each one is escaped.
constexpr std::size_t kDocumentCapacity = 32768;

XMLElement* Make(XMLDocument& doc, const char* name, const char* text) {
    XMLElement* element = doc.NewElement(name);
    element->InsertEndChild(doc.NewText(text));
    return element;
}

// A parameter's value as stored, or as displayed; empty when it cannot be read.
XMLElement* Value(XMLDocument& doc, const char* name, int index, bool displayed) {
    char buffer[kValueSize] = "";
    if (displayed) {
        GetParameterText(index, buffer);
    } else {
        GetStoredParameterText(index, buffer);
    }
    return Make(doc, name, buffer);
}

// The value elements of each group, in file order; DutyCycle, ReadyOut, AutoStart and
// the Status group are written in their display form, the others as stored.
struct FileElement {
    const char* name;
    int index;
    bool displayed;
};
constexpr FileElement kSystemElements[] = {{"Baud", ParamBaud, false}, {"Echo", ParamEcho, false}};
constexpr FileElement kConfigElements[] = {
    {"Mode", ParamMode, false},         {"TriggerSource", ParamTriggerSource, false},
    {"Edge", ParamEdge, false},         {"Current", ParamCurrent, false},
    {"Delay", ParamDelay, false},       {"TimeOn", ParamTimeOn, false},
    {"CycleTime", ParamCycleTime, false}, {"DutyCycle", ParamDutyCycle, true},
    {"TriggerOut", ParamTriggerOut, false}, {"ReadyOut", ParamReadyOut, true},
    {"AutoStart", ParamAutoStart, true},
};
constexpr FileElement kStatusElements[] = {
    {"Current", ParamStatusCurrent, true}, {"Error", ParamError, true},
    {"Temperature", ParamTemperature, true}, {"SupplyVoltage", ParamSupplyVoltage, true},
};
static_assert(std::size(kConfigElements) == 11, "Config holds eleven values");

template <std::size_t N>
XMLElement* Group(XMLDocument& doc, const char* name, const FileElement (&elements)[N]) {
    XMLElement* group = doc.NewElement(name);
    for (const FileElement& e : elements) group->InsertEndChild(Value(doc, e.name, e.index, e.displayed));
    return group;
}

void BuildDocument(XMLDocument& doc) {
    char buffer[kValueSize];
    XMLElement* program = doc.NewElement("Program");
    LoadString(112, buffer, sizeof buffer);
    program->InsertEndChild(Make(doc, "Version", buffer));
    FormatLocalDate(buffer, sizeof buffer);
    program->InsertEndChild(Make(doc, "Date", buffer));
    FormatLocalTime(buffer, sizeof buffer);
    program->InsertEndChild(Make(doc, "Time", buffer));

    GetSessionTextNarrow(SlotInfoLine, buffer);
    XMLElement* firmware = Make(doc, "Version", buffer);

    XMLElement* system = Group(doc, "System", kSystemElements);
    XMLElement* config = Group(doc, "Config", kConfigElements);
    XMLElement* status = Group(doc, "Status", kStatusElements);

    XMLElement* controller = doc.NewElement("Controller");
    controller->InsertEndChild(firmware);
    controller->InsertEndChild(system);
    controller->InsertEndChild(config);
    controller->InsertEndChild(status);

    XMLElement* root = doc.NewElement("ZL-Config");
    root->InsertEndChild(program);
    root->InsertEndChild(controller);
    doc.InsertEndChild(doc.NewDeclaration());
    doc.InsertEndChild(root);
}
}  // namespace

bool PrintConfigDocument(char* out, std::size_t capacity, std::size_t* length) {
    XMLDocument doc;
    BuildDocument(doc);
    tinyxml2::XMLPrinter printer;
    doc.Print(&printer);
    const char* text = printer.CStr();
    // Files end their lines in CR LF, as text files on the controller's home platform do.
    std::size_t n = 0;
    for (; *text; ++text) {
        if (*text == '\n') {
            if (n + 1 >= capacity) return false;
            out[n++] = '\r';
        }
        if (n + 1 >= capacity) return false;
        out[n++] = *text;
    }
    out[n] = 0;
    *length = n;
    return true;
}

bool WriteConfigFile() {
    static char document[kDocumentCapacity];  // worker thread only
    std::size_t length = 0;
    if (!PrintConfigDocument(document, sizeof document, &length) ||
        ReplaceFileContents(fileChooser.path, document, length) != kErrorSuccess) {
        AppendNotice(143);
        return false;
    }
    return true;
}
