#include "lsp/message_reader.h"

#include <algorithm>
#include <limits>

namespace lintrel::lsp {

namespace {

constexpr std::string_view kContentLength = "content-length";
constexpr std::size_t kShownHeader = 60;  // of a bad header line, in a problem

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// A header line as a problem shows it: printable ASCII, the rest as "?".
std::string shown(std::string_view line) {
    std::string text;
    for (const char c : line.substr(0, kShownHeader)) text += (c >= 0x20 && c < 0x7F) ? c : '?';
    if (line.size() > kShownHeader) text += "...";
    return "\"" + text + "\"";
}

// Decimal digits only; a number past size_t saturates, as it is over the limit anyway.
std::optional<std::size_t> parseLength(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::size_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const std::size_t digit = static_cast<std::size_t>(c - '0');
        if (value > (std::numeric_limits<std::size_t>::max() - digit) / 10) {
            value = std::numeric_limits<std::size_t>::max();
        } else {
            value = value * 10 + digit;
        }
    }
    return value;
}

std::string tooLong() { return "a header line longer than " + std::to_string(kHeaderLineLimit) + " bytes"; }

ReadEvent problem(std::string text) { return {ReadEvent::Kind::Problem, std::move(text)}; }

}  // namespace

void MessageReader::feed(std::string_view bytes) {
    const std::size_t dropped = std::min(skipping_, bytes.size());
    skipping_ -= dropped;
    bytes.remove_prefix(dropped);
    if (dropLine_ && !bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        if (end == std::string_view::npos) return;
        dropLine_ = false;
        bytes.remove_prefix(end + 1);
    }
    // Taken bytes are let go once they are the larger part of the buffer.
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
        buffer_.erase(0, start_);
        start_ = 0;
    }
    buffer_.append(bytes);
}

std::optional<ReadEvent> MessageReader::next() {
    return inBody_ ? readBody() : readHeaders();
}

std::optional<ReadEvent> MessageReader::readHeaders() {
    while (true) {
        const std::string_view rest = std::string_view(buffer_).substr(start_);
        // Bytes that arrive one by one are each looked at once.
        const std::size_t end = rest.find('\n', searched_);
        if (end == std::string_view::npos) {
            searched_ = rest.size();
            if (rest.size() <= kHeaderLineLimit) return std::nullopt;
            // No line this long is a header: drop it up to its end.
            buffer_.clear();
            start_ = 0;
            searched_ = 0;
            dropLine_ = true;
            headerSeen_ = true;
            if (blockProblem_.empty()) blockProblem_ = tooLong();
            continue;
        }
        std::string_view line = rest.substr(0, end);
        start_ += end + 1;
        searched_ = 0;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        // The same line fed in pieces would have been dropped before its end came.
        if (end > kHeaderLineLimit) {
            headerSeen_ = true;
            if (blockProblem_.empty()) blockProblem_ = tooLong();
            continue;
        }
        if (!line.empty()) {
            takeHeader(line);
            continue;
        }
        if (!headerSeen_) continue;  // blank lines between messages
        return endBlock();
    }
}

void MessageReader::takeHeader(std::string_view line) {
    headerSeen_ = true;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        if (blockProblem_.empty()) blockProblem_ = "a malformed header line " + shown(line);
        return;
    }
    if (!equalsIgnoringCase(trim(line.substr(0, colon)), kContentLength)) return;  // Content-Type and others
    const auto length = parseLength(trim(line.substr(colon + 1)));
    if (!length) {
        if (blockProblem_.empty()) blockProblem_ = "a Content-Length that is not a number: " + shown(line);
        lengthBroken_ = true;
    } else if (length_ && *length_ != *length) {
        if (blockProblem_.empty()) blockProblem_ = "two different Content-Length headers";
        lengthBroken_ = true;
    } else {
        length_ = length;
    }
}

std::optional<ReadEvent> MessageReader::endBlock() {
    const std::optional<std::size_t> length = lengthBroken_ ? std::nullopt : length_;
    std::string blockProblem = std::move(blockProblem_);
    headerSeen_ = false;
    length_.reset();
    lengthBroken_ = false;
    blockProblem_.clear();
    if (!length) {
        if (blockProblem.empty()) return problem("a message header without Content-Length; message skipped");
        return problem(blockProblem + "; message skipped");
    }
    if (*length > kMessageLimit) {
        // Dropped as it arrives, so that nothing of it is kept.
        const std::size_t available = buffer_.size() - start_;
        const std::size_t dropped = std::min(available, *length);
        start_ += dropped;
        skipping_ = *length - dropped;
        return problem("a message of " + std::to_string(*length) + " bytes is over the limit of " +
                       std::to_string(kMessageLimit / (1024 * 1024)) + " MB; message skipped");
    }
    inBody_ = true;
    bodyLength_ = *length;
    if (!blockProblem.empty()) return problem(blockProblem + "; header line ignored");
    return readBody();
}

std::optional<ReadEvent> MessageReader::readBody() {
    if (buffer_.size() - start_ < bodyLength_) return std::nullopt;
    ReadEvent event{ReadEvent::Kind::Message, buffer_.substr(start_, bodyLength_)};
    start_ += bodyLength_;
    inBody_ = false;
    return event;
}

bool MessageReader::midMessage() const {
    return inBody_ || headerSeen_ || skipping_ > 0 || start_ < buffer_.size();
}

std::string frameMessage(std::string_view body) {
    std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
    framed.append(body);
    return framed;
}

}  // namespace lintrel::lsp
