#pragma once
// The paced send-and-expect dialogue with the gateway console.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "platform/SerialPort.h"
#include "platform/SharedPacer.h"
#include "platform/UserInterface.h"

namespace k400 {

// How the link paces and waits; one value, copied whole wherever a link is made.
struct LinkTiming {
    int ConsoleTimeoutMs = 1000;  // an ordinary reply
    int PaceMs = 5;               // pause after each character and after the line
    // Recovery steps wait out the whole time-out, and ScanAndWait starts
    // without first letting the line go quiet.
    bool StrictTiming = false;
    int SettleMs = 50;  // quiet line that ends an answered recovery step
};

// One exchange with the console as the link ran it: what was sent, what was
// awaited and how it ended. Kept for the last step (to say where a dialogue
// failed) and handed to an observer for each step (traces, transcripts).
struct LinkStep {
    enum class Kind { Expect, Ignored, Scan, ReadValue };
    Kind kind = Kind::Expect;
    std::string command;
    std::string marker;  // "-->" and the key for ReadValue
    bool ok = false;
    std::int64_t elapsedMs = 0;
};

class ConsoleLink {
public:
    ConsoleLink(SerialPort& port, Clock& clock, UserInterface& ui, LinkTiming timing = {});

    // Every primitive: throws away input already waiting, sends the command one
    // character per pacing pause and then a carriage return (no line feed),
    // waits for the transmit queue (at most 10 nonzero readings), pauses once
    // more and collects the reply. Each piece read is trimmed of blanks
    // (spaces, tabs, CR, LF) before it is appended; the marker is looked for
    // only when nothing more is waiting. False on a closed port (also one
    // that closes while the reply is awaited: at once, not at the time-out),
    // a queue that does not drain, a time-out, or a reply beyond 1 MiB.

    // Waits up to ConsoleTimeoutMs from the start of waiting (text arriving
    // does not extend it). On true, ReplyText holds the reply cut before the
    // first marker. No window events while waiting.
    bool SendAndExpect(std::string_view command, std::string_view marker);
    // "/scan", waiting for "[COM" + portNumberText + ":]"; the limit is
    // 15 x ConsoleTimeoutMs of silence, restarted by every piece. Window
    // events run all through the wait.
    // Unless StrictTiming, it first lets the line go quiet (SettleMs, at most
    // one time-out): a prompt still arriving for the step before would end
    // the scan at once with an empty listing.
    bool ScanAndWait(std::string_view portNumberText);
    // Waits for "-->" as SendAndExpect waits, then reads the number between
    // the (trimmed) key and the next "-->". False when the key is empty or
    // missing, even though "-->" came. Leaves ReplyText alone. Unlike the
    // other two, lets no window events run while the transmit queue drains.
    bool SendAndReadValue(std::string_view command, std::string_view key, double& value);
    // A recovery step whose answer nobody needs. Unless StrictTiming, it also
    // ends (false) once the console has shown a prompt after the step's echo
    // and the line has then been quiet for SettleMs, instead of waiting out
    // the time-out for a marker that cannot come because the console is
    // already where the step would bring it. An echo alone is no answer: on a
    // slow console the reply may still be on its way, and would end up in
    // the next step's reply; so without a prompt the step waits its full
    // time-out.
    bool SendIgnored(std::string_view command, std::string_view marker);

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    UserInterface& ui() { return ui_; }

    std::string ReplyText;
    LinkTiming Timing;
    // Called after every step, whatever its result.
    std::function<void(const LinkStep&)> StepObserver;
    // A pacer shared with other sessions (a batch) sends the lines, when its
    // pace is the link's and the port can be written from its thread. No
    // window events run while it sends: only front ends without a window set it.
    SharedPacer* Pacer = nullptr;
    const LinkStep& LastStep() const { return last_; }

private:
    // Pacing pause: lets window events run, then sleeps PaceMs.
    void pace();
    // Discards waiting input, sends the command paced and its CR, waits for the
    // transmit queue to drain; false when it does not.
    bool sendLine(std::string_view command, bool pumpWhileDraining);
    // Appends trimmed pieces to text until the receive queue is empty and the
    // marker is in it. scan: inactivity limit of 15 time-outs, events pumped.
    // settleMs > 0: also false once a prompt arrived after the echo of
    // `command` and the line has been quiet that long.
    bool collectUntil(std::string& text, std::string_view marker, bool scan, int settleMs = 0,
                      std::string_view command = {});
    // Drops input until the line has been quiet for SettleMs (at most one time-out).
    void discardUntilQuiet();

    // Records the step that began at startMs and tells the observer.
    bool finishStep(LinkStep::Kind kind, std::string_view command, std::string marker, std::int64_t startMs, bool ok);

    SerialPort& port_;
    Clock& clock_;
    UserInterface& ui_;
    LinkStep last_;
    SharedPacer::Sender paced_;  // this session's last byte Pacer sent
};

}  // namespace k400
