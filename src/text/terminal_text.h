// Text bound for a terminal. A project line or a path may hold any byte; an
// ESC sequence printed raw retitles or clears the terminal, and a line of
// megabytes floods it. Control characters are shown as "\x1b" escapes and an
// echoed source line is cut around the place it points at.
#pragma once

#include <string>
#include <string_view>

namespace lintrel {

// `utf8` with each control character shown as "\xNN": the bytes below 0x20
// but TAB, 0x7F, and the C1 controls U+0080 to U+009F (NN their code point).
// A byte that is not part of valid UTF-8 is shown as "\xNN" of its value.
std::string escapeControls(std::string_view utf8);

// A code page 1250 source line and the mark line under it, both in UTF-8.
struct EchoedLine {
    std::string text;   // control characters escaped; "…" where it was cut
    std::string marks;  // "^" under `column`, "~" under each further selected character
};

inline constexpr int kEchoedColumns = 200;

// The line as a diagnostic shows it: a line wider than `width` columns is
// cut to `width` columns around the caret, "…" standing at each cut end.
// An escape is four columns wide, every other character (TAB too) one; the
// mark line keeps the line's TABs so that the caret lines up under any tab
// width. `column` counts bytes from 0; a column past the end marks the end.
EchoedLine echoSourceLine(std::string_view line, int column, int length, int width = kEchoedColumns);

}  // namespace lintrel
