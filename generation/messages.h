// Fixed texts of the main window: product name, input messages, help, sample.
#pragma once

namespace quillion {

inline constexpr char16_t kProductName[] = u"Quillion";

inline constexpr char16_t kMsgNotNumeric[] = u"Barcode must be all numeric";
inline constexpr char16_t kMsgUpcALength[] = u"Barcode me be 12 digit";
inline constexpr char16_t kMsgUpcELength[] = u"Barcode me be 6 digit";
// Followed by the right check digit.
inline constexpr char16_t kMsgUpcACheckDigit[] = u"Barcode check digit must be ";
inline constexpr char16_t kMsgCode39Characters[] =
    u"Barcode must use only 0-9, A-Z, space and - . $ / + %";
inline constexpr char16_t kHelpText[] = u"Questions? Please contact the Velmorrow support team at "
                                        u"https://velmorrow.example/contact";
inline constexpr char16_t kSampleText[] = u"Coca Cola 12pk $6.99";

inline constexpr char16_t kSaveDialogTitle[] =
    u"Add File(s) - Hold Ctrl or Shift to select multiple files";
inline constexpr char16_t kSaveDialogFilter[] = u"JPEG Files (*.jpg)|*.jpg|";

} // namespace quillion
