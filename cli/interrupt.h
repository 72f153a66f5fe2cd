// SIGINT, SIGTERM and SIGHUP as a request to stop: while an InterruptWatch lives, the first of
// them is recorded instead of ending the program, so that work in progress can finish cleanly.
#pragma once

namespace quillion::cli {

class InterruptWatch {
public:
    // Installs the handlers (a second signal of the same kind acts as usual at once; a blocking
    // read or wait is interrupted rather than resumed). A signal that is ignored stays ignored.
    InterruptWatch();
    // Puts the previous handlers back.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // The signal received so far, or 0.
    static int Received();
    static bool Interrupted() { return Received() != 0; }
};

} // namespace quillion::cli
