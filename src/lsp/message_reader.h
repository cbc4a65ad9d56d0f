// The base protocol's framing: header lines ("Content-Length: N"), an empty
// line, then N bytes of JSON. The reader is fed whatever bytes arrive and
// hands out whole message bodies; it does no I/O of its own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lintrel::lsp {

// The largest body taken in; a longer one is skipped unread, with a problem.
inline constexpr std::size_t kMessageLimit = 64 * 1024 * 1024;
// The longest header line; a longer one is no header.
inline constexpr std::size_t kHeaderLineLimit = 8 * 1024;

struct ReadEvent {
    enum class Kind { Message, Problem };
    Kind kind = Kind::Message;
    std::string text;  // the body, or what was wrong with the framing
};

class MessageReader {
public:
    void feed(std::string_view bytes);
    // The next message or framing problem, or nullopt until more bytes come.
    std::optional<ReadEvent> next();
    // True when bytes of an unfinished message are waiting, as when the
    // input ends inside one.
    bool midMessage() const;

private:
    std::optional<ReadEvent> readHeaders();
    void takeHeader(std::string_view line);
    std::optional<ReadEvent> endBlock();
    std::optional<ReadEvent> readBody();

    std::string buffer_;  // bytes not yet taken, from `start_` on
    std::size_t start_ = 0;
    std::size_t searched_ = 0;  // bytes after start_ known to hold no line end
    bool inBody_ = false;
    std::size_t bodyLength_ = 0;
    // The header block being read.
    bool headerSeen_ = false;
    std::optional<std::size_t> length_;
    bool lengthBroken_ = false;  // a Content-Length that cannot be trusted
    std::string blockProblem_;   // the first thing wrong with it
    // Input being dropped: the rest of an over-long body, or of a line too
    // long to be a header.
    std::size_t skipping_ = 0;
    bool dropLine_ = false;
};

// The message as the peer reads it: its header and the body.
std::string frameMessage(std::string_view body);

}  // namespace lintrel::lsp
