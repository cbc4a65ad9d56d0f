#include "editor/line_highlighter.h"

namespace lintrel {

namespace {

enum class State { Plain, Label, Directive, Number, Comment, String, Brace };

class LineColouring {
public:
    std::vector<ColourRun> runs;

    // Colours [r, i) with the run colour and starts the next run at i.
    void closeAt(int i) {
        add(r_, i - r_);
        r_ = i;
    }
    // Colours [r, i] with the run colour and starts the next run after i.
    void closeAfter(int i) {
        add(r_, i - r_ + 1);
        r_ = i + 1;
    }
    void enter(HighlightColour colour, State state) {
        colour_ = colour;
        state_ = state;
    }
    void step(char16_t ch, bool isDigit);
    void finish(int i) { add(r_, i - r_ + 1); }
    void setOffset(int i) { i_ = i; }

private:
    void add(int start, int length) {
        if (length <= 0) return;
        if (!runs.empty() && runs.back().colour == colour_ && runs.back().start + runs.back().length == start) {
            runs.back().length += length;
        } else {
            runs.push_back({start, length, colour_});
        }
    }

    int i_ = 0;
    int r_ = 0;
    HighlightColour colour_ = HighlightColour::Black;
    State state_ = State::Plain;
    HighlightColour savedColour_ = HighlightColour::Black;
    State savedState_ = State::Plain;
};

// The tests run in this order on one character; each sees the state the
// earlier ones left, which is why a "\" right after a digit starts nothing.
void LineColouring::step(char16_t ch, bool isDigit) {
    const int i = i_;
    if (ch == u'\\' && state_ == State::Plain) {
        closeAt(i);
        enter(HighlightColour::Blue, State::Label);
    }
    if (ch == u'&' && state_ == State::Plain) {
        closeAt(i);
        enter(HighlightColour::Purple, State::Directive);
    }
    if (isDigit && state_ == State::Plain) {
        closeAt(i);
        enter(HighlightColour::Green, State::Number);
    } else if (!isDigit && state_ == State::Number) {
        closeAt(i);
        enter(HighlightColour::Black, State::Plain);
    }
    if (ch == u'|' && state_ != State::Comment) {
        closeAt(i);
        enter(HighlightColour::LightGrey, State::Comment);
    }
    if (ch == u'"' && state_ == State::Plain) {
        closeAt(i);
        enter(HighlightColour::Orange, State::String);
    } else if (ch == u'"' && state_ == State::String) {
        closeAfter(i);
        enter(HighlightColour::Black, State::Plain);
    }
    if (ch == u'{') {
        closeAt(i);
        savedColour_ = colour_;  // one level only: a second "{" overwrites it
        savedState_ = state_;
        enter(HighlightColour::Red, State::Brace);
    } else if (ch == u'}') {
        closeAfter(i);
        enter(savedColour_, savedState_);
    }
    if ((ch == u' ' || ch == u'\t') && state_ == State::Label) {
        closeAt(i);
        enter(HighlightColour::Black, State::Plain);
    }
}

}  // namespace

std::vector<ColourRun> highlightLine(QStringView line) {
    const int n = static_cast<int>(line.size());
    LineColouring colouring;
    // Offset n is an appended blank, which ends a label or a number.
    for (int i = 0; i <= n; ++i) {
        const char16_t ch = i < n ? line[i].unicode() : u' ';
        colouring.setOffset(i);
        colouring.step(ch, ch >= u'0' && ch <= u'9');
    }
    colouring.finish(n + 1);
    return colouring.runs;
}

}  // namespace lintrel
