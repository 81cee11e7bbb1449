// The libFuzzer entry point of one target: KELVORA_FUZZ_CHECK names the check
// of checks.h that the target runs. A fault the check reports ends the run
// like a crash, so libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

#include "checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault = kelvora::fuzz::KELVORA_FUZZ_CHECK(kelvora::fuzz::Input(data, size));
    if (!fault.empty()) {
        std::fprintf(stderr, "fault: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
