#include "devicenet/EdsWriter.h"

#include <cstdio>

#include "gateway/ProgramState.h"
#include "platform/NumberText.h"
#include "platform/Windows1252.h"

namespace k400 {

namespace {

std::string D(int n)
{
    return FormatInt("%d", n);
}
std::string S(int n)
{
    return n < 0 ? D(n) : " " + D(n);
}
std::string F2(int n)
{
    return FormatInt("%02d", n);
}
std::string H(int n)
{
    return FormatInt("%X", n);
}
std::string H2(int n)
{
    return FormatInt("%02X", n);
}
std::string Spaces(int n)
{
    return std::string(static_cast<std::size_t>(n), ' ');
}
const std::string Q = "\"";

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// Names of the connection kinds set in a mask, in the order poll, strobe,
// change of state, cyclic.
std::string NameList(int mask)
{
    static const char* names[] = {"Poll", "Strobe", "COS", "Cyclic"};
    std::string list;
    for (int bit = 0; bit < 4; ++bit) {
        if (mask & (1 << bit)) {
            if (!list.empty())
                list += "/";
            list += names[bit];
        }
    }
    return list;
}

int SelectionMask(const std::array<std::int16_t, 4>& selection)
{
    int mask = 0;
    for (int k = 0; k < ConnectionKinds; ++k)
        if (selection[k] >= 1)
            mask |= 1 << k;
    if (selection[CosConnection] >= 1)
        mask |= 8;
    return mask;
}

class Lines {
public:
    void add(const std::string& line) { text_ += line + "\r\n"; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

struct ConnectionEntry {
    std::string key;       // "Input3"
    int length = 0;        // data bytes
    std::string comment;   // after "$ n Bytes"
    std::string name;      // "INPUT DATA" / "OUTPUT DATA"
    std::string path;      // "20 04 24 66 30 03"
    std::string pathNote;  // "Assembly Object Instance 0x66"
    int countIndent = 18;  // blanks before the byte count
    int indent = 19;       // blanks before the other values
    int flagIndent = 19;   // blanks before the significance flag
};

void AddEntry(Lines& out, const ConnectionEntry& e, int mask, const std::string& names)
{
    out.add("            " + e.key + " = ");
    out.add(Spaces(e.countIndent) + S(e.length) + ",           $ n Bytes" + e.comment);
    out.add(Spaces(e.flagIndent) + "0,           $ all bits are significant");
    out.add(Spaces(19) + "0x000" + H(mask) + ",      $ " + names);
    out.add(Spaces(e.indent) + Q + e.name + Q + ", $ Name String ");
    out.add(Spaces(e.indent) + "6,            $ Path Size");
    out.add(Spaces(e.indent) + Q + e.path + Q + ",    $ " + e.pathNote);
    out.add(Spaces(e.indent) + Q + "This is a help string" + Q + ";");
    out.add("");
}

void AddApplicationEntries(Lines& out, const ProgramState& state, bool output, int firstNumber, int mask,
                           const std::string& names)
{
    int number = firstNumber;
    for (const auto [i, analog, length] : ApplicationDataObjects(state, output)) {
        ConnectionEntry e;
        e.key = (output ? "Output" : "Input") + D(number++);
        e.length = length;
        if (output)
            e.comment = analog ? "-Analog Output " : "-Digital Output";
        else
            e.comment = analog ? "-Analog Input " : "-Digital Input ";
        e.name = output ? "OUTPUT DATA" : "INPUT DATA";
        const char* attribute = output ? (analog ? "15" : "14") : (analog ? "17" : "16");
        e.path = "20 64 24 " + H2(i + 1) + " 30 " + attribute;
        e.pathNote = "Application Object Instance 0x" + H2(i + 1);
        AddEntry(out, e, mask, names);
    }
}

void AddAssemblyEntries(Lines& out, const ProgramState& state, bool output, int count, int mask,
                        const std::string& names)
{
    const AssemblyTable& table = output ? state.OutputAssemblies : state.InputAssemblies;
    const int firstId = FirstAssemblyId + (output ? 0 : OutputAssemblyCount(state));
    for (int k = 0; k < count; ++k) {
        const AssemblyObject& record = table[k];
        ConnectionEntry e;
        e.key = (output ? "Output" : "Input") + D(k + 1);
        e.length = record.DataLength;
        const bool analog = record.DataKind == 1;
        e.comment = std::string("  ") + (analog ? "Analog" : "Digital") + (output ? " Output" : " Input");
        e.name = output ? "OUTPUT DATA" : "INPUT DATA";
        e.path = "20 04 24 " + H(firstId + k) + " 30 03";
        e.pathNote = "Assembly Object Instance 0x" + H(firstId + k);
        if (output) {
            e.countIndent = 19;
            e.flagIndent = 20;
            e.indent = 20;
        }
        AddEntry(out, e, mask, names);
    }
}

void AddAssemblyRows(Lines& out, const AssemblyTable& table, int count, int firstId, bool output)
{
    for (int k = 0; k < count; ++k) {
        const AssemblyObject& record = table[k];
        std::string kind;
        if (output)
            kind = record.DataKind == 0 ? "Digital Output     " : "Analog Output      ";
        else
            kind = record.DataKind == 0 ? "Digital Input      " : "Analog Input       ";
        std::string line = "$ ID: 0x" + H(firstId + k) + Spaces(9) + F2(record.DataLength) + Spaces(7) + kind;
        for (int b = 0; b < record.DataLength; ++b)
            line += "  " + record.Mapping[b];
        out.add(line);
    }
}

void AddApplicationRows(Lines& out, const ProgramState& state)
{
    for (int i = 0; i < ScannedSlots(state); ++i) {
        if (state.ModuleTable[i].Address.empty())
            continue;
        const TarnInf& t = state.TarnInfTable[i];
        std::string name = t.Name;
        if (name.size() < 5)
            name.resize(5, ' ');
        const std::string typeCode = t.TypeCodeCount == 2 ? " " + H2(t.TypeCode) + "H," + H2(t.TypeCode2) + "H"
                                                          : Spaces(4) + H2(t.TypeCode) + "H";
        out.add("$" + Spaces(5) + S(i + 1) + Spaces(9) + D(t.IOType) + Spaces(4) + name + Spaces(4) + H2(t.Address) +
                Spaces(5) + F2(t.Baud) + typeCode + "  " + H2(t.DataFormat) + "  " + H2(t.DOLength) + "   " +
                H2(t.AOLength) + "   " + H2(t.DILength) + "   " + H2(t.AILength) + "   " + F2(t.DOChannels) + "   " +
                F2(t.AOChannels) + "   " + F2(t.DIChannels) + "   " + F2(t.AIChannels));
    }
}

void AddInfoBlock(Lines& out, const char* key, int mask, const std::string& names, int input,
                  const std::string& outputLine)
{
    out.add(std::string("            ") + key + " =");
    out.add(Spaces(22) + "0x000" + H(mask) + ",        $ " + names);
    out.add(Spaces(22) + S(input) + ", $ Default Input = Input" + S(input));
    out.add(outputLine);
}

}  // namespace

std::string DeviceNetEdsFileName(int nodeId)
{
    return "TARNDNS" + S(nodeId) + ".eds";
}

std::string DeviceNetEdsText(const ProgramState& state, const ConnectionChoices& choices, const LocalDateTime& now)
{
    const std::string equals(90, '=');
    Lines out;
    out.add("$ NORVAK-DNS Gateway Electronic Data Sheet");
    out.add("$ File Description Section :");
    // Master tools read the file in the Windows code page.
    out.add("$ " + OneLine(ToWindows1252Lossy(state.EdsInfoText[0])));
    out.add("$ Created by " + OneLine(ToWindows1252Lossy(state.EdsInfoText[1])));
    out.add("$" + equals);
    out.add("$ Device Information:  NORVAK DeviceNet Slave Gateway");
    out.add("$");
    out.add("$==================  Application Object Information ( Class ID : 0x64 ) ===================");
    out.add("$ Instance No. Att.1    2       3     4     5    6    7    8    9   10   11   12   13   14");
    out.add("$  Inst. Num   IOType  Name   Add(H) Baud   TC   DF  DOL  AOL  DIL  AIL  DOC  AOC  DIC  AIC");
    out.add("$ " + std::string(89, '-'));
    AddApplicationRows(out, state);

    const int nOut = OutputAssemblyCount(state);
    const int nIn = InputAssemblyCount(state);
    out.add("$");
    out.add("$====================  Assembly Object Information ( Class ID : 0x04 )  ===================");
    out.add("$ Instance ID   Data Legnth     IO TYPE          Data Mapping.");
    out.add("$" + std::string(90, '-'));
    AddAssemblyRows(out, state.OutputAssemblies, nOut, FirstAssemblyId, true);
    AddAssemblyRows(out, state.InputAssemblies, nIn, FirstAssemblyId + nOut, false);
    out.add("$" + equals);

    const std::string date = F2(now.Month) + "-" + F2(now.Day) + "-" + FormatInt("%04d", now.Year);
    const int major = state.FirmwareVersion.Major;
    const int minor = state.FirmwareVersion.Minor;
    out.add("[File]");
    out.add("            DescText   = " + Q + "NORVAK DeviceNet I/O Controller " + Q + "; ");
    out.add("            CreateDate = " + date + ";" + " $ created");
    out.add("            CreateTime = " + F2(now.Hour) + ":" + F2(now.Minute) + ":" + F2(now.Second) + ";");
    out.add("            ModDate    = " + date + ";");
    out.add("            Revision   = " + D(major) + "." + D(minor) + "; $ revision of EDS");
    out.add("");

    out.add("[Device]");
    out.add(std::string("            VendCode    = 951;") + "            $ Vendor Code");
    out.add("            VendName    = " + Q + "NORVAK" + Q + ";" + "       $ Vendor Name");
    out.add(std::string("            ProdType    = 0; ") + "             $ Product Type");
    out.add("            ProdTypeStr = " + Q + "Generic" + Q + ";");
    out.add("            ProdCode    = 1;");
    out.add("            MajRev      = " + D(major) + ";");
    out.add("            MinRev      = " + D(minor) + ";");
    out.add("            ProdName    = " + Q + "NORVAK-GWD-1" + Q + ";" + "   $ Product Name");
    out.add("");

    int mask = 0;
    for (int k = 0; k < ConnectionKinds; ++k)
        if (choices.InputSelection[k] >= 1 || choices.OutputSelection[k] >= 1)
            mask |= 1 << k;
    if (mask & 4)
        mask |= 8;

    std::string names;  // stays empty without an [IO_Info] section
    if (nIn >= 1 || nOut >= 1) {
        names = NameList(mask);
        out.add("[IO_Info]");
        out.add("            Default = 0x000" + H(mask) + ";        $ " + names + " as default");
        const auto outputLine = [&](int k) {
            return Spaces(22) + S(choices.OutputSelection[k]) + "; $ Default Ouput = Output" +
                   S(choices.OutputSelection[k]);
        };
        if (mask & 1)
            AddInfoBlock(out, "PollInfo", mask, names, choices.InputSelection[PollConnection], outputLine(0));
        if (mask & 2)
            AddInfoBlock(out, "StrobeInfo", mask, names, choices.InputSelection[StrobeConnection], outputLine(1));
        if (mask & 4) {
            const std::string pollStrobe = NameList(mask & 3);
            const std::string prefix = pollStrobe.empty() ? "" : pollStrobe + "/";
            const std::string noOutput = Spaces(22) + S(choices.OutputSelection[CosConnection]) +
                                         "; $ Default Ouput = Non Exist";
            AddInfoBlock(out, "COSInfo", mask & ~8, prefix + "COS", choices.InputSelection[CosConnection], noOutput);
            AddInfoBlock(out, "CyclicInfo", mask & ~4, prefix + "Cyclic", choices.InputSelection[CosConnection],
                         noOutput);
            out.add("");
        }
    }

    const int inputMask = SelectionMask(choices.InputSelection);
    if (state.InputAssemblies[0].DataLength != 0)
        out.add("$ ============= Input Connection " + std::string(51, '='));
    AddAssemblyEntries(out, state, false, nIn, inputMask, names);
    AddApplicationEntries(out, state, false, nIn + 1, inputMask, names);

    const int outputMask = SelectionMask(choices.OutputSelection);
    if (state.OutputAssemblies[0].DataLength != 0)
        out.add("$ ============= Output Connection " + std::string(51, '='));
    AddAssemblyEntries(out, state, true, nOut, outputMask, names);
    AddApplicationEntries(out, state, true, nOut + 1, outputMask, names);

    out.add("$ End of NORVAK-DNS EDS File");
    return out.take();
}

TextFileResult WriteDeviceNetEds(const ProgramState& state, const ConnectionChoices& choices, const LocalDateTime& now,
                                 const std::filesystem::path& folder)
{
    return WriteTextFile(folder / DeviceNetEdsFileName(state.NodeId), DeviceNetEdsText(state, choices, now));
}

}  // namespace k400
