// The JPEG writer: what lands in the file (size, pixels, quality, a barcode that still scans)
// and what a failed save leaves behind (nothing new, an existing file untouched).
#include "SaveAsJPG.h"

#include "decode.h"
#include "paint_helpers.h"
#include "runtime/runtime.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <turbojpeg.h>

namespace fs = std::filesystem;
using quillion::Image;
using quillion::RuntimeError;
using quillion::SavePictureAsJpeg;
using quillion::testing::DecodeImage;

namespace {

using quillion::testing::TempFolder;

std::u16string Name(const fs::path& path) {
    const std::u8string u8 = path.u8string();
    std::u16string out;
    for (char8_t c : u8) {
        out += static_cast<char16_t>(c); // test paths are ASCII
    }
    return out;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

Image DecodeJpeg(const std::string& bytes) {
    tjhandle decoder = tjInitDecompress();
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    Image image;
    if (tjDecompressHeader3(decoder, data, bytes.size(), &width, &height, &subsampling,
                            &colorspace) == 0) {
        image = Image(width, height, 0);
        if (tjDecompress2(decoder, data, bytes.size(),
                          reinterpret_cast<unsigned char*>(image.pixels.data()), width, 0, height,
                          TJPF_BGRX, 0) != 0) {
            image = Image();
        }
    }
    tjDestroy(decoder);
    for (auto& p : image.pixels) {
        p |= 0xFF000000u;
    }
    return image;
}

double ChannelError(const Image& a, const Image& b, double* worst) {
    double sum = 0;
    *worst = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            const double d =
                std::abs(int((a.pixels[i] >> shift) & 0xFF) - int((b.pixels[i] >> shift) & 0xFF));
            sum += d;
            *worst = std::max(*worst, d);
        }
    }
    return sum / (3.0 * double(a.pixels.size()));
}

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
            out += buffer.data();
        }
        ::pclose(pipe);
    }
    return out;
}

void ExpectSaveError(const Image& picture, const std::u16string& name, int status, int row) {
    try {
        SavePictureAsJpeg(picture, name, 80);
        ADD_FAILURE() << "row " << row << ": no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Number(), 5) << "row " << row;
        EXPECT_EQ(e.Description(), "Cannot save the image. GDI+ Error:" + std::to_string(status))
            << "row " << row;
    }
}

struct BarcodeRow {
    int row;
    const char* symbology;
    std::u16string text;
    std::string format;
    std::string expected;
};

Image Paint(const BarcodeRow& r) {
    const std::string s = r.symbology;
    if (s == "Code128") {
        return quillion::testing::PaintCode128(r.text);
    }
    if (s == "Code39") {
        return quillion::testing::PaintCode39(r.text);
    }
    return quillion::testing::PaintUpcA(r.text);
}

TEST(SavePictureAsJpeg, WritesTheBarcodeAtQuality80AndItStillScans) {
    const BarcodeRow rows[] = {
        {1, "Code128", u"AB", "Code128", "AB"},
        {2, "Code128", u"Coca Cola 12pk $6.99", "Code128", "Coca Cola 12pk $6.99"},
        {3, "Code39", u"CODE 39-$/+%.", "Code39", "CODE 39-$/+%."},
        {4, "UpcA", u"036000291452", "UPC-A", "036000291452"},
    };
    for (const BarcodeRow& r : rows) {
        TempFolder folder;
        const Image picture = Paint(r);
        ASSERT_TRUE(DecodeImage(picture).ok) << "row " << r.row << ": the painted picture";
        const fs::path file = folder.Path() / "barcode.jpg";
        SavePictureAsJpeg(picture, Name(file), 80);

        const std::string bytes = ReadAll(file);
        ASSERT_GT(bytes.size(), 4u) << "row " << r.row;
        EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8") << "row " << r.row;
        EXPECT_EQ(bytes.substr(6, 5), std::string("JFIF\0", 5)) << "row " << r.row;
        EXPECT_NE(bytes.find("\xFF\xC0"), std::string::npos) << "row " << r.row << ": baseline";

        const Image decoded = DecodeJpeg(bytes);
        ASSERT_EQ(decoded.width, picture.width) << "row " << r.row;
        ASSERT_EQ(decoded.height, picture.height) << "row " << r.row;
        double worst = 0;
        const double mean = ChannelError(decoded, picture, &worst);
        EXPECT_LT(mean, 6.0) << "row " << r.row << " (worst " << worst << ")";

        const auto read = DecodeImage(decoded);
        EXPECT_TRUE(read.ok) << "row " << r.row;
        EXPECT_EQ(read.format, r.format) << "row " << r.row;
        EXPECT_EQ(read.text, r.expected) << "row " << r.row;

        EXPECT_EQ(RunCommand("identify -format %Q '" + file.string() + "' 2>&1"), "80")
            << "row " << r.row;
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{"barcode.jpg"}) << "row " << r.row;
    }
}

