#include "canopen/EdsWriter.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "canopen/PdoMapping.h"
#include "gateway/GatewaySettings.h"
#include "gateway/ProgramState.h"
#include "platform/Clock.h"
#include "platform/Windows1252.h"

namespace k400 {

namespace {

// Upper-case hexadecimal with at least `width` digits. Hand-rolled: the
// file is thousands of these, and printf-style formatting dominated.
std::string HexWidth(std::uint32_t value, int width)
{
    char text[8];
    int n = 0;
    do {
        text[n++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (n < width)
        text[n++] = '0';
    std::string out;
    out.reserve(static_cast<std::size_t>(n));
    while (n > 0)
        out += text[--n];
    return out;
}

std::string Hex(std::uint32_t value)
{
    return HexWidth(value, 1);
}

std::string Hex4(std::uint32_t value)
{
    return HexWidth(value, 4);
}

std::string Hex8(std::uint32_t value)
{
    return HexWidth(value, 8);
}

std::string Two(int value)
{
    return value >= 0 && value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

// A line break inside a user's text would start a new key or section.
std::string SingleLine(std::string text)
{
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

class EdsText {
public:
    EdsText() { text_.reserve(256 * 1024); }

    void line(std::string_view s)
    {
        text_.append(s);
        text_.append("\r\n");
    }
    void blank() { text_.append("\r\n"); }

    // Object header: section, optional SubNumber, name, type, blank line.
    void header(std::string_view section, int subNumber, std::string_view name, std::string_view type)
    {
        text_.append("[").append(section).append("]\r\n");
        if (subNumber >= 0)
            text_.append("SubNumber=").append(std::to_string(subNumber)).append("\r\n");
        text_.append("ParameterName=").append(name).append("\r\n");
        text_.append("ObjectType=").append(type).append("\r\n");
        blank();
    }

    // Entry; a null default value leaves the DefaultValue line out.
    void entry(std::string_view section, std::string_view name, std::string_view dataType, std::string_view access,
               const char* defaultValue, int pdoMapping)
    {
        entry(section, name, dataType, access, defaultValue ? std::string_view(defaultValue) : std::string_view(),
              defaultValue != nullptr, pdoMapping);
    }
    void entry(std::string_view section, std::string_view name, std::string_view dataType, std::string_view access,
               const std::string& defaultValue, int pdoMapping)
    {
        entry(section, name, dataType, access, std::string_view(defaultValue), true, pdoMapping);
    }

    std::string take() { return std::move(text_); }

private:
    void entry(std::string_view section, std::string_view name, std::string_view dataType, std::string_view access,
               std::string_view defaultValue, bool hasDefault, int pdoMapping)
    {
        text_.append("[").append(section).append("]\r\n");
        text_.append("ParameterName=").append(name).append("\r\n");
        text_.append("ObjectType=0x7\r\n");
        text_.append("DataType=").append(dataType).append("\r\n");
        text_.append("AccessType=").append(access).append("\r\n");
        if (hasDefault)
            text_.append("DefaultValue=").append(defaultValue).append("\r\n");
        text_.append("PDOMapping=").append(pdoMapping ? "1" : "0").append("\r\n");
        blank();
    }

    std::string text_;
};

std::string DateText(const LocalDateTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d", t.Month, t.Day, t.Year);
    return text;
}

std::string Sub(std::uint32_t object, std::uint32_t sub)
{
    return Hex4(object) + "sub" + Hex(sub);
}

// Byte s of an 8-bit object named by its bit range: 1h to 8h, 9h to 10h, ...
std::string BitRange(int s)
{
    return Hex(static_cast<std::uint32_t>(8 * (s - 1) + 1)) + "h to " + Hex(static_cast<std::uint32_t>(8 * s)) + "h";
}

struct PdoSide {
    bool receive;
    std::uint32_t commBase;
    std::uint32_t mapBase;
    const char* word;  // "Receive" / "Transmit"
};

void WritePdos(EdsText& eds, const ProgramState& state, const PdoSide& side)
{
    for (std::uint32_t k = 0; k < AssemblyTableSize; ++k) {
        std::uint32_t object = side.commBase + k;
        std::string section = Hex4(object);
        std::string name = std::string(side.word) + " PDO " + std::to_string(k) + " Parameter";
        eds.header(section, side.receive ? 3 : 5, name, "0x9");
        eds.entry(Sub(object, 0), "Largest Sub-Index Supported", "0x0005", "ro", side.receive ? "0x2" : "0x5", 0);
        std::string cobId;
        if (k < 4)
            cobId = "0x" + Hex((side.receive ? 0x200u : 0x180u) + 0x100u * k + state.NodeId);
        else
            cobId = side.receive ? "0xC0000000" : "0x80000000";
        eds.entry(Sub(object, 1), "COB-ID used by PDO", "0x0007", "rw", cobId, 0);
        eds.entry(Sub(object, 2), "Transmission Type", "0x0005", "rw", "0xFF", 0);
        if (!side.receive) {
            eds.entry(Sub(object, 3), "Inhibit Time", "0x0006", "rw", "0x0", 0);
            eds.entry(Sub(object, 5), "Event Timer", "0x0006", "rw", "0x0", 0);
        }
    }

    auto entries = PdoMappingEntries(state, side.receive ? PdoDirection::Receive : PdoDirection::Transmit);
    for (std::uint32_t k = 0; k < AssemblyTableSize; ++k) {
        const auto& mapped = entries[k];
        std::uint32_t object = side.mapBase + k;
        std::string name = std::string(side.word) + " PDO " + std::to_string(k) + " Mapping";
        eds.header(Hex4(object), static_cast<int>(mapped.size()) + 1, name, "0x9");
        eds.entry(Sub(object, 0), "Number of Mapped Objects", "0x0005", "rw",
                  "0x" + Hex(static_cast<std::uint32_t>(mapped.size())), 0);
        for (std::size_t s = 0; s < mapped.size(); ++s)
            eds.entry(Sub(object, static_cast<std::uint32_t>(s + 1)), "PDO mapping for the application object",
                      "0x0007", "rw", "0x" + Hex8(mapped[s]), 0);
    }
}

struct ArrayObject {
    std::uint32_t index;
    const char* name;
    const char* countName;
    const char* dataType;
    const char* access;
    const char* defaultValue;  // null: no DefaultValue line
    int pdoMapping;
};

void WriteArray(EdsText& eds, const ArrayObject& object, int count, std::string (*entryName)(int))
{
    std::string section = Hex4(object.index);
    eds.header(section, count + 1, object.name, "0x8");
    eds.entry(Sub(object.index, 0), object.countName, "0x0005", "ro", "0x" + Hex(static_cast<std::uint32_t>(count)), 0);
    for (int s = 1; s <= count; ++s)
        eds.entry(Sub(object.index, static_cast<std::uint32_t>(s)), entryName(s), object.dataType, object.access,
                  object.defaultValue, object.pdoMapping);
}

std::string InputsName(int s)
{
    return "Number of Inputs " + BitRange(s);
}
std::string OutputsName(int s)
{
    return "Number of Outputs " + BitRange(s);
}
std::string AnalogInputName(int s)
{
    return "Analogue Inputs " + std::to_string(s);
}
std::string AnalogOutputName(int s)
{
    return "Analogue Outputs " + std::to_string(s);
}
std::string ModuleName(int s)
{
    return "Module Address " + std::to_string(s);
}

}  // namespace

std::string CanopenEdsFileName(std::uint8_t nodeId)
{
    return "COPn" + std::to_string(nodeId) + ".eds";
}

std::string EdsClockText(int hour, int minute)
{
    int twelve = hour % 12 == 0 ? 12 : hour % 12;
    return Two(twelve) + ":" + Two(minute) + (hour < 12 ? "AM" : "PM");
}

namespace {

// Which of the four I/O kinds the modules have; most sections depend on it.
struct IoKinds {
    bool di, dO, ai, ao;

    explicit IoKinds(const ProgramState& state)
        : di(state.TotalDIBytes != 0), dO(state.TotalDOBytes != 0), ai(state.TotalAIBytes != 0),
          ao(state.TotalAOBytes != 0)
    {
    }
    bool outputs() const { return dO || ao; }
    bool inputs() const { return di || ai; }
};

bool Heartbeat(const ProgramState& state)
{
    return (state.ErrorControlFlags & HeartbeatBit) != 0;
}

void WriteFileInfo(EdsText& eds, const ProgramState& state, const LocalDateTime& now)
{
    eds.line("[FileInfo]");
    eds.line("FileName=VOLK_TARN" + std::to_string(state.NodeId) + ".eds");
    eds.line("FileVersion=1");
    eds.line("FileRevision=0");
    eds.line("EDSVersion=1.0");
    // Master tools read the file in the Windows code page.
    const std::string description = SingleLine(ToWindows1252Lossy(state.EdsInfoText[0]));
    const std::string creator = SingleLine(ToWindows1252Lossy(state.EdsInfoText[1]));
    eds.line("Description=" +
             (description.empty() ? std::string("NORVAK CANopen slave/TARN master Gateway") : description));
    eds.line("CreationTime=" + EdsClockText(now.Hour, now.Minute));
    eds.line("CreationDate=" + DateText(now));
    eds.line("CreatedBy=" + (creator.empty() ? std::string("NORVAK") : creator));
    eds.line("ModificationTime=" + EdsClockText(now.Hour, now.Minute));
    eds.line("ModificationDate=" + DateText(now));
    eds.line("ModifiedBy=None");
    eds.blank();
}

void WriteDeviceInfo(EdsText& eds, const ProgramState& state)
{
    eds.line("[DeviceInfo]");
    eds.line("VendorName=NORVAK CO. LTd.");
    eds.line("VendorNumber=0x000003B7");
    eds.line("ProductName=VOLK_TARN Gateway");
    eds.line("ProductNumber=" + std::to_string(state.FirmwareVersion.Major));
    eds.line("RevisionNumber=" + std::to_string(state.FirmwareVersion.Minor));
    eds.line("OrderCode=VOLKTARN Gateway");
    for (int i = static_cast<int>(CanopenBaudKbps.size()) - 1; i >= 0; --i)
        eds.line("BaudRate_" + std::to_string(CanopenBaudKbps[static_cast<std::size_t>(i)]) +
                 (i == state.CanBaudIndex ? "=1" : "=0"));
    for (const char* fixed :
         {"SimpleBootUpSlave=1", "SimpleBootUpMaster=0", "Granularity=8", "DynamicChannelsSupported=0",
          "GroupMessaging=0", "NrOfRxPdo= 32", "NrOfTxPdo= 32", "LSS_Supported=0"})
        eds.line(fixed);
    eds.blank();

    eds.line("[DummyUsage]");
    for (int i = 1; i <= 7; ++i)
        eds.line("Dummy000" + std::to_string(i) + "=0");
    eds.blank();
}

void WriteMandatoryObjects(EdsText& eds, const IoKinds& io)
{
    eds.line("[MandatoryObjects]");
    eds.line("SupportedObjects=3");
    eds.line("1=0x1000");
    eds.line("2=0x1001");
    eds.line("3=0x1018");
    eds.blank();

    std::uint32_t deviceType = 0x191;
    if (io.di)
        deviceType += 0x10000;
    if (io.dO)
        deviceType += 0x20000;
    if (io.ai)
        deviceType += 0x40000;
    if (io.ao)
        deviceType += 0x80000;
    eds.entry("1000", "Device Type", "0x0007", "ro", "0x" + Hex(deviceType), 0);
    eds.entry("1001", "Error Register", "0x0005", "ro", nullptr, 0);
    eds.header("1018", 5, "Identity Object", "0x9");
    eds.entry("1018sub0", "number of entries", "0x0005", "ro", "0x4", 0);
    eds.entry("1018sub1", "Vendor ID", "0x0007", "ro", "", 0);
    eds.entry("1018sub2", "Product code", "0x0007", "ro", "", 0);
    eds.entry("1018sub3", "Revision number", "0x0007", "ro", "", 0);
    eds.entry("1018sub4", "Serial number", "0x0007", "ro", "", 0);
}

// The list of optional objects: communication objects, the PDOs of each
// direction the modules use, then the device profile objects.
void WriteOptionalObjectList(EdsText& eds, const ProgramState& state, const IoKinds& io)
{
    const bool heartbeat = Heartbeat(state);
    const int pdoObjects = (io.outputs() ? 32 : 0) + (io.inputs() ? 32 : 0);
    const int applicationObjects = (io.di ? 1 : 0) + (io.dO ? 3 : 0) + (io.ai ? 1 : 0) + (io.ao ? 3 : 0);
    const int supported = (heartbeat ? 9 : 10) + 2 * pdoObjects + applicationObjects;
    eds.line("[OptionalObjects]");
    eds.line("SupportedObjects= " + std::to_string(supported));
    int n = 1;
    auto listed = [&](std::uint32_t object) { eds.line(std::to_string(n++) + "=0x" + Hex4(object)); };
    for (std::uint32_t object : {0x1003u, 0x1005u, 0x1008u, 0x1009u, 0x100Au})
        listed(object);
    if (!heartbeat) {
        listed(0x100C);
        listed(0x100D);
    }
    listed(0x1014);
    listed(0x1015);
    if (heartbeat)
        listed(0x1017);
    listed(0x1200);
    const auto pdoRange = [&](std::uint32_t base) {
        for (std::uint32_t k = 0; k < AssemblyTableSize; ++k)
            listed(base + k);
    };
    if (io.outputs()) {
        pdoRange(0x1400);
        pdoRange(0x1600);
    }
    if (io.inputs()) {
        pdoRange(0x1800);
        pdoRange(0x1A00);
    }
    if (io.di)
        listed(0x6000);
    if (io.dO) {
        listed(0x6200);
        listed(0x6206);
        listed(0x6207);
    }
    if (io.ai)
        listed(0x6401);
    if (io.ao) {
        listed(0x6411);
        listed(0x6443);
        listed(0x6444);
    }
    eds.blank();
}

void WriteCommunicationObjects(EdsText& eds, const ProgramState& state)
{
    const bool heartbeat = Heartbeat(state);
    eds.header("1003", 6, "pre-defined error field", "0x08");
    eds.entry("1003sub0", "number of errors", "0x0005", "rw", "0x0", 0);
    for (std::uint32_t s = 1; s <= 5; ++s)
        eds.entry(Sub(0x1003, s), "standard error field", "0x0007", "ro", "0x0", 0);
    eds.entry("1005", "COB-ID SYNC", "0x0007", "rw", "0x80", 0);
    eds.entry("1008", "Manufacturer device name", "0x0009", "const", "K400B+XP10 gateway", 0);
    eds.entry("1009", "Manufacturer hardware version", "0x0009", "const", "01", 0);
    eds.entry("100A", "Manufacturer software version", "0x0009", "const",
              std::to_string(state.FirmwareVersion.Major) + "." + Two(state.FirmwareVersion.Minor) + "-" +
                  std::to_string(state.FirmwareDate.Year) + Two(state.FirmwareDate.Month) + Two(state.FirmwareDate.Day),
              0);
    if (!heartbeat) {
        eds.entry("100C", "Guard Time", "0x0006", "rw", "0x" + Hex(state.GuardTime), 0);
        eds.entry("100D", "life time factor", "0x0005", "rw", "0x" + Hex(state.LifeTimeFactor), 0);
    }
    eds.entry("1014", "COB-ID Emergency Message", "0x0007", "rw", "$NODEID+0x80", 0);
    eds.entry("1015", "Inhibit Time EMCY", "0x0006", "rw", "0x0", 0);
    if (heartbeat)
        eds.entry("1017", "Producer Heartbeat Time", "0x0006", "rw", "0x" + Hex(state.HeartbeatTime), 0);
    eds.header("1200", 3, "Server SDO Parameter", "0x09");
    eds.entry("1200sub0", "number of entries", "0x0005", "ro", "0x02", 0);
    eds.entry("1200sub1", "COB_ID Client->Server (rx)", "0x0007", "ro", "$NODEID+0x600", 0);
    eds.entry("1200sub2", "COB_ID Server ->Client (tx)", "0x0007", "ro", "$NODEID+0x580", 0);
}

// The CiA 401 objects of the I/O kinds present.
void WriteDeviceProfileObjects(EdsText& eds, const ProgramState& state, const IoKinds& io)
{
    const int nDI = state.TotalDIBytes;
    const int nDO = state.TotalDOBytes;
    const int nAI = state.TotalAIBytes / 2;
    const int nAO = state.TotalAOBytes / 2;
    if (io.di)
        WriteArray(eds, {0x6000, "Read Input 8-Bit", "Number of Inputs 8-Bit", "0x0005", "ro", nullptr, 1}, nDI,
                   InputsName);
    if (io.dO) {
        WriteArray(eds, {0x6200, "Write Output 8-Bit", "Number of Outputs 8-Bit", "0x0005", "rww", "0x0", 1}, nDO,
                   OutputsName);
        WriteArray(eds, {0x6206, "Error Mode Output 8-Bit", "Number of Outputs 8-Bit", "0x0005", "rw", "0xFF", 0}, nDO,
                   OutputsName);
        WriteArray(eds, {0x6207, "Error Value Output 8-Bit", "Number of Outputs 8-Bit", "0x0005", "rw", "0x0", 0}, nDO,
                   OutputsName);
    }
    if (io.ai)
        WriteArray(
            eds, {0x6401, "Read Analogue Input 16-Bit", "Number of Analogue Inputs 16-Bit", "0x0003", "ro", nullptr, 1},
            nAI, AnalogInputName);
    if (io.ao) {
        WriteArray(
            eds,
            {0x6411, "Write Analogue Output 16-Bit", "Number of Analogue Outputs 16-Bit", "0x0003", "rww", "0x0", 1},
            nAO, AnalogOutputName);
        WriteArray(eds,
                   {0x6443, "Analog Output Error Mode", "Number of Analogue Outputs 16-Bit", "0x0005", "rw", "0x1", 0},
                   nAO, AnalogOutputName);
        WriteArray(
            eds,
            {0x6444, "Write Analogue Output 16-Bit", "Number of Analogue Outputs 16-Bit", "0x0007", "rw", "0x0", 0},
            nAO, AnalogOutputName);
    }
}

// The gateway's own objects: one sub-index per module.
void WriteManufacturerObjects(EdsText& eds, const ProgramState& state)
{
    eds.line("[ManufacturerObjects]");
    const int modules = state.ModuleCount;
    if (modules == 0) {
        eds.line("SupportedObjects=0x0");
    } else {
        eds.line("SupportedObjects=0x4");
        eds.line("1=0x2000");
        eds.line("2=0x2001");
        eds.line("3=0x2002");
        eds.line("4=0x2003");
        WriteArray(eds, {0x2000, "TARN Module R/W Error Counter", "Number of TARN Modules", "0x0006", "rw", "0x0", 0},
                   modules, ModuleName);
        WriteArray(eds,
                   {0x2001, "TARN Module WDT Enable/Disable Control Object", "Number of TARN Modules", "0x0005", "rw",
                    "0x0", 0},
                   modules, ModuleName);
        WriteArray(eds, {0x2002, "TARN Module WDT Timer", "Number of TARN Modules", "0x0005", "rw", "0x0", 0}, modules,
                   ModuleName);
        WriteArray(eds, {0x2003, "TARN Module WDT Status", "Number of TARN Modules", "0x0005", "rw", "0x0", 0}, modules,
                   ModuleName);
    }
    eds.blank();
    eds.line("[Comments]");
    eds.line("Lines=0");
    eds.blank();
}

}  // namespace

std::string CanopenEdsText(const ProgramState& state, const LocalDateTime& now)
{
    const IoKinds io(state);
    EdsText eds;
    WriteFileInfo(eds, state, now);
    WriteDeviceInfo(eds, state);
    WriteMandatoryObjects(eds, io);
    WriteOptionalObjectList(eds, state, io);
    WriteCommunicationObjects(eds, state);
    if (io.outputs())
        WritePdos(eds, state, PdoSide{true, 0x1400, 0x1600, "Receive"});
    if (io.inputs())
        WritePdos(eds, state, PdoSide{false, 0x1800, 0x1A00, "Transmit"});
    WriteDeviceProfileObjects(eds, state, io);
    WriteManufacturerObjects(eds, state);
    return eds.take();
}

TextFileResult WriteCanopenEds(const ProgramState& state, const LocalDateTime& now, const std::filesystem::path& folder)
{
    return WriteTextFile(folder / CanopenEdsFileName(state.NodeId), CanopenEdsText(state, now));
}

}  // namespace k400
