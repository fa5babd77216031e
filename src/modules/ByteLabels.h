#pragma once
// Byte labels: the text naming the source of one data byte in a PDO or an
// assembly instance, "0x" + hex address + "-" + model + ":" + channel range.

#include <string>

#include "modules/ScannedModule.h"

namespace k400 {

// The numeric value of a module's address text, rounded; 0 when it has none.
unsigned ModuleAddressValue(const std::string& address);

// "0x" + hex address + "-" + name, the source part of every label.
std::string ModuleLabelPrefix(const ScannedModule& module);
// Digital byte b (1-based) of a module with that many digital channels of
// the direction: 0x3-M38:08~12.
std::string DigitalByteLabel(const ScannedModule& module, int channels, int byteNumber);
// Analog channel c (0-based) of a module: 0x1A-M28:0.
std::string AnalogChannelLabel(const ScannedModule& module, int channel);

}  // namespace k400
