// Writes input definitions ("scrin.jsc") as the "LI" list the input form
// reads: the 164-byte header, then one 392-byte record per control.
#pragma once
#include <string>
#include <vector>

#include "screens/InputDef.h"

class CMyLine;

// Fills `list` with the header (its first-control index set to 1 and its
// count to the number of controls) and the control records.
void BuildInputDefList(const jsc::Header& header, const std::vector<jsc::Control>& controls, CMyLine& list);
[[nodiscard]] std::string InputDefFileBytes(const jsc::Header& header,
                                            const std::vector<jsc::Control>& controls);
// Writes the file atomically. 0, -1 when it could not be written.
[[nodiscard]] int WriteInputDefFile(const std::string& path, const jsc::Header& header,
                                    const std::vector<jsc::Control>& controls);
