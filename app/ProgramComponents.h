#pragma once
// Makes the program's own component classes known to the layout reader.

namespace kelpo {

// Safe to call more than once.
void RegisterProgramComponents();

}  // namespace kelpo
