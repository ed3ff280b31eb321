// Opening exactly the file that a look at an entry found. Platform-internal.
#pragma once

namespace rt {

// Opens for reading, through its own link in /proc, the very file an O_PATH descriptor
// looks at, whatever its name stands for by now; never blocks nor takes a terminal. -1 on
// failure, with errno ENOENT where there is no /proc.
int ReopenForReading(int look);

}  // namespace rt
