#include "gateway/ConsoleLink.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/NumberText.h"

namespace k400 {

namespace {

constexpr int MaxNonzeroOutputReadings = 10;
constexpr int ScanInactivityFactor = 15;
// The scan wait blocks in slices this long so that window events keep running.
constexpr int ScanWaitSliceMs = 50;
constexpr std::string_view ValuePromptMarker = "-->";
// Far beyond any listing the gateway prints (15 modules are well under 1 KB).
// A device that never stops talking would otherwise keep a scan alive and its
// reply growing without end.
constexpr std::size_t MaxReplyBytes = 1 << 20;

// True when the reply, past an echo of the command, ends with a console
// prompt: ">" (top level, value editor) or "]" (sub-modes). Only then has
// the console answered this step; text before that may be the echo alone,
// with the answer still on its way.
bool EndsWithPromptAfterEcho(std::string_view text, std::string_view command)
{
    if (!command.empty() && text.substr(0, command.size()) == command)
        text.remove_prefix(command.size());
    text = TrimBlanks(text);
    return !text.empty() && (text.back() == '>' || text.back() == ']');
}

}  // namespace

ConsoleLink::ConsoleLink(SerialPort& port, Clock& clock, UserInterface& ui, LinkTiming timing)
    : Timing(timing), port_(port), clock_(clock), ui_(ui)
{
}

void ConsoleLink::pace()
{
    ui_.pumpEvents();
    clock_.sleepMs(Timing.PaceMs);
}

bool ConsoleLink::sendLine(std::string_view command, bool pumpWhileDraining)
{
    // A port that is closed (or whose device went away) carries nothing:
    // fail now rather than wait out a reply that cannot come.
    if (!port_.isOpen())
        return false;
    if (port_.inputCount() > 0)
        port_.readAll();  // stale text belongs to an earlier exchange

    // The shared pacer sends it as below: a pause after every character,
    // the carriage return included.
    if (Pacer && Timing.PaceMs > 0 && Pacer->paceMs() == Timing.PaceMs)
        if (const LineWriter writer = port_.lineWriter())
            return Pacer->send(std::string(command) + '\r', writer, paced_);

    // The console reads its line one character at a time and drops what comes
    // in a burst.
    for (char c : command) {
        port_.write(std::string_view(&c, 1));
        pace();
    }
    port_.write("\r");

    for (int nonzero = 0; port_.outputCount() > 0;) {
        if (++nonzero >= MaxNonzeroOutputReadings)
            return false;
        if (pumpWhileDraining)
            ui_.pumpEvents();
    }
    pace();
    return true;
}

bool ConsoleLink::collectUntil(std::string& text, std::string_view marker, bool scan, int settleMs,
                               std::string_view command)
{
    const std::int64_t limitMs = scan ? std::int64_t{ScanInactivityFactor} * Timing.ConsoleTimeoutMs
                                      : Timing.ConsoleTimeoutMs;
    std::int64_t start = clock_.nowMs();
    const std::int64_t firstStart = start;
    std::optional<std::int64_t> lastPieceMs;
    for (;;) {
        if (scan) {
            ui_.pumpEvents();
            // Every module in the listing ends with '{'.
            ui_.scanWaiting(clock_.nowMs() - firstStart, static_cast<int>(std::count(text.begin(), text.end(), '{')));
        }
        const std::int64_t elapsed = clock_.nowMs() - start;
        if (elapsed >= limitMs)
            return false;
        if (port_.inputCount() > 0) {
            const std::string piece = port_.readAll();
            text += TrimBlanks(piece);
            if (text.size() > MaxReplyBytes)
                return false;
            lastPieceMs = clock_.nowMs();
            if (scan)
                start = *lastPieceMs;
            continue;
        }
        // The marker is looked for only once the console has paused, so a
        // marker split across two reads is still found whole.
        if (!marker.empty() && text.find(marker) != std::string::npos)
            return true;
        // A device or connection gone mid-reply brings nothing more: fail
        // now rather than wait out the time-out.
        if (!port_.isOpen())
            return false;
        std::int64_t wait = limitMs - elapsed;
        if (settleMs > 0 && lastPieceMs && EndsWithPromptAfterEcho(text, command)) {
            const std::int64_t quiet = clock_.nowMs() - *lastPieceMs;
            if (quiet >= settleMs)
                return false;
            wait = std::min<std::int64_t>(wait, settleMs - quiet);
        }
        if (scan)
            wait = std::min<std::int64_t>(wait, ScanWaitSliceMs);
        port_.waitForInput(static_cast<int>(wait));
    }
}

void ConsoleLink::discardUntilQuiet()
{
    const std::int64_t start = clock_.nowMs();
    std::int64_t lastMs = start;
    while (port_.isOpen()) {
        const std::int64_t now = clock_.nowMs();
        if (now - lastMs >= Timing.SettleMs || now - start >= Timing.ConsoleTimeoutMs)
            return;
        if (port_.inputCount() > 0) {
            port_.readAll();
            lastMs = clock_.nowMs();
            continue;
        }
        port_.waitForInput(static_cast<int>(
            std::min<std::int64_t>(Timing.SettleMs - (now - lastMs), Timing.ConsoleTimeoutMs - (now - start))));
    }
}

bool ConsoleLink::finishStep(LinkStep::Kind kind, std::string_view command, std::string marker, std::int64_t startMs,
                             bool ok)
{
    last_ = {kind, std::string(command), std::move(marker), ok, clock_.nowMs() - startMs};
    if (StepObserver)
        StepObserver(last_);
    return ok;
}

bool ConsoleLink::SendAndExpect(std::string_view command, std::string_view marker)
{
    const std::int64_t start = clock_.nowMs();
    const auto finish = [&](bool ok) {
        return finishStep(LinkStep::Kind::Expect, command, std::string(marker), start, ok);
    };
    if (!sendLine(command, true))
        return finish(false);
    ReplyText.clear();
    if (!collectUntil(ReplyText, marker, false))
        return finish(false);
    ReplyText.resize(ReplyText.find(marker));
    return finish(true);
}

bool ConsoleLink::ScanAndWait(std::string_view portNumberText)
{
    const std::int64_t start = clock_.nowMs();
    const std::string marker = "[COM" + std::string(portNumberText) + ":]";
    const auto finish = [&](bool ok) { return finishStep(LinkStep::Kind::Scan, "/scan", marker, start, ok); };
    // A prompt still arriving from the step before (one whose marker was an
    // echoed value, not the prompt) would otherwise end the scan at once with
    // an empty listing.
    if (!Timing.StrictTiming)
        discardUntilQuiet();
    if (!sendLine("/scan", true))
        return finish(false);
    ReplyText.clear();
    if (!collectUntil(ReplyText, marker, true))
        return finish(false);
    ReplyText.resize(ReplyText.find(marker));
    return finish(true);
}

bool ConsoleLink::SendIgnored(std::string_view command, std::string_view marker)
{
    const std::int64_t start = clock_.nowMs();
    const auto finish = [&](bool ok) {
        return finishStep(LinkStep::Kind::Ignored, command, std::string(marker), start, ok);
    };
    if (!sendLine(command, true))
        return finish(false);
    ReplyText.clear();
    if (!collectUntil(ReplyText, marker, false, Timing.StrictTiming ? 0 : Timing.SettleMs, command))
        return finish(false);
    ReplyText.resize(ReplyText.find(marker));
    return finish(true);
}

bool ConsoleLink::SendAndReadValue(std::string_view command, std::string_view key, double& value)
{
    const std::int64_t start = clock_.nowMs();
    const auto finish = [&](bool ok) {
        return finishStep(LinkStep::Kind::ReadValue, command, std::string(TrimBlanks(key)) + "...-->", start, ok);
    };
    if (!sendLine(command, false))
        return finish(false);
    std::string reply;
    if (!collectUntil(reply, ValuePromptMarker, false))
        return finish(false);

    const std::string_view text = TrimBlanks(reply);
    const std::string_view trimmedKey = TrimBlanks(key);
    if (trimmedKey.empty())
        return finish(false);
    const std::size_t keyAt = text.find(trimmedKey);
    if (keyAt == std::string_view::npos)
        return finish(false);
    const std::size_t valueAt = keyAt + trimmedKey.size();
    const std::size_t arrowAt = text.find(ValuePromptMarker, valueAt);
    // A key with no "-->" after it is an earlier value line, not the one asked for.
    if (arrowAt == std::string_view::npos)
        return finish(false);
    value = LeadingDecimalValue(text.substr(valueAt, arrowAt - valueAt));
    return finish(true);
}

}  // namespace k400
