#pragma once
// How the main window names a parameter and shows its value, for the texts that speak
// of it elsewhere (the status bar, the compare view): the label of its field, and for
// a list the list's entry. Plain data of the main template and the string table; any
// thread.
#include <string>

// Which list shows a parameter: the list control, its label, and its entries, strings
// firstString ... firstString + items - 1 (entry n stands for the value n).
struct ParameterList {
    int control;
    int parameter;
    int label;
    unsigned firstString;
    int items;
};
extern const ParameterList kParameterLists[5];

// The window's name of parameter `index` as UTF-8: its field's label without the colon
// ("Trigger source", "Delay [µs]"); the console's name for one the window does not show.
std::string ParameterCaption(int index);

// A value as the window shows it, UTF-8: a list's entry ("external"), "on" or "off" for
// Auto start, else the text itself (Latin-1, as the controller sends it).
std::string ParameterShownValue(int index, const char* value);
