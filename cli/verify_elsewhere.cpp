// The reader's side of verify.h for the static quillion-render, which has no reader: a run
// with --verify is handed to quillion-render-verify before any picture is made.
#include "verify.h"

namespace quillion::cli {

bool ReaderLinkedIn() {
    return false;
}

std::string VerifyPicture(const Image&, Symbology, std::u16string_view, bool) {
    return "cannot be read back: this program has no barcode reader (quillion-render-verify has)";
}

std::string VerifyLinearPicture(const Image& picture, const LinearOptions&,
                                std::u16string_view text, bool turned) {
    return VerifyPicture(picture, Symbology::None, text, turned);
}

} // namespace quillion::cli
