// Holds the product build against the reference build for one project.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "reference/project_generator.h"

namespace lintrel::reference {

// The first difference between product and reference (finished lines,
// source lines, label table, error, output file), or nothing when they agree.
std::optional<std::string> compareWithProduct(const GeneratedProject& project);

// Drops lines and trims characters while the difference persists, so a
// failure report shows a small project.
GeneratedProject shrinkMismatch(GeneratedProject project);

// Seed, difference and the shrunken project, ready to print.
std::string describeMismatch(std::uint64_t seed, const GeneratedProject& project, const std::string& difference);

}  // namespace lintrel::reference
