// The exceptions that the runtime units raise for bad input, in one place so
// that every reader reports the same way.
#pragma once

// A compressed block or stream that no writer can have produced.
[[noreturn]] void QCLRaiseCorruptBlock();
