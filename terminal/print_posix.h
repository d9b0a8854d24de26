// Host recorder behind printSpoolFile: the bytes each finished job would print.
#pragma once
#include <string>
#include <vector>

std::vector<std::string>& printedSpools();
