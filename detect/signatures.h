// The signature rules: read from the program's enciphered rule resource into the rule table.
#pragma once

#include "platform/resources.h"

namespace kestrova::detect {

inline constexpr char kRulesResource[] = "CR_MEM";

// Appends the rules of the resource to the table the scan driver created; nothing on failure.
void LoadSignatureTable(platform::IResources& resources);

}  // namespace kestrova::detect
