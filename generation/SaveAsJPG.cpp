#include "SaveAsJPG.h"

#include "jpeg_library.h"
#include "runtime/runtime.h"
#include "runtime/whole_file.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace quillion {

namespace {

constexpr int kMaxQuality = 100; // the GDI+ encoder refuses a quality above 100

// The name as the file system takes it. A lone surrogate or a NUL has no place in a Linux path
// (the first cannot be written in UTF-8, the second would cut the name short): no name then.
std::optional<std::string> PathFromName(const std::u16string& name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t c = name[i];
        if (c == 0 || (c >= 0xDC00 && c <= 0xDFFF)) {
            return std::nullopt;
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= name.size() || name[i + 1] < 0xDC00 || name[i + 1] > 0xDFFF) {
                return std::nullopt;
            }
            c = 0x10000 + ((c - 0xD800) << 10) + (name[++i] - 0xDC00);
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

struct TjDestroy {
    void operator()(void* handle) const { TurboJpeg().call.tjDestroy(handle); }
};

bool ValidPicture(const Image& picture, std::uint8_t quality) {
    // GDI+ cannot make a bitmap without pixels.
    return picture.width > 0 && picture.height > 0 &&
           picture.pixels.size() == std::size_t(picture.width) * std::size_t(picture.height) &&
           quality <= kMaxQuality;
}

// Encodes the picture into jpeg (resized to the encoder's bound, then to the bytes written)
// with a resolution of dotsPerInch; returns the GDI+ status (0 for Ok).
int EncodeStatus(const Image& picture, std::uint8_t quality, std::vector<std::uint8_t>& jpeg,
                 int dotsPerInch) {
    if (!ValidPicture(picture, quality) || dotsPerInch < 1 || dotsPerInch > 0xFFFF) {
        return gdiplus_status::kInvalidParameter;
    }
    // Without libjpeg-turbo nothing can be encoded: the failure names the library.
    if (!TurboJpeg().Ready()) {
        throw RuntimeError(err::kInvalidCall, "Cannot save the image: " + TurboJpeg().problem);
    }
    const std::unique_ptr<void, TjDestroy> encoder(TurboJpeg().call.tjInitCompress());
    if (!encoder) {
        return gdiplus_status::kOutOfMemory;
    }
    const unsigned long bound =
        TurboJpeg().call.tjBufSize(picture.width, picture.height, TJSAMP_444);
    if (bound == static_cast<unsigned long>(-1)) {
        return gdiplus_status::kInvalidParameter;
    }
    jpeg.resize(bound);
    // Pixels are 0xFFRRGGBB words: B, G, R, X in memory on a little-endian machine.
    constexpr int kFormat = std::endian::native == std::endian::little ? TJPF_BGRX : TJPF_XRGB;
    unsigned char* buffer = jpeg.data();
    unsigned long size = bound;
    // Quality 0 means the coarsest tables, which libjpeg gives for 1.
    const int tjQuality = quality == 0 ? 1 : quality;
    // 4:4:4 keeps every colour edge of a thin bar; baseline JFIF (no progressive flag). The
    // buffer holds the largest possible result, so the encoder never reallocates it.
    const int rc = TurboJpeg().call.tjCompress2(
        encoder.get(), reinterpret_cast<const unsigned char*>(picture.pixels.data()), picture.width,
        0, picture.height, kFormat, &buffer, &size, TJSAMP_444, tjQuality, TJFLAG_NOREALLOC);
    if (rc != 0) {
        const char* message = TurboJpeg().call.tjGetErrorStr2(encoder.get());
        const bool memory = message != nullptr && std::strstr(message, "memory") != nullptr;
        return memory ? gdiplus_status::kOutOfMemory : gdiplus_status::kGenericError;
    }
    jpeg.resize(size);
    // The JFIF header: SOI, APP0 marker and length, "JFIF\0", version (2 bytes), then the unit
    // (1: dots per inch) and the horizontal and vertical density (2 bytes each, big-endian).
    static constexpr unsigned char kJfifStart[] = {0xFF, 0xD8, 0xFF, 0xE0};
    if (size < 18 || std::memcmp(jpeg.data(), kJfifStart, 4) != 0 ||
        std::memcmp(jpeg.data() + 6, "JFIF", 5) != 0) {
        return gdiplus_status::kGenericError;
    }
    jpeg[13] = 1;
    jpeg[14] = jpeg[16] = static_cast<std::uint8_t>(dotsPerInch >> 8);
    jpeg[15] = jpeg[17] = static_cast<std::uint8_t>(dotsPerInch & 0xFF);
    return 0;
}

[[noreturn]] void RaiseSaveError(int status) {
    throw RuntimeError(err::kInvalidCall,
                       "Cannot save the image. GDI+ Error:" + std::to_string(status));
}

// Encodes and writes the picture; returns the GDI+ status (0 for Ok).
int SaveStatus(const Image& picture, const std::u16string& fileName, std::uint8_t quality) {
    // GDI+ takes no empty name.
    if (!ValidPicture(picture, quality) || fileName.empty()) {
        return gdiplus_status::kInvalidParameter;
    }
    const std::optional<std::string> path = PathFromName(fileName);
    if (!path) {
        return gdiplus_status::kInvalidParameter;
    }
    std::vector<std::uint8_t> jpeg;
    if (const int status = EncodeStatus(picture, quality, jpeg, kScreenDotsPerInch); status != 0) {
        return status;
    }
    const int error = WriteFileContents(*path, jpeg.data(), jpeg.size());
    if (error == ENOMEM) {
        return gdiplus_status::kOutOfMemory;
    }
    return error == 0 ? 0 : gdiplus_status::kWin32Error;
}

} // namespace

void SavePictureAsJpeg(const Image& picture, const std::u16string& fileName, std::uint8_t quality) {
    if (const int status = SaveStatus(picture, fileName, quality); status != 0) {
        RaiseSaveError(status);
    }
}

void EncodePictureAsJpeg(const Image& picture, std::uint8_t quality,
                         std::vector<std::uint8_t>& jpeg, int dotsPerInch) {
    if (const int status = EncodeStatus(picture, quality, jpeg, dotsPerInch); status != 0) {
        RaiseSaveError(status);
    }
}

} // namespace quillion
