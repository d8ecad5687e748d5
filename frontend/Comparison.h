#pragma once
// File > Compare with file: a parameter file's values beside the controller's, in the
// window's words, without sending anything. Both front ends show this table.
#include <string>

#include "configfile/ConfigFile.h"

struct ComparisonRow {
    std::string caption;     // the field's label (UTF-8)
    std::string fileValue;   // as the window shows it; "(none)" where the file has none
    std::string controllerValue;
    bool differs = false;    // only a value the file would send can differ
};

struct Comparison {
    ComparisonRow rows[kFileValueCount];
    int differences = 0;
    std::string summary;  // the reader's messages and the verdict, lines joined by '\n'
};

// `path` in the core's file name encoding.
Comparison CompareWithFile(const char* path);
