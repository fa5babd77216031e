#include "cli/Output.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "cli/Commands.h"
#include "gateway/ConfigImage.h"
#include "gateway/ProfileFinish.h"
#include "gateway/ProgramState.h"
#include "platform/Messages.h"
#include "platform/ProgramFolder.h"

namespace k400 {

bool ParseFirmwareText(const std::string& text, ProgramState& state)
{
    unsigned major = 0, minor = 0, year = 0, month = 0, day = 0;
    char tail = 0;
    // The length check keeps a short date such as "2007111" from passing as YYYYMMD.
    if (text.size() < 12 ||
        std::sscanf(text.c_str(), "%3u.%3u-%4u%2u%2u%c", &major, &minor, &year, &month, &day, &tail) != 5)
        return false;
    if (major > 255 || minor > 255 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    state.FirmwareVersion = {static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor)};
    state.FirmwareDate = {static_cast<std::int16_t>(year), static_cast<std::uint8_t>(month),
                          static_cast<std::uint8_t>(day)};
    return true;
}

std::optional<std::string> CheckWritableFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return msg::CliFolderMissing(folder.string());
    std::string probe = (folder / ".k400gw-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0)
        return msg::CliFolderNotWritable(folder.string(), std::strerror(errno));
    ::close(fd);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::optional<std::filesystem::path> OutputFolder(const std::optional<std::string>& given, CommandIo& io)
{
    std::filesystem::path folder = given ? std::filesystem::path(*given) : ProgramFolder();
    if (folder.empty())
        folder = ".";
    if (const auto problem = CheckWritableFolder(folder)) {
        io.err << *problem << '\n';
        return std::nullopt;
    }
    return folder;
}

void PrintImageWords(std::ostream& out, const ProgramState& state, bool includeConnectionBlock)
{
    auto word = [&](int block, int offset, double value) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(value));
        out << "  " << msg::CliImageWord(block, offset, LongWordText(value), hex) << '\n';
    };
    out << msg::CliImageTitle << '\n';
    const int headerWords = std::min<int>(state.HeaderAreaBytes / 4, static_cast<int>(state.HeaderImage.size()));
    for (int i = 0; i < headerWords; ++i)
        word(0, 40 + 4 * i, state.HeaderImage[static_cast<std::size_t>(i)]);
    const int applicationWords =
        std::min<int>(state.ApplicationAreaBytes / 4, static_cast<int>(state.ApplicationImage.size()));
    for (int i = 0; i < applicationWords; ++i)
        word(2, 4 * i, state.ApplicationImage[static_cast<std::size_t>(i)]);
    if (includeConnectionBlock) {
        for (int i = 0; i < 7 && i < static_cast<int>(state.ConnectionImage.size()); ++i)
            word(1, 4 * i, state.ConnectionImage[static_cast<std::size_t>(i)]);
    }
}

void PrintTable(std::ostream& out, const std::string& title, const std::vector<std::vector<std::string>>& rows)
{
    out << title << ":\n";
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size())
            widths.resize(row.size(), 1);
        for (std::size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    }
    for (const auto& row : rows) {
        std::string line = " ";
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string& cell = row[c].empty() ? std::string("-") : row[c];
            line += ' ';
            line += cell;
            if (c + 1 < row.size())
                line.append(widths[c] - cell.size() + 1, ' ');
        }
        out << line << '\n';
    }
}

Json ImageWords(const std::vector<double>& words, std::size_t count)
{
    Json array = Json::array();
    for (std::size_t i = 0; i < count && i < words.size(); ++i)
        array.push_back(static_cast<long long>(words[i]));
    return array;
}

void PrintJson(std::ostream& out, const Json& json)
{
    // Texts the user typed may hold bytes that are not UTF-8; they are
    // replaced rather than failing the whole report.
    out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

int ReportFailedFinish(const FinishResult& result, bool json, CommandIo& io)
{
    if (!json)
        io.err << msg::EepromStatusLabel << EepromStatusText(result.eeprom) << '\n';
    if (result.outcome == FinishOutcome::Interrupted && result.stopSignal > 0)
        return 128 + result.stopSignal;
    return ExitFailure;
}

}  // namespace k400
