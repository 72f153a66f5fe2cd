// Fixed texts of the main window: product name, input messages, help, sample.
#pragma once

#include "symbols/symbol_messages.h"

namespace quillion {

inline constexpr char16_t kProductName[] = u"Quillion";

inline constexpr char16_t kHelpText[] = u"Questions? Please contact the Velmorrow support team at "
                                        u"https://velmorrow.example/contact";
inline constexpr char16_t kSampleText[] = u"Coca Cola 12pk $6.99";

inline constexpr char16_t kSaveDialogTitle[] =
    u"Add File(s) - Hold Ctrl or Shift to select multiple files";
inline constexpr char16_t kSaveDialogFilter[] = u"JPEG Files (*.jpg)|*.jpg|";

} // namespace quillion
