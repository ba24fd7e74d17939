#pragma once
// Outputs that would overwrite each other or the input are refused before the run.

#include <string>

struct CliOptions;

// Empty when every output names a file of its own that is not the input; else a
// refusal naming both options, e.g. "--save and --json name the same file 'x'".
// Files that exist are compared by device and inode, others by their resolved path.
// Devices and pipes (standard output above all) may take several outputs.
std::string outputClash(const CliOptions& options);
