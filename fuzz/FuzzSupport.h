#pragma once
// A console that answers each command line with the next of a list of texts
// chosen by the fuzzer, on a fake clock so that every time-out passes at once.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "gateway/ConsoleLink.h"
#include "platform/SerialPort.h"
#include "support/FakeClock.h"
#include "support/RecordingUserInterface.h"

namespace k400::fuzz {

class ReplyPort final : public SerialPort {
public:
    explicit ReplyPort(test::FakeClock& clock) : clock_(clock) {}

    void setPortName(const std::string& name) override { name_ = name; }
    std::string portName() const override { return name_; }
    PortOpenError open() override
    {
        open_ = true;
        return {};
    }
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    std::size_t inputCount() override
    {
        release();
        return input_.size();
    }
    std::size_t outputCount() override { return 0; }
    void write(std::string_view data) override
    {
        for (char c : data) {
            if (c != '\r') {
                line_ += c;
                continue;
            }
            lines.push_back(line_);
            line_.clear();
            if (next_ < replies.size())
                schedule(replies[next_++]);
        }
    }
    std::string readAll() override
    {
        release();
        std::string all;
        all.swap(input_);
        return all;
    }
    void clearInput() override
    {
        release();
        input_.clear();
    }
    bool waitForInput(int timeoutMs) override
    {
        release();
        if (input_.empty()) {
            const std::int64_t limit = clock_.nowMs() + (timeoutMs > 0 ? timeoutMs : 1);
            const std::int64_t until = pending_.empty() ? limit : std::min(limit, pending_.front().first);
            clock_.advance(until - clock_.nowMs());
            release();
        }
        return !input_.empty();
    }

    std::vector<std::string> replies;  // one per command line, in order
    std::vector<std::string> lines;    // command lines received

private:
    // A reply arrives in small pieces, a millisecond apart, as from a serial line.
    void schedule(const std::string& text)
    {
        std::int64_t at = pending_.empty() ? clock_.nowMs() : pending_.back().first;
        for (std::size_t i = 0; i < text.size(); i += 7)
            pending_.emplace_back(++at, text.substr(i, 7));
    }
    void release()
    {
        while (!pending_.empty() && pending_.front().first <= clock_.nowMs()) {
            input_ += pending_.front().second;
            pending_.pop_front();
        }
    }

    test::FakeClock& clock_;
    std::deque<std::pair<std::int64_t, std::string>> pending_;
    std::string name_ = "COM1";
    std::string input_;
    std::string line_;
    std::size_t next_ = 0;
    bool open_ = false;
};

// Cuts the fuzzer's bytes into texts at each 0xFF byte.
inline std::vector<std::string> SplitReplies(const std::uint8_t* data, std::size_t size, std::size_t maxParts = 400)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF) {
            if (parts.size() >= maxParts)
                break;
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    return parts;
}

// No pacing pauses: on the fake clock they add nothing but time.
inline LinkTiming Unpaced()
{
    LinkTiming timing;
    timing.PaceMs = 0;
    return timing;
}

// A broken invariant is a crash for the fuzzer.
inline void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace k400::fuzz
