// Arbitrary text as a controller-sim script: parsing must never crash, hang
// or overflow, and either succeeds with well-formed frames or names a line.
#include "sim_script.h"
#include "rvwire.h"

#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSimScript script;
    if (script.Parse(reinterpret_cast<const char*>(data), size)) {
        for (const SIM_SCRIPT_STEP& step : script.Steps()) {
            if (step.eKind != SIM_STEP_SEND)
                continue;
            // Every frame is a header plus exactly the data it announces.
            if (step.frame.size() < RV_HEADER_SIZE ||
                RVLoadHeader(step.frame.data()).uLength != step.frame.size() - RV_HEADER_SIZE)
                abort();
        }
    } else if (script.Error().compare(0, 5, "line ") != 0 || !script.Steps().empty()) {
        abort();
    }
    return 0;
}
