// The process entry.
#include <cstdlib>

#include "app/startup.h"

int main() { std::exit(quorvane::main()); }