TEST(SavePictureAsJpeg, KeepsTheNameAsGivenAndTheUmaskPermissions) {
    TempFolder folder;
    const Image picture(40, 10, 0xFFFFFFFFu);
    const mode_t old = ::umask(027);
    SavePictureAsJpeg(picture, Name(folder.Path() / "no extension"), 80);
    ::umask(old);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"no extension"});
    struct stat st {};
    ASSERT_EQ(::stat((folder.Path() / "no extension").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(SavePictureAsJpeg, ReplacesAnExistingFileKeepingItsModeAndFollowsALink) {
    TempFolder folder;
    const fs::path file = folder.Path() / "old.jpg";
    std::ofstream(file) << "old content";
    ::chmod(file.c_str(), 0604);
    fs::create_symlink("old.jpg", folder.Path() / "link.jpg");

    SavePictureAsJpeg(Image(8, 8, 0xFF000000u), Name(folder.Path() / "link.jpg"), 80);
    EXPECT_TRUE(fs::is_symlink(folder.Path() / "link.jpg"));
    EXPECT_EQ(ReadAll(file).substr(0, 2), "\xFF\xD8");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0604u);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.jpg", "old.jpg"}));
}

TEST(SavePictureAsJpeg, FailuresRaiseError5WithTheStatusAndLeaveNoFile) {
    TempFolder folder;
    const fs::path plainFile = folder.Path() / "plain";
    std::ofstream(plainFile) << "x";
    fs::create_directory(folder.Path() / "sub");
    fs::create_symlink("missing/target.jpg", folder.Path() / "dangling");
    const Image picture(20, 5, 0xFFFFFFFFu);
    const Image badPicture = [] {
        Image i(4, 4, 0);
        i.pixels.resize(3);
        return i;
    }();
    struct Row {
        int row;
        Image picture;
        std::u16string name;
        int status;
    };
    const std::u16string base = Name(folder.Path());
    const Row rows[] = {
        {1, picture, base + u"/no such folder/a.jpg", 7},
        {2, picture, base + u"/plain/a.jpg", 7},     // a path under a regular file
        {3, picture, u"/proc/quillion-test.jpg", 7}, // a folder nobody can write
        {4, picture, base + u"/sub", 7},             // an existing folder as the target
        {5, picture, base + u"/sub/", 7},
        {6, picture, base + u"/dangling", 7},
        {7, picture, u"", 2},
        {8, Image(), base + u"/empty.jpg", 2},
        {9, Image(0, 7, 0), base + u"/empty.jpg", 2},
        {10, badPicture, base + u"/bad.jpg", 2},
        {11, picture, base + u"/lone\xD800.jpg", 2},
        {12, picture, base + std::u16string(u"/nul\0.jpg", 9), 2},
    };
    for (const Row& r : rows) {
        ExpectSaveError(r.picture, r.name, r.status, r.row);
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"dangling", "plain", "sub"}))
            << "row " << r.row;
        EXPECT_TRUE(fs::is_empty(folder.Path() / "sub")) << "row " << r.row;
    }
    // Quality above 100 is refused, as the encoder of the host refuses it.
    try {
        SavePictureAsJpeg(picture, base + u"/q.jpg", 101);
        ADD_FAILURE() << "quality 101 accepted";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.Description(), "Cannot save the image. GDI+ Error:2");
    }
}

TEST(SavePictureAsJpeg, AWriteFailingHalfWayLeavesTheOldFileAndNoTemporary) {
    TempFolder folder;
    const fs::path file = folder.Path() / "keep.jpg";
    std::ofstream(file) << "precious";
    // A file size limit makes the write fail after a few bytes (root ignores permission bits,
    // not this limit).
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ::setrlimit(RLIMIT_FSIZE, &small);
    Image noisy(200, 200, 0);
    for (std::size_t i = 0; i < noisy.pixels.size(); ++i) {
        noisy.pixels[i] = 0xFF000000u | std::uint32_t(i * 2654435761u);
    }
    bool raised = false;
    try {
        SavePictureAsJpeg(noisy, Name(file), 80);
    } catch (const RuntimeError& e) {
        raised = true;
        EXPECT_EQ(e.Description(), "Cannot save the image. GDI+ Error:7");
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadAll(file), "precious");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"keep.jpg"});
}

} // namespace
