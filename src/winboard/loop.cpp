// Command loop (placeholder until the driver is in place).
#include "winboard/driver.h"

namespace ormedan {

int RunEngine(Engine&, const StartUpOptions&) { return 0; }

}  // namespace ormedan
