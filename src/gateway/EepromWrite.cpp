#include "gateway/EepromWrite.h"

#include <csignal>
#include <vector>

#include "gateway/ConfigImage.h"
#include "gateway/ConsoleLink.h"
#include "platform/Messages.h"
#include "platform/NumberText.h"
#include "platform/StopRequest.h"
#include "platform/UserInterface.h"

namespace k400 {

namespace {

constexpr std::string_view EepromPrompt = "[EEPROM:]";
constexpr int MarkOffset = 40;

volatile std::sig_atomic_t liveStatus = static_cast<std::sig_atomic_t>(EepromStatus::Unchanged);

std::string KeyAt(int offset)
{
    return "Long(" + std::to_string(offset) + ")=";
}

// One long word as Finish writes it.
struct ImageWord {
    int block = 0;
    int offset = 0;
    double value = 0;
};

// Consecutive words of one block, first offset first.
struct BlockRun {
    int block = 0;
    std::vector<ImageWord> words;
};

BlockRun Run(int block, int firstOffset, const std::vector<double>& table, std::size_t count)
{
    BlockRun run{block, {}};
    for (std::size_t i = 0; i < count && i < table.size(); ++i)
        run.words.push_back({block, firstOffset + 4 * static_cast<int>(i), table[i]});
    return run;
}

class ImageWrite {
public:
    ImageWrite(ProgramState& state, ConsoleLink& link) : state_(state), link_(link) {}

    EepromWriteResult run(bool includeConnectionBlock)
    {
        publish(EepromStatus::Unchanged);
        const auto headerWords = static_cast<std::size_t>(state_.HeaderAreaBytes / 4);
        if (state_.HeaderImage.size() < headerWords || headerWords == 0)
            return fail(EepromWriteFailure::Timeout);

        // Whatever mode the console is in, back to the top level.
        link_.SendIgnored("/q", "]");
        link_.SendIgnored("exit", ">");
        link_.SendIgnored(".", EepromPrompt);
        if (!link_.SendAndExpect("exit", ">") || !link_.SendAndExpect("use eeprom", EepromPrompt))
            return fail(EepromWriteFailure::Timeout);
        link_.ui().pumpEvents();
        if (!SelectEepromBlock(link_, 0))
            return fail(EepromWriteFailure::Timeout);

        // From the first word typed on, a stop waits for a safe point.
        GuardedWork guard;

        // Header: 0 where the mark goes, then the other words; the editor is
        // left showing offset 76, untouched.
        BlockRun header = Run(0, MarkOffset, state_.HeaderImage, headerWords);
        const double mark = header.words.front().value;
        header.words.front().value = 0;
        if (!typeRun(header))
            return stopOrFail();
        state_.EepromBlock = 2;
        if (!link_.SendAndExpect(".", EepromPrompt))
            return fail(EepromWriteFailure::Timeout);

        BlockRun application =
            Run(2, 0, state_.ApplicationImage, static_cast<std::size_t>(state_.ApplicationAreaBytes / 4));
        if (!SelectEepromBlock(link_, 2) || !typeRun(application))
            return stopOrFail();
        if (!link_.SendAndExpect(".", EepromPrompt))
            return fail(EepromWriteFailure::Timeout);

        std::vector<BlockRun> runs{header, application};
        int chosenBlock = 2;
        if (includeConnectionBlock) {
            BlockRun connection = Run(1, 0, state_.ConnectionImage, 7);
            if (!link_.SendAndExpect(".", EepromPrompt) || !SelectEepromBlock(link_, 1) || !typeRun(connection))
                return stopOrFail();
            if (!link_.SendAndExpect(".", EepromPrompt))
                return fail(EepromWriteFailure::Timeout);
            runs.push_back(connection);
            chosenBlock = 1;
        }

        // Read back, the block still chosen first; the zero mark is left to
        // the mark's own write below.
        const std::int64_t verifyStart = link_.clock().nowMs();
        runs.front().words.erase(runs.front().words.begin());
        for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
            if (run->block != chosenBlock && !SelectEepromBlock(link_, run->block))
                return stopOrFail();
            chosenBlock = run->block;
            for (const ImageWord& word : run->words) {
                if (StopRequested())
                    return stop();
                if (!verify(word, true))
                    return stopOrFail();
            }
        }
        if (StopRequested())
            return stop();

