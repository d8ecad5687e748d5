#include "frontend/Comparison.h"

#include "resources/ParameterDisplay.h"
#include "resources/StringTable.h"
#include "state/ParameterTable.h"
#include "state/TextOps.h"

namespace {
// Takes the file's values instead of sending them.
class Collected : public FileValueTarget {
public:
    CommandOutcome Take(int index, const char* value) override {
        values[index] = value;
        present[index] = true;
        return CommandOutcome::Succeeded;
    }
    std::string values[kParameterCount];
    bool present[kParameterCount] = {};
};

// The reader's messages as lines of text.
std::string MessageText(const LoadMessages& messages) {
    std::string text;
    for (int i = 0; i < messages.count; ++i) {
        char16_t line[1000];
        LoadString(messages.lines[i].id, line, 1000);
        std::string utf8 = Utf8Of(line);
        if (messages.lines[i].name) {
            std::size_t at = utf8.find("%s");
            if (at != std::string::npos) utf8.replace(at, 2, Latin1ToUtf8(messages.lines[i].name));
        }
        if (!text.empty()) text += '\n';
        text += utf8;
    }
    return text;
}
}  // namespace

Comparison CompareWithFile(const char* path) {
    Comparison result;
    Collected file;
    LoadMessages messages;
    ReadConfigPath(path, file, &messages);
    for (int row = 0; row < kFileValueCount; ++row) {
        const int index = FileValueIndex(row);
        char current[kValueSize];
        GetParameterText(index, current);
        ComparisonRow& r = result.rows[row];
        r.caption = ParameterCaption(index);
        r.fileValue = file.present[index] ? ParameterShownValue(index, file.values[index].c_str()) : "(none)";
        r.controllerValue = ParameterShownValue(index, current);
        r.differs = file.present[index] && file.values[index] != current;
        result.differences += r.differs;
    }
    result.summary = MessageText(messages);
    if (messages.accepted) {
        if (!result.summary.empty()) result.summary += '\n';
        result.summary += result.differences == 0
                              ? std::string("The file holds the controller's values.")
                              : std::to_string(result.differences) +
                                    " of the file's values differ from the controller's (marked).";
    }
    return result;
}
