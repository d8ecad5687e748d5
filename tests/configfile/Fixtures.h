#pragma once
// The configuration file's fixtures: a Reader loads files into a logged-in simulator
// and sees what was sent; a Writer saves into a folder of its own with a fixed clock.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "configfile/ConfigFile.h"
#include "console/ConsoleFixture.h"
#include "platform/LocalTime.h"
#include "session/Connection.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/PendingNotice.h"
#include "state/SessionTexts.h"
#include "support/System.h"

namespace fs = std::filesystem;

// The name a file chooser hands over for `path`.
inline void ChooseFile(const fs::path& path) {
    std::strncpy(fileChooser.path, NarrowPath(path).c_str(), kFilePathSize - 1);
    fileChooser.path[kFilePathSize - 1] = 0;
}

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class LoadingTest : public ConsoleTest {
protected:
    void SetUp() override {
        ConsoleTest::SetUp();
        sim.StartLoggedIn();
        ControlBlock.firmwareCode = 3;
    }
    void Load(const fs::path& path) {
        ChooseFile(path);
        LoadMessages messages;
        LoadParameterFile(&sink, &messages);
        ClearNotice();
        AppendLoadMessages(messages);
    }
    // The command lines the controller received, without the empty ones.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const std::string& line : sim.ReceivedLines()) {
            if (!line.empty()) commands.push_back(line);
        }
        return commands;
    }
};

// 08.12.2026 14:05:31 local time, the moment of the documented example.
inline std::time_t ExampleMoment() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 14;
    t.tm_min = 5;
    t.tm_sec = 31;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

inline void StoreExampleValues() {
    const std::pair<int, const char*> values[] = {
        {ParamMode, "0"},     {ParamTriggerSource, "1"}, {ParamEdge, "1"},      {ParamCurrent, "5000"},
        {ParamDelay, "100"},  {ParamTimeOn, "1000"},     {ParamCycleTime, "20000"},
        {ParamTriggerOut, "0"}, {ParamReadyOut, "2"},    {ParamAutoStart, "1"}, {ParamBaud, "19200"},
        {ParamEcho, "0"},     {ParamStatusCurrent, "4980"}, {ParamError, "0"},  {ParamTemperature, "35"},
        {ParamSupplyVoltage, "20000"},
    };
    for (const auto& [index, text] : values) SetParameterText(index, text);
    SetSessionText(SlotInfoLine, u"Firmware-Version ZL-500-40K 1.10");
}

class Writer : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        SetClockSource(ExampleMoment);
        dir = MakeTestFolder("zl-writer");
    }
    void TearDown() override {
        SetClockSource(nullptr);
        fs::permissions(dir, fs::perms::owner_all);
        fs::remove_all(dir);
    }
    void SaveTo(const fs::path& path) {
        ChooseFile(path);
        WriteConfigFile();
    }
    bool OnlyFileIn(const fs::path& folder, const fs::path& name) {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(folder)) count += entry.path().filename() != name;
        return count == 0;
    }
    fs::path dir;
};
