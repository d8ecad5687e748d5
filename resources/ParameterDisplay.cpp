#include "resources/ParameterDisplay.h"

#include <iterator>

#include "resources/DialogTemplates.h"
#include "resources/StringTable.h"
#include "state/ParameterTable.h"
#include "state/TextOps.h"

const ParameterList kParameterLists[5] = {
    {IdMode, ParamMode, IdModeLabel, 117, 2},
    {IdTriggerSource, ParamTriggerSource, IdTriggerSourceLabel, 119, 2},
    {IdEdge, ParamEdge, IdEdgeLabel, 121, 2},
    {IdTriggerOut, ParamTriggerOut, IdTriggerOutLabel, 123, 6},
    {IdReadyOut, ParamReadyOut, IdReadyOutLabel, 129, 6},
};

namespace {
struct Caption {
    int parameter;
    int control;  // the label, or the check box that carries its own text
};
constexpr Caption kCaptions[] = {
    {ParamCurrent, IdCurrentLabel}, {ParamDelay, IdDelayLabel},     {ParamTimeOn, IdTimeOnLabel},
    {ParamCycleTime, IdCycleTimeLabel}, {ParamAutoStart, IdAutoStart}, {ParamTemperature, IdTemperatureLabel},
    {ParamSupplyVoltage, IdSupplyVoltageLabel}, {ParamError, IdErrorLabel}, {ParamDutyCycle, IdDutyCycleLabel},
};

// The text of a control of the main template, without a closing colon.
std::string ControlText(int id) {
    const DialogTemplate* main = FindDialogTemplate(DialogMain);
    for (std::size_t i = 0; main && i < main->controlCount; ++i) {
        const ControlTemplate& control = main->controls[i];
        if (control.id != id || !control.text) continue;
        std::string text = Utf8Of(control.text);
        if (!text.empty() && text.back() == ':') text.pop_back();
        return text;
    }
    return std::string();
}

// The plain number a value is, or -1.
int SmallNumber(const char* value) {
    if (value[0] < '0' || value[0] > '9' || value[1] != 0) return -1;
    return value[0] - '0';
}
}  // namespace

std::string ParameterCaption(int index) {
    for (const ParameterList& list : kParameterLists) {
        if (list.parameter == index) return ControlText(list.label);
    }
    for (const Caption& caption : kCaptions) {
        if (caption.parameter == index) return ControlText(caption.control);
    }
    return index >= 0 && index < kParameterCount ? Latin1ToUtf8(kParameterNames[index]) : std::string();
}

std::string ParameterShownValue(int index, const char* value) {
    const int n = SmallNumber(value);
    for (const ParameterList& list : kParameterLists) {
        if (list.parameter != index || n < 0 || n >= list.items) continue;
        char16_t entry[100];
        LoadString(list.firstString + static_cast<unsigned>(n), entry, std::size(entry));
        return Utf8Of(entry);
    }
    if (index == ParamAutoStart && (n == 0 || n == 1)) return n == 1 ? "on" : "off";
    return Latin1ToUtf8(value);
}
