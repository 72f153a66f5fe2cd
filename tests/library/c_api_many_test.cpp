// Many texts in one C call: each result is what quillion_render_n and quillion_encode give for
// its text alone, files land whole at their paths, and write failures carry their errno.
#include "quillion/quillion.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A result's file, or its error code as a one-byte marker.
Bytes Of(const quillion_result* result, const quillion_result* errorOf) {
    size_t size = 0;
    const unsigned char* bytes = quillion_bytes(result, &size);
    return bytes != nullptr ? Bytes(bytes, bytes + size)
                            : Bytes{static_cast<unsigned char>(quillion_error_code(errorOf))};
}

// The file of text made by the one-text calls, or its error code.
Bytes Alone(int symbology, const std::string& text, const quillion_options* options, int format) {
    quillion_result* picture = quillion_render_n(symbology, text.data(), text.size(), options);
    quillion_result* file = quillion_encode(picture, format, 0);
    const Bytes out = Of(file, picture);
    quillion_free(file);
    quillion_free(picture);
    return out;
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(CApiMany, EachResultIsTheOneTextCallsResult) {
    quillion_options options;
    quillion_options_init(&options);
    ASSERT_EQ(quillion_options_set(&options, "module-width", "3"), 0);
    const std::vector<std::string> texts = {"MANY-1", "12345", std::string("A\0B", 3), "MANY-4"};
    std::vector<const char*> pointers;
    std::vector<size_t> lengths;
    for (const auto& t : texts) {
        pointers.push_back(t.data());
        lengths.push_back(t.size());
    }
    for (int format : {QUILLION_PNG, QUILLION_SVG}) {
        for (int symbology : {QUILLION_CODE128, QUILLION_UPCA}) {
            std::vector<quillion_result*> results(texts.size());
            const size_t made =
                quillion_encode_many(symbology, pointers.data(), lengths.data(), texts.size(),
                                     &options, format, 0, nullptr, results.data());
            size_t good = 0;
            for (size_t i = 0; i < texts.size(); ++i) {
                SCOPED_TRACE(std::to_string(symbology) + " " + std::to_string(i));
                EXPECT_EQ(Of(results[i], results[i]), Alone(symbology, texts[i], &options, format));
                good += quillion_bytes(results[i], nullptr) != nullptr;
                quillion_free(results[i]);
            }
            EXPECT_EQ(made, good);
            // Code 128 refuses the NUL (read by its length, not up to it); UPC-A every text.
            EXPECT_EQ(good, symbology == QUILLION_CODE128 ? 3u : 0u);
        }
    }
    // No texts or an unknown symbology: every result is an argument error.
    const char* two[] = {"A", "B"};
    for (const auto& [symbology, texts] :
         {std::pair{int(QUILLION_CODE39), (const char**)nullptr}, std::pair{99, two}}) {
        std::vector<quillion_result*> results(2);
        EXPECT_EQ(quillion_encode_many(symbology, texts, nullptr, 2, nullptr, QUILLION_PNG, 0,
                                       nullptr, results.data()),
                  0u);
        for (auto* r : results) {
            EXPECT_EQ(quillion_error_code(r), QUILLION_ERROR_ARGUMENT);
            quillion_free(r);
        }
    }
}

TEST(CApiMany, FilesAreWrittenOrTheirErrnoIsKept) {
    quillion::testing::TempFolder folder;
    const std::string readOnly = folder / "read-only.png";
    std::ofstream(readOnly) << "old";
    ::chmod(readOnly.c_str(), 0444);
    const std::string good = folder / "good.png", missing = folder / "missing/x.png";
    const char* texts[] = {"FILE-1", "FILE-2", "FILE-3", "FILE-4"};
    const char* paths[] = {good.c_str(), missing.c_str(), readOnly.c_str(), nullptr};
    quillion_result* results[4];
    EXPECT_EQ(quillion_encode_many(QUILLION_CODE39, texts, nullptr, 4, nullptr, QUILLION_PNG, 0,
                                   paths, results),
              1u);
    EXPECT_EQ(FileBytes(good), Alone(QUILLION_CODE39, "FILE-1", nullptr, QUILLION_PNG));
    const struct {
        int code, system;
    } expected[] = {{0, 0},
                    {QUILLION_ERROR_WRITE, ENOENT},
                    {QUILLION_ERROR_WRITE, EACCES},
                    {QUILLION_ERROR_ARGUMENT, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(quillion_error_code(results[i]), expected[i].code) << i;
        EXPECT_EQ(quillion_system_error(results[i]), expected[i].system) << i;
        EXPECT_EQ(quillion_bytes(results[i], nullptr), nullptr) << i;
        quillion_free(results[i]);
    }
    EXPECT_EQ(FileBytes(readOnly), (Bytes{'o', 'l', 'd'}));
    // quillion_save: the picture's SVG, replacing what stood there.
    quillion_result* picture = quillion_render(QUILLION_QRCODE, "SAVE", nullptr);
    quillion_result* saved = quillion_save(picture, QUILLION_SVG, 0, good.c_str());
    EXPECT_EQ(quillion_error_code(saved), 0) << quillion_error_message(saved);
    EXPECT_EQ(FileBytes(good), Alone(QUILLION_QRCODE, "SAVE", nullptr, QUILLION_SVG));
    quillion_free(saved);
    quillion_free(picture);
    quillion_result* nothing = quillion_save(nullptr, QUILLION_PNG, 0, good.c_str());
    EXPECT_EQ(quillion_error_code(nothing), QUILLION_ERROR_ARGUMENT);
    quillion_free(nothing);
}

} // namespace
