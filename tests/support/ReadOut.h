#pragma once
// The lines of a read-out after login, in order: Ver and the sixteen parameters.
#include <string>
#include <vector>

extern const std::vector<std::string> kReadOut;