        // The real mark: from here on the write runs to its end.
        if (!typeRun({0, {{0, MarkOffset, mark}}}, false) || !link_.SendAndExpect(".", EepromPrompt) ||
            !verify({0, MarkOffset, mark}, false)) {
            // A mark that is not what was meant must not pass for one.
            if (result_.failure == EepromWriteFailure::Mismatch && typeRun({0, {{0, MarkOffset, 0}}}, false))
                link_.SendAndExpect(".", EepromPrompt);
            return fail(result_.failure == EepromWriteFailure::None ? EepromWriteFailure::Timeout : result_.failure);
        }
        if (!link_.SendAndExpect("exit", state_.ControllerPrompt))
            return fail(EepromWriteFailure::Timeout);
        result_.verifyMs = link_.clock().nowMs() - verifyStart;
        publish(EepromStatus::WrittenAndVerified);
        return result_;
    }

private:
    void publish(EepromStatus status)
    {
        result_.status = status;
        liveStatus = static_cast<std::sig_atomic_t>(status);
    }

    EepromWriteResult fail(EepromWriteFailure failure)
    {
        result_.failure = failure;
        return result_;
    }

    // Leaves the editor and the EEPROM sub-mode; the mark stays 0.
    EepromWriteResult stop()
    {
        link_.SendIgnored(".", EepromPrompt);
        link_.SendIgnored("exit", ">");
        return fail(EepromWriteFailure::Stopped);
    }

    EepromWriteResult stopOrFail()
    {
        if (result_.failure == EepromWriteFailure::Mismatch)
            return result_;
        if (StopRequested() && result_.failure == EepromWriteFailure::None)
            return stop();
        return fail(EepromWriteFailure::Timeout);
    }

    // Types the run's values into consecutive words, the editor opened at the
    // first; it is left showing the word after the last. With stoppable, a
    // stop request ends the run after the word in progress (false).
    bool typeRun(const BlockRun& run, bool stoppable = true)
    {
        const int first = run.words.front().offset;
        double shown = 0;
        if (!link_.SendAndReadValue("el " + std::to_string(first), KeyAt(first), shown))
            return false;
        for (const ImageWord& word : run.words) {
            publish(EepromStatus::PartlyWritten);
            if (!link_.SendAndReadValue(std::string(TrimBlanks(ToSignedLongText(word.value))), KeyAt(word.offset + 4),
                                        shown))
                return false;
            if (stoppable && StopRequested())
                return false;
        }
        return true;
    }

    // Reads the word back; a word that differs is written once more and read
    // again. With stoppable, a stop request is honoured between the steps.
    bool verify(const ImageWord& word, bool stoppable)
    {
        double read = 0;
        if (!ReadEepromWord(link_, word.offset, read))
            return false;
        if (read == word.value)
            return true;
        ++result_.wordsRewritten;
        if (!typeRun({word.block, {word}}, stoppable) || !link_.SendAndExpect(".", EepromPrompt) ||
            !ReadEepromWord(link_, word.offset, read))
            return false;
        if (read == word.value)
            return true;
        result_.failure = EepromWriteFailure::Mismatch;
        result_.mismatch =
            msg::EepromWordMismatch(word.block, word.offset, LongWordText(word.value), LongWordText(read));
        return false;
    }

    ProgramState& state_;
    ConsoleLink& link_;
    EepromWriteResult result_;
};

}  // namespace

const char* EepromStatusText(EepromStatus status)
{
    switch (status) {
    case EepromStatus::Unchanged:
        return msg::EepromUnchanged;
    case EepromStatus::PartlyWritten:
        return msg::EepromPartlyWritten;
    case EepromStatus::WrittenAndVerified:
        return msg::EepromWrittenAndVerified;
    }
    return msg::EepromUnchanged;
}

EepromStatus LiveEepromStatus() noexcept
{
    return static_cast<EepromStatus>(liveStatus);
}

bool SelectEepromBlock(ConsoleLink& link, int block)
{
    return link.SendAndExpect("block " + std::to_string(block), EepromPrompt);
}

bool ReadEepromWord(ConsoleLink& link, int offset, double& value)
{
    double shown = 0;
    if (!link.SendAndReadValue("el " + std::to_string(offset), KeyAt(offset), shown))
        return false;
    if (!link.SendAndExpect(".", EepromPrompt))
        return false;
    value = ToUnsignedLong(shown);
    return true;
}

EepromWriteResult WriteConfigurationImage(ProgramState& state, ConsoleLink& link, bool includeConnectionBlock)
{
    return ImageWrite(state, link).run(includeConnectionBlock);
}

}  // namespace k400
