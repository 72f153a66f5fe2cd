#include "interrupt.h"

#include <atomic>
#include <csignal>

namespace quillion::cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
std::atomic<int> received{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction previous[std::size(kSignals)];

extern "C" void OnSignal(int signal) {
    int none = 0;
    received.compare_exchange_strong(none, signal);
}

} // namespace

InterruptWatch::InterruptWatch() {
    received = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND; // no SA_RESTART: a blocking read returns EINTR
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        // A signal ignored by whoever started us (nohup, a background job) stays ignored.
        sigaction(kSignals[i], nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN)
            sigaction(kSignals[i], &action, nullptr);
    }
}

InterruptWatch::~InterruptWatch() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous[i], nullptr);
}

int InterruptWatch::Received() {
    return received.load();
}

} // namespace quillion::cli
