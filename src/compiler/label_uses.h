// Where a project's labels stand: every definition and every reference, by
// the notation's rules, for the editor's outline, its go to definition, find
// references and rename. A reference is a "\" in program text outside
// strings, remarks, DATA items and comments; it names the longest defined
// label (letter case ignored) that begins there.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/build.h"
#include "compiler/line_map.h"

namespace lintrel {

// One definition or reference. Columns and lengths count bytes of the line;
// the length includes the "\".
struct LabelUse {
    int line = 0;
    int column = 0;
    int length = 0;
    bool definition = false;
    int label = -1;  // index into LabelUses::labels; -1: a reference to nothing defined
};

struct LabelInfo {
    std::string name;  // as written, with its "\"
    int line = 0;      // 0-based line of the definition
    long long basicLine = -1;  // the number the build gives it; -1 (kNoBasicLine) without a platform
    std::size_t references = 0;
};

struct LabelUses {
    std::vector<LabelInfo> labels;  // in file order
    std::vector<LabelUse> uses;     // in file order
};

LabelUses findLabelUses(const std::vector<std::string>& projectLines, const BuildOptions& options);
// The same with the gutter's map of these lines already made.
LabelUses findLabelUses(const std::vector<std::string>& projectLines, const BasicLineMap& map);

// The label used at (line, column): the use that covers that byte or ends
// right before it, or nullptr.
const LabelUse* findLabelUseAt(const LabelUses& uses, int line, int column);

// What renaming one label changes: every site of the label, each to be
// replaced by `newName` (with its "\"), or the reason it cannot be done.
struct LabelRename {
    std::optional<std::string> refusal;  // text for the user
    std::vector<LabelUse> sites;
    std::string newName;
};

// `newName` may be typed with or without its "\". Refused: an empty or
// malformed name, a name already defined, and a name that begins another
// label's name or that another label's name begins (references to the one
// could then be read as the other), unless the old name did the same.
LabelRename planLabelRename(const LabelUses& uses, int label, std::string_view newName);

}  // namespace lintrel
