// The whole-file writer lives in the engine's runtime part (runtime/whole_file.h), shared by the
// pictures, the settings file and the font caches; this name stays for the files that include it.
#pragma once

#include "runtime/whole_file.h"
