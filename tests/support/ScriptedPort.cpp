#include "support/ScriptedPort.h"

#include <algorithm>

namespace k400::test {

ScriptedPort::Exchange& ScriptedPort::Exchange::reply(std::string text, int delayMs)
{
    pieces_.push_back({delayMs, std::move(text)});
    return *this;
}

ScriptedPort::Exchange& ScriptedPort::Exchange::replyPieces(std::vector<std::string> pieces, int gapMs,
                                                            int firstDelayMs)
{
    int delay = firstDelayMs;
    for (std::string& piece : pieces) {
        pieces_.push_back({delay, std::move(piece)});
        delay += gapMs;
    }
    return *this;
}

ScriptedPort::Exchange& ScriptedPort::Exchange::replyTrickle(std::string_view text, int msPerChar, int firstDelayMs)
{
    int delay = firstDelayMs;
    for (char c : text) {
        pieces_.push_back({delay, std::string(1, c)});
        delay += msPerChar;
    }
    return *this;
}

ScriptedPort::ScriptedPort(FakeClock& clock, std::string name) : clock_(clock), name_(std::move(name)) {}

ScriptedPort::Exchange& ScriptedPort::expectLine(std::string line)
{
    exchanges_.emplace_back();
    exchanges_.back().line_ = std::move(line);
    return exchanges_.back();
}

void ScriptedPort::expectTranscript(std::string_view transcript)
{
    Exchange* current = nullptr;
    std::string reply;
    bool haveReply = false;
    const auto flush = [&] {
        if (!haveReply)
            return;
        if (current != nullptr)
            current->reply(reply);
        else
            deliverNow(reply);
        reply.clear();
        haveReply = false;
    };
    while (!transcript.empty()) {
        const std::size_t end = transcript.find('\n');
        std::string_view line = transcript.substr(0, end);
        transcript.remove_prefix(end == std::string_view::npos ? transcript.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const std::string_view text = line.size() > 2 ? line.substr(2) : std::string_view();
        if (line.front() == '>') {
            flush();
            current = &expectLine(std::string(text));
        } else if (line.front() == '<') {
            if (haveReply)
                reply += "\r\n";
            reply += text;
            haveReply = true;
        } else {
            problems_.push_back("transcript line is neither \"> \" nor \"< \": " + std::string(line));
        }
    }
    flush();
}

void ScriptedPort::setFallback(std::function<std::optional<std::string>(std::string_view)> fallback)
{
    fallback_ = std::move(fallback);
}

void ScriptedPort::deliverAt(std::int64_t atMs, std::string text)
{
    schedule(atMs, std::move(text));
}

void ScriptedPort::deliverNow(std::string text)
{
    schedule(clock_.nowMs(), std::move(text));
}

void ScriptedPort::schedule(std::int64_t atMs, std::string text)
{
    // Stable: pieces due at the same time keep their order.
    const auto at = std::upper_bound(scheduled_.begin(), scheduled_.end(), atMs,
                                     [](std::int64_t t, const Scheduled& s) { return t < s.atMs; });
    scheduled_.insert(at, {atMs, std::move(text)});
}

void ScriptedPort::releaseDue()
{
    const std::int64_t now = clock_.nowMs();
    auto it = scheduled_.begin();
    while (it != scheduled_.end() && it->atMs <= now) {
        input_ += it->text;
        ++it;
    }
    scheduled_.erase(scheduled_.begin(), it);
}

std::string ScriptedPort::written() const
{
    std::string all;
    for (const Write& w : writes_)
        all += w.data;
    return all;
}

std::vector<std::string> ScriptedPort::writtenLines() const
{
    std::vector<std::string> lines;
    std::string current;
    for (char c : written()) {
        if (c == '\r') {
            lines.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    return lines;
}

std::string ScriptedPort::report() const
{
    std::string text;
    for (const std::string& problem : problems_)
        text += problem + "\n";
    for (std::size_t i = next_; i < exchanges_.size(); ++i)
        text += "expected line never written: \"" + exchanges_[i].line_ + "\"\n";
    return text;
}

PortOpenError ScriptedPort::open()
{
    ++openCalls_;
    if (openResult.ok() && !openLeavesClosed)
        open_ = true;
    return openResult;
}

std::size_t ScriptedPort::inputCount()
{
    releaseDue();
    return input_.size();
}

std::size_t ScriptedPort::outputCount()
{
    ++outputCountReadings_;
    if (outputStuckReadings < 0)
        return 1;
    if (readingsSinceWrite_ < outputStuckReadings) {
        ++readingsSinceWrite_;
        return 1;
    }
    return 0;
}

LineWriter ScriptedPort::lineWriter()
{
    if (!offersLineWriter)
        return {};
    return [this](std::string_view data) {
        write(data);
        return open_;
    };
}

void ScriptedPort::write(std::string_view data)
{
    if (!open_) {
        problems_.push_back("write on a closed port: \"" + std::string(data) + "\"");
        return;
    }
    writes_.push_back({clock_.nowMs(), std::string(data)});
    readingsSinceWrite_ = 0;
    for (char c : data) {
        if (c == '\r') {
            const std::string line = partialLine_;
            partialLine_.clear();
            lineComplete(line);
        } else {
            partialLine_ += c;
        }
    }
}

void ScriptedPort::lineComplete(const std::string& line)
{
    const std::int64_t now = clock_.nowMs();
    if (next_ < exchanges_.size() && exchanges_[next_].line_ == line) {
        for (const Exchange::Piece& piece : exchanges_[next_].pieces_)
            schedule(now + piece.delayMs, piece.text);
        ++next_;
        return;
    }
    if (fallback_) {
        if (auto answer = fallback_(line))
            schedule(now, std::move(*answer));
        return;
    }
    if (next_ < exchanges_.size())
        problems_.push_back("expected line \"" + exchanges_[next_].line_ + "\", written \"" + line + "\"");
    else
        problems_.push_back("unexpected line after the script: \"" + line + "\"");
}

std::string ScriptedPort::readAll()
{
    ++reads_;
    releaseDue();
    std::string data;
    data.swap(input_);
    if (readCostMs > 0)
        clock_.advance(readCostMs);
    return data;
}

void ScriptedPort::clearInput()
{
    releaseDue();
    discarded_ += input_;
    input_.clear();
}

bool ScriptedPort::waitForInput(int timeoutMs)
{
    ++waitCalls_;
    releaseDue();
    if (!input_.empty())
        return true;
    const std::int64_t now = clock_.nowMs();
    const std::int64_t limit = now + std::max(timeoutMs, 0);
    if (!scheduled_.empty() && scheduled_.front().atMs <= limit) {
        clock_.advance(std::max<std::int64_t>(scheduled_.front().atMs - now, 0));
        releaseDue();
        return true;
    }
    clock_.advance(limit - now);
    return false;
}

}  // namespace k400::test
