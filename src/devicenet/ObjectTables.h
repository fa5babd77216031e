#pragma once
// Cell texts of the two DeviceNet viewers: the application object table and
// the output/input assembly table. The window only copies them into a grid.

#include <string>
#include <vector>

namespace k400 {

struct ProgramState;

struct TextGrid {
    std::vector<std::vector<std::string>> rows;  // row 0 holds the captions
    std::vector<int> columnWidths;               // twips; empty: the grid's own widths
};

// One row per scanned module: instance number and attributes 1 to 14.
TextGrid ApplicationObjectTable(const ProgramState& state);

enum class AssemblyTab { Output, Input };

// The tabs present: outputs when the modules have output bytes, then inputs.
std::vector<AssemblyTab> AssemblyTabs(const ProgramState& state);
const char* AssemblyTabCaption(AssemblyTab tab);

// The rows of one tab: number, instance ID, length and the byte labels.
TextGrid AssemblyObjectTable(const ProgramState& state, AssemblyTab tab);

}  // namespace k400
