#pragma once

#include <string>
#include <vector>

// The moments at which sounds start in a 16-bit wave file (any channel count): 5 ms windows whose
// level rises above a floor and to at least three times the loudest window of the 30 ms before.
// Empty when the file cannot be read.
std::vector<double> findOnsets(const std::string& wavePath, double* durationSeconds = nullptr);
