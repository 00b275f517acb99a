// Exceptions raised by the runtime units for bad input.
#include "qclerrors.h"

#include <stdexcept>

void QCLRaiseCorruptBlock() { throw std::runtime_error("Corrupt compressed data"); }
