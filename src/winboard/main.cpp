// Program entry (the real stream, clock and random wiring comes with the driver).
#include <memory>

#include "winboard/driver.h"

int main() { return 0; }
