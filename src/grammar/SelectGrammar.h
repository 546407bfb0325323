#pragma once
// The rule table of SELECT statements, loaded once into the grammar that every analysis uses.
#include "grammar/Grammar.h"

namespace marlix {

// Registers the SELECT rules into `grammar` in their fixed order (the order decides which
// alternative wins), sets the start rule "select_statement" and links.
void RegisterSelectRules(Grammar& grammar);

// The program's one SELECT grammar: built and linked on first use (thread-safe), read-only
// afterwards. Start-up calls it once so that the editor never pays for the build.
const Grammar& SelectGrammar();

} // namespace marlix
