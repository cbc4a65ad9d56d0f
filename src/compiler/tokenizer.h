// Passes 3 and 4: the tokenizer makes a program line's bytes from its pieces
// (token literals, keywords, upper case, Homelab names, characters through
// the table), and the character check stops a line holding a character the
// machine has no code for.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/assembler.h"
#include "compiler/diagnostic.h"
#include "compiler/platform_tables.h"

namespace lintrel::passes {

// The characters a line kept without a code, each once, in the order met.
class Untranslated {
public:
    void add(unsigned char c) {
        if (seen_[c]) return;
        seen_[c] = true;
        order_ += static_cast<char>(c);
    }
    bool empty() const { return order_.empty(); }
    std::string_view inOrder() const { return order_; }
    void clear() {
        for (const char c : order_) seen_[static_cast<unsigned char>(c)] = false;
        order_.clear();
    }

private:
    std::array<bool, 256> seen_{};
    std::string order_;
};

// Pass 3: the line's bytes, appended to `out`. On the platforms that store
// text, every token literal becomes the one byte it names and the rest is
// upper-cased.
void tokenizeLine(const PlatformTables& tables, const LinePieces& line, std::vector<unsigned char>& out,
                  Untranslated& untranslated);

// Pass 4: the first character of the line that has no code, as a diagnostic
// at its place in the source line.
std::optional<Diagnostic> checkCharacters(const Platform& platform, const Untranslated& untranslated,
                                          std::string_view source, const AssembledLine& assembled,
                                          int lineIndex);

}  // namespace lintrel::passes
