// The simulated gateway console fed arbitrary bytes at arbitrary times.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "FuzzSupport.h"
#include "sim/GatewayConsole.h"
#include "sim/Scenario.h"

using namespace k400;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    Scenario scenario = BuiltInScenario();
    const std::uint8_t shape = in.ConsumeIntegral<std::uint8_t>();
    scenario.echo = (shape & 1) != 0;
    if (shape & 2)
        scenario.splitBytes = 1 + (shape >> 4);
    if (shape & 4)
        scenario.dropWithinMs = 2;
    if (shape & 8)
        scenario.faults.push_back(FaultRule::SplitReply(CommandMatch::Any(), 3, 1));

    GatewayConsole console(std::move(scenario));
    std::int64_t now = 0;
    while (in.remaining_bytes() > 0) {
        now += in.ConsumeIntegralInRange<int>(0, 3000);
        const std::string bytes = in.ConsumeRandomLengthString(64);
        console.receive(bytes, now);
        console.advance(now);
        if (in.ConsumeBool()) {
            const std::size_t due = console.releasedBytes(now);
            const std::string out = console.takeOutput(now);
            fuzz::Require(out.size() == due);
            fuzz::Require(console.releasedBytes(now) == 0);
        }
    }
    for (const std::string& line : console.receivedLines())
        fuzz::Require(line.size() <= GatewayConsole::kMaxLineLength);
    return 0;
}
