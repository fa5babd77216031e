#include "canopen/PdoTables.h"

#include <algorithm>
#include <cstdio>

#include "gateway/ProgramState.h"
#include "modules/ByteLabels.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"

namespace k400 {

namespace {

std::string Hex(unsigned value)
{
    return FormatInt("%X", static_cast<int>(value));
}
std::string Two(int value)
{
    return FormatInt("%02d", value);
}

// Fills one column downwards from row 3, never past the grid.
class ColumnFiller {
public:
    ColumnFiller(TableRows& rows, std::size_t column) : rows_(rows), column_(column) {}
    void add(const std::string& text)
    {
        if (row_ < rows_.size())
            rows_[row_][column_] = text;
        ++row_;
    }

private:
    TableRows& rows_;
    std::size_t column_;
    std::size_t row_ = 3;
};

// Byte b of a digital module as the viewer shows it: first bit to the first bit after it.
std::string ByteRange(const std::string& prefix, int channels, int byteNumber)
{
    const int bytes = (channels + 7) / 8;
    const int end = byteNumber < bytes ? 8 * byteNumber : channels;
    return prefix + ":" + Two(8 * (byteNumber - 1)) + "-" + Two(end) + ")";
}

}  // namespace

TableRows PdoTableRows(const ProgramState& state, PdoDirection direction)
{
    const bool receive = direction == PdoDirection::Receive;
    const AssemblyTable& table = receive ? state.OutputAssemblies : state.InputAssemblies;
    const int last = std::min<int>(receive ? state.LastOutputAssembly : state.LastInputAssembly,
                                   static_cast<int>(AssemblyTableSize) - 1);

    TableRows rows;
    rows.emplace_back(msg::PdoHeadings.begin(), msg::PdoHeadings.end());
    for (int k = 0; k <= last; ++k) {
        std::vector<std::string> row;
        row.reserve(13);
        row.push_back(std::to_string(k + 1));
        if (k < 4)
            row.push_back(Hex((receive ? 0x200u : 0x180u) + 0x100u * static_cast<unsigned>(k) + state.NodeId));
        else
            row.push_back("80000000");
        row.push_back("255");
        row.push_back(receive ? msg::PdoUnusedCell : "0");
        row.push_back(receive ? msg::PdoUnusedCell : "0");
        for (int e = 0; e < PdoDataBytes; ++e)
            row.push_back(table[static_cast<std::size_t>(k)].Mapping[static_cast<std::size_t>(e)]);
        rows.push_back(std::move(row));
    }
    return rows;
}

TableRows ManufacturerObjectRows(const ProgramState& state)
{
    const int modules = std::min<int>(state.ModuleCount, static_cast<int>(ModuleTableSize));
    TableRows rows;
    rows.push_back({msg::IndexHeading, "0x2000", "0x2001", "0x2002", "0x2003"});
    rows.push_back({msg::DescriptionHeading});
    rows.back().insert(rows.back().end(), msg::ManufacturerObjectNames.begin(), msg::ManufacturerObjectNames.end());
    const std::string count = std::to_string(state.ModuleCount);
    rows.push_back({std::string(msg::SubindexHeading) + "0", count, count, count, count});
    for (int m = 0; m < modules; ++m) {
        const auto& module = state.ModuleTable[state.ModuleOrder[static_cast<std::size_t>(m)] % ModuleTableSize];
        const std::string cell = "0 (" + ModuleLabelPrefix(module) + ")";
        rows.push_back({msg::SubindexHeading + std::to_string(m + 1), cell, cell, cell, cell});
    }
    return rows;
}

int MaxSubIndexCount(const ProgramState& state)
{
    return std::max({static_cast<int>(state.TotalDIBytes), static_cast<int>(state.TotalDOBytes), state.TotalAIBytes / 2,
                     state.TotalAOBytes / 2});
}

TableRows StandardizedObjectRows(const ProgramState& state)
{
    const int maxSub = MaxSubIndexCount(state);
    TableRows rows(static_cast<std::size_t>(maxSub + 3), std::vector<std::string>(9));
    rows[0] = {msg::IndexHeading, "0x6000", "0x6200", "0x6206", "0x6207", "0x6401", "0x6411", "0x6443", "0x6444"};
    rows[1] = {msg::DescriptionHeading};
    rows[1].insert(rows[1].end(), msg::StandardizedObjectNames.begin(), msg::StandardizedObjectNames.end());
    const std::string di = std::to_string(state.TotalDIBytes);
    const std::string dout = std::to_string(state.TotalDOBytes);
    const std::string ai = std::to_string(state.TotalAIBytes / 2);
    const std::string ao = std::to_string(state.TotalAOBytes / 2);
    rows[2] = {std::string(msg::SubindexHeading) + "0", di, dout, dout, dout, ai, ao, ao, ao};
    for (int r = 3; r < maxSub + 3; ++r)
        rows[static_cast<std::size_t>(r)][0] = msg::SubindexHeading + std::to_string(r - 2);

    ColumnFiller readDi(rows, 1), writeDo(rows, 2), doMode(rows, 3), doValue(rows, 4);
    ColumnFiller readAi(rows, 5), writeAo(rows, 6), aoMode(rows, 7), aoValue(rows, 8);
    const int modules = std::min<int>(state.ModuleCount, static_cast<int>(ModuleTableSize));
    for (int m = 0; m < modules; ++m) {
        const auto& module = state.ModuleTable[state.ModuleOrder[static_cast<std::size_t>(m)] % ModuleTableSize];
        const std::string prefix = ModuleLabelPrefix(module);
        for (int b = 1; b <= (module.DIChannels + 7) / 8; ++b)
            readDi.add("0x00 (" + ByteRange(prefix, module.DIChannels, b));
        for (int b = 1; b <= (module.DOChannels + 7) / 8; ++b) {
            const std::string range = ByteRange(prefix, module.DOChannels, b);
            writeDo.add("0x00 (" + range);
            doMode.add("0xFF (" + range);
            doValue.add("0x00 (" + range);
        }
        for (int c = 1; c <= module.AIChannels; ++c)
            readAi.add("0x0000 (" + prefix + ":" + std::to_string(c) + ")");
        for (int c = 1; c <= module.AOChannels; ++c) {
            const std::string channel = prefix + ":" + std::to_string(c) + ")";
            writeAo.add("0x0000 (" + channel);
            aoMode.add("1 (" + channel);
            aoValue.add("0 (" + channel);
        }
    }
    return rows;
}

}  // namespace k400
