// `k400gw ports` and `k400gw models`: what a user looks up before naming a
// port or planning modules.

#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/Output.h"
#include "modules/ModelCatalogue.h"
#include "platform/Messages.h"
#include "platform/qt/QtSerialPort.h"

namespace k400 {

namespace {

class PortsCommand final : public Command {
public:
    std::string_view name() const override { return "ports"; }
    std::string_view summary() const override { return msg::HelpPortsSummary; }
    std::string_view description() const override { return msg::HelpPortsDescription; }
    void define(CLI::App& command) override { command.add_flag("--json", json_, msg::HelpJsonList); }

    int run(CommandIo& io) override
    {
        const auto ports = ListSerialPorts();
        if (json_) {
            Json list = Json::array();
            for (const auto& p : ports)
                list.push_back({{"name", p.name},
                                {"device", p.device},
                                {"description", p.description},
                                {"manufacturer", p.manufacturer},
                                {"serial_number", p.serialNumber}});
            PrintJson(io.out, list);
            return ExitSuccess;
        }
        std::vector<std::vector<std::string>> rows{{msg::CliPortColumns.begin(), msg::CliPortColumns.end()}};
        for (const auto& p : ports)
            rows.push_back({p.name, p.device, p.description, p.manufacturer, p.serialNumber});
        PrintTable(io.out, msg::CliSerialPortsTitle(ports.size()), rows);
        return ExitSuccess;
    }

private:
    bool json_ = false;
};

// "DI/DO" and the like: the kinds of channel a model has.
std::string IoKinds(const ModelInfo& model)
{
    std::string kinds;
    const auto add = [&](int channels, const char* kind) {
        if (channels > 0)
            kinds += (kinds.empty() ? "" : "/") + std::string(kind);
    };
    add(model.AIChannels, "AI");
    add(model.AOChannels, "AO");
    add(model.DIChannels, "DI");
    add(model.DOChannels, "DO");
    return kinds;
}

class ModelsCommand final : public Command {
public:
    std::string_view name() const override { return "models"; }
    std::string_view summary() const override { return msg::HelpModelsSummary; }
    std::string_view description() const override { return msg::HelpModelsDescription; }
    void define(CLI::App& command) override { command.add_flag("--json", json_, msg::HelpJsonList); }

    int run(CommandIo& io) override
    {
        const auto models = ModelCatalogue();
        if (json_) {
            Json list = Json::array();
            for (const ModelInfo& m : models)
                list.push_back(
                    {{"model", m.Name},
                     {"io", IoKinds(m)},
                     {"channels",
                      {{"ai", m.AIChannels}, {"ao", m.AOChannels}, {"di", m.DIChannels}, {"do", m.DOChannels}}},
                     {"bytes",
                      {{"ai", m.AILength()}, {"ao", m.AOLength()}, {"di", m.DILength()}, {"do", m.DOLength()}}}});
            PrintJson(io.out, list);
            return ExitSuccess;
        }
        std::vector<std::vector<std::string>> rows{{msg::CliModelColumns.begin(), msg::CliModelColumns.end()}};
        const auto count = [](int n) { return n > 0 ? std::to_string(n) : std::string(); };
        for (const ModelInfo& m : models)
            rows.push_back({std::string(m.Name), IoKinds(m), count(m.AIChannels), count(m.AOChannels),
                            count(m.DIChannels), count(m.DOChannels), std::to_string(m.AILength() + m.DILength()),
                            std::to_string(m.AOLength() + m.DOLength())});
        PrintTable(io.out, msg::CliModelsTitle(models.size()), rows);
        return ExitSuccess;
    }

private:
    bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> MakePortsCommand()
{
    return std::make_unique<PortsCommand>();
}

std::unique_ptr<Command> MakeModelsCommand()
{
    return std::make_unique<ModelsCommand>();
}

}  // namespace k400
