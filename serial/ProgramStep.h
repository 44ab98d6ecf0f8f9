#pragma once

namespace vantelo {

// What the program command is writing; each view says it in its own words.
enum class ProgramStep { Pod, MainMicro, IrMicro, SecondaryTable };

} // namespace vantelo
