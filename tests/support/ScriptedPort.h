#pragma once
// A serial port that plays a scripted console dialogue on the fake clock.
//
//   FakeClock clock;
//   ScriptedPort port(clock);
//   port.expectLine("el 40").reply("Long(40)=28573732-->");
//   port.expectLine("28573732").replyPieces({"Long(4", "4)=20-->"}, 3);
//   ... run the code under test ...
//   EXPECT_TRUE(port.scriptFollowed()) << port.report();
//
// Every write is recorded with the fake time it happened at. Replies are
// scheduled relative to the carriage return that ends the expected line and
// become readable when the fake clock reaches them; waitForInput advances the
// clock to the next scheduled piece (or by its whole time-out) instead of
// sleeping, so time-outs of many seconds run instantly and exactly.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <thread>

#include "platform/SerialPort.h"
#include "support/FakeClock.h"

namespace k400::test {

class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(FakeClock& clock, std::string name = "COM1");

    // One expected command line and the console's answer to it.
    class Exchange {
    public:
        // Text readable delayMs after the line's carriage return was written.
        Exchange& reply(std::string text, int delayMs = 0);
        // Pieces readable one by one, gapMs apart, the first after firstDelayMs;
        // each piece is a read of its own unless the reader lags behind.
        Exchange& replyPieces(std::vector<std::string> pieces, int gapMs, int firstDelayMs = 0);
        // The text one character per msPerChar (a console that is still
        // printing); the first character after firstDelayMs.
        Exchange& replyTrickle(std::string_view text, int msPerChar, int firstDelayMs = 0);

    private:
        friend class ScriptedPort;
        struct Piece {
            int delayMs;
            std::string text;
        };
        std::string line_;
        std::vector<Piece> pieces_;
    };

    // Expected command lines, in order (without the carriage return). A line
    // with no reply gets no answer, as from a console that is not listening.
    Exchange& expectLine(std::string line);
    // A whole dialogue as a transcript, one line each:
    //   > exit                 expected command line (">" alone: the empty line)
    //   < K400E>               console output; consecutive "<" lines are joined
    //                          with CR LF into one reply
    //   # comment, blank lines ignored
    // Output before the first ">" is waiting input right away.
    void expectTranscript(std::string_view transcript);
    // Answers lines that do not match the next expectation (or come after the
    // script's end) instead of recording them as problems; return nothing to
    // stay silent.
    void setFallback(std::function<std::optional<std::string>(std::string_view line)> fallback);

    // Unsolicited input: readable from the given fake time on / right away.
    void deliverAt(std::int64_t atMs, std::string text);
    void deliverNow(std::string text);

    struct Write {
        std::int64_t atMs;
        std::string data;
        std::thread::id thread = std::this_thread::get_id();
    };
    const std::vector<Write>& writes() const { return writes_; }
    std::string written() const;
    // Complete lines written, carriage returns removed.
    std::vector<std::string> writtenLines() const;

    // All expectations met, nothing unexpected written.
    bool scriptFollowed() const { return problems_.empty() && next_ == exchanges_.size(); }
    const std::vector<std::string>& problems() const { return problems_; }
    // What went wrong, for a test's failure message.
    std::string report() const;

    // outputCount() is nonzero for this many readings after each write;
    // -1 keeps the transmit queue full for ever.
    int outputStuckReadings = 0;
    // Fake time each readAll() takes (a line still arriving while it is read).
    int readCostMs = 0;
    // lineWriter() offers write() to a shared pacer.
    bool offersLineWriter = false;
    // What open() answers; openLeavesClosed makes it report success without opening.
    PortOpenError openResult;
    bool openLeavesClosed = false;

    int openCalls() const { return openCalls_; }
    int outputCountReadings() const { return outputCountReadings_; }
    int waitCalls() const { return waitCalls_; }
    int reads() const { return reads_; }
    // Bytes that were waiting and thrown away by clearInput().
    const std::string& discarded() const { return discarded_; }

    // SerialPort
    void setPortName(const std::string& name) override { name_ = name; }
    std::string portName() const override { return name_; }
    PortOpenError open() override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    std::size_t inputCount() override;
    std::size_t outputCount() override;
    void write(std::string_view data) override;
    std::string readAll() override;
    void clearInput() override;
    bool waitForInput(int timeoutMs) override;
    LineWriter lineWriter() override;

private:
    struct Scheduled {
        std::int64_t atMs;
        std::string text;
    };
    void schedule(std::int64_t atMs, std::string text);
    void releaseDue();
    void lineComplete(const std::string& line);

    FakeClock& clock_;
    std::string name_;
    bool open_ = false;
    std::deque<Exchange> exchanges_;  // deque: references from expectLine stay valid
    std::size_t next_ = 0;
    std::function<std::optional<std::string>(std::string_view)> fallback_;
    std::vector<Scheduled> scheduled_;  // ordered by time
    std::string input_;
    std::string partialLine_;
    std::vector<Write> writes_;
    std::vector<std::string> problems_;
    std::string discarded_;
    int readingsSinceWrite_ = 0;
    int openCalls_ = 0;
    int outputCountReadings_ = 0;
    int waitCalls_ = 0;
    int reads_ = 0;
};

}  // namespace k400::test
