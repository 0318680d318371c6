// Command-line options of imgtool: load and save settings by name. Portable.
#pragma once
#include <string>
#include <vector>

#include "core/image/codec.h"

namespace pelio::imgtool {

struct Options {
    LoadOptions load;
    SaveOptions save;
    bool formatGiven = false;
    int turn = 0;  // pending lossless transform for format 5
};

// A whole decimal number; "R,G,B" with each part 0..255.
bool ToInt(const std::string& s, int& out);
bool ToRgb(const std::string& s, uint8_t& r, uint8_t& g, uint8_t& b);

// Applies "--name value" and "--flag" options; false with a message in `error` for an unknown
// option or a bad value.
bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error);

// The save format for a format name or number ("png", "2"); -1 when unknown.
int SaveFormatByName(const std::string& name);

}  // namespace pelio::imgtool
