// The content checks that the GS1 Barcode Syntax Dictionary names for an AI's components.
#pragma once

#include "symbols/gs1_ai_table.h"

#include <string>
#include <string_view>

namespace quillion {

// Why a component's data (already in its character set) fails the check, "" when it passes.
std::string Gs1LintProblem(Gs1Lint lint, std::string_view data);

// Whether the character belongs to the set: 'N', 'X' (CSET 82), 'Y' (CSET 39), 'Z' (CSET 64).
bool InGs1Set(char set, char16_t c);

} // namespace quillion
