#include "modules/ByteLabels.h"

#include <cmath>
#include <cstdio>

#include "platform/NumberText.h"

namespace k400 {

namespace {

std::string TwoDigits(int n)
{
    return FormatInt("%02d", n);
}

}  // namespace

unsigned ModuleAddressValue(const std::string& address)
{
    const double value = NumericValue(address);
    return value > 0 ? static_cast<unsigned>(std::lround(value)) : 0u;
}

std::string ModuleLabelPrefix(const ScannedModule& module)
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", ModuleAddressValue(module.Address));
    return "0x" + std::string(hex) + "-" + module.Name;
}

std::string DigitalByteLabel(const ScannedModule& module, int channels, int byteNumber)
{
    int first = 8 * (byteNumber - 1);
    int bytes = (channels + 7) / 8;
    int last = byteNumber < bytes ? 8 * byteNumber - 1 : channels - 1;
    return ModuleLabelPrefix(module) + ":" + TwoDigits(first) + "~" + TwoDigits(last);
}

std::string AnalogChannelLabel(const ScannedModule& module, int channel)
{
    return ModuleLabelPrefix(module) + ":" + std::to_string(channel);
}

}  // namespace k400
