#include "support/ReadOut.h"

const std::vector<std::string> kReadOut = {
    "Ver",
    "/Status/Temperature ", "/Status/SupplyVoltage ", "/Status/Error ", "/Config/Mode ",
    "/Config/Current ", "/Config/Delay ", "/Config/TimeOn ", "/Config/CycleTime ",
    "/Config/TriggerSource ", "/Config/Edge ", "/Config/TriggerOut ", "/Config/ReadyOut ",
    "/Config/AutoStart ", "/System/Echo ", "/System/Baud ", "/Status/Current ",
};
