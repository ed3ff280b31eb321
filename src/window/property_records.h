// The property records of the main window and its four controls: constant bytes, built when
// the program is compiled.
#pragma once

#include "platform/core/property_record.h"

namespace quorvane::PropertyRecords {

extern const rt::PropertyRecord Window1;       // 22 entries
extern const rt::PropertyRecord BevelButton1;  // 40 entries, 525 bytes
extern const rt::PropertyRecord Listbox1;      // 48 entries, 728 bytes
extern const rt::PropertyRecord Label4;        // 32 entries, 396 bytes
extern const rt::PropertyRecord TextArea1;     // 44 entries, 560 bytes

}  // namespace quorvane::PropertyRecords
