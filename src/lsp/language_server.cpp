#include "lsp/language_server.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "lsp/message_reader.h"

namespace lintrel::lsp {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kExitFailure = 1;

struct Connection {
    int input = -1;
    int output = -1;
    MessageReader reader;
    bool inputEnded = false;
    bool outputBroken = false;

    // Waits up to `timeoutMs` (-1: for ever) for input and feeds what came.
    void take(int timeoutMs) {
        pollfd watch{input, POLLIN, 0};
        const int ready = ::poll(&watch, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) return;
        if (ready <= 0) {
            if (ready < 0) inputEnded = true;
            return;
        }
        char buffer[kReadChunk];
        const ssize_t count = ::read(input, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) return;
        if (count <= 0) {
            inputEnded = true;
            return;
        }
        reader.feed(std::string_view(buffer, static_cast<std::size_t>(count)));
    }

    void write(const std::string& body) {
        const std::string framed = frameMessage(body);
        std::size_t done = 0;
        while (!outputBroken && done < framed.size()) {
            const ssize_t count = ::write(output, framed.data() + done, framed.size() - done);
            if (count < 0 && errno == EINTR) continue;
            if (count <= 0) {
                outputBroken = true;
                std::fprintf(stderr, "lintrelc lsp: cannot write to the client; stopping\n");
            }
            done += count > 0 ? static_cast<std::size_t>(count) : 0;
        }
    }
};

// Hands every whole message that has arrived to the server.
void deliver(Connection& connection, Server& server) {
    while (!server.ended() && !connection.outputBroken) {
        const auto event = connection.reader.next();
        if (!event) return;
        if (event->kind == ReadEvent::Kind::Message) {
            server.receive(event->text);
        } else {
            server.reportProblem(event->text);
        }
    }
}

int millisecondsUntil(Clock::time_point when) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(std::min<long long>(left, 60'000));
}

}  // namespace

int runLanguageServer(int input, int output, ServerSetup setup) {
    Connection connection;
    connection.input = input;
    connection.output = output;
    Server server(std::move(setup), [&connection](const std::string& body) { connection.write(body); });
    const auto running = [&] { return !server.ended() && !connection.inputEnded && !connection.outputBroken; };
    // Messages that arrived during a build go in before its result goes out.
    const auto takeWaitingInput = [&] {
        while (!connection.inputEnded) {
            pollfd watch{connection.input, POLLIN, 0};
            if (::poll(&watch, 1, 0) <= 0) break;
            connection.take(0);
        }
        deliver(connection, server);
    };
    while (running()) {
        deliver(connection, server);
        if (!running()) break;
        const auto due = server.nextBuild();
        if (due && *due <= Clock::now()) {
            server.runDueBuilds(Clock::now(), takeWaitingInput);
            continue;
        }
        connection.take(due ? millisecondsUntil(*due) : -1);
    }
    if (connection.outputBroken) return kExitFailure;
    if (server.ended()) return server.exitStatus();
    if (connection.inputEnded) {
        std::fprintf(stderr, connection.reader.midMessage() ? "lintrelc lsp: the input ended inside a message\n"
                                                            : "lintrelc lsp: the input ended before \"exit\"\n");
    }
    return kExitFailure;
}

}  // namespace lintrel::lsp
