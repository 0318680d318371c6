// The image operations of `imgtool op`: one table row and one function each, computing what
// the Edit window's Confirm would install. Portable.
#pragma once
#include <array>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/image/image.h"

namespace pelio::imgtool {

// An operation's own option and how many values follow it.
struct OpOption {
    const char* name = nullptr;
    int values = 0;
};

struct OpArgs {
    std::vector<int> numbers;
    std::vector<std::pair<std::string, std::vector<std::string>>> options;  // as given
    // The values of an option, null when it was not given (the last one counts).
    const std::vector<std::string>* Option(const char* name) const;
};

enum class OpStatus {
    Done,         // `out` holds the result
    Unchanged,    // neutral parameters: the picture stays as it is
    Refused,      // Confirm would refuse: too small a picture, an unknown kind
    NoMemory,
    BadArgument,  // an option's value cannot be read
};

using OpFn = OpStatus (*)(const Image& image, const OpArgs& args, PixelAllocator& allocator, Image& out);

struct OpRow {
    const char* name;
    int numbers;  // integers after the name
    std::array<OpOption, 2> options;
    OpFn run;
    const char* usage;  // what follows the name
};

std::span<const OpRow> Operations();
const OpRow* FindOperation(const std::string& name);

// Splits what follows the operation's name into its numbers and its own options, leaving the
// rest (load options) in `rest`. False with a message in `error` when they cannot be read.
bool SplitOpArgs(const OpRow& row, const std::vector<std::string>& args, OpArgs& out,
                 std::vector<std::string>& rest, std::string& error);

}  // namespace pelio::imgtool
