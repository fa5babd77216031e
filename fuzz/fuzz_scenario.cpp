// The simulator's scenario loader: any text. A scenario that loads must run a
// short session, and its EEPROM must survive being saved and loaded again.

#include <string>

#include "FuzzSupport.h"
#include "sim/GatewayConsole.h"
#include "sim/Scenario.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto scenario = ParseScenario(json, error);
    if (!scenario) {
        fuzz::Require(!error.empty());
        return 0;
    }

    std::string again;
    const auto reloaded = ParseScenario(EepromToJson(scenario->eeprom), again);
    fuzz::Require(reloaded.has_value() && reloaded->eeprom == scenario->eeprom);

    GatewayConsole console(*scenario);
    std::int64_t now = 0;
    for (const char* line : {"", "/q", ".", "exit", "use eeprom", "block 0", "el 40", "-1", ".", "exit", "use com2",
                             "/s1", "/timeout 200", "/baud 9600", "/end 15", "/scan", "$012", "/q"}) {
        console.receive(std::string(line) + "\r", now);
        now += 20000;
        console.advance(now);
        console.takeOutput(now);
    }
    return 0;
}
