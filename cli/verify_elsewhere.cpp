// The reader's side of verify.h for the static quillion-render, which has no reader: a run
// with --verify is handed to quillion-render-verify before any picture is made.
#include "verify.h"

namespace quillion::cli {

bool ReaderLinkedIn() {
    return false;
}

std::string VerifyPicture(const Image&, const VerifyTarget&) {
    return "cannot be read back: this program has no barcode reader (quillion-render-verify has)";
}

} // namespace quillion::cli
