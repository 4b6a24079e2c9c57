// The remove command's decision that needs no Windows API: what the restored shortcut holds.
#pragma once

#include "core/ProtectionRecord.h"
#include "core/ShortcutInfo.h"

// The shortcut as it is written back: the record's target, arguments and working directory,
// no description, and the protected shortcut's icon (the restored target when it names none).
ShortcutInfo RestoredShortcutInfo(const ShortcutInfo& protectedLink, const ProtectionRecord& record,
                                  const CommandLineParts& commandLine);
