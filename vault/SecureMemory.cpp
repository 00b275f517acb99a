// The wipe itself: SecureZeroMemory, which the optimiser may not drop as a dead store.
#include "vault/SecureMemory.h"

#include <windows.h>

namespace {

WipeObserver& observer() {
    static WipeObserver instance;
    return instance;
}

}  // namespace

void secureWipe(void* data, std::size_t n) {
    if (!data || n == 0) return;
    SecureZeroMemory(data, n);
    if (observer()) observer()(data, n);
}

void setWipeObserverForTesting(WipeObserver o) { observer() = std::move(o); }
