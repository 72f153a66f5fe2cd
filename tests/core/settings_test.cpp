// The user's settings file: written only when a value changes, a file too large to be a
// settings file of ours is neither read nor written (with one word to the user), nothing is
// written that the next start would refuse, and a file changed by another program between the
// re-read and the write is never lost.
#include "settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace quillion {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* home = std::getenv("XDG_CONFIG_HOME"))
            saved_ = home;
        ::setenv("XDG_CONFIG_HOME", folder_.Path().c_str(), 1);
        fs::create_directories(folder_.Path() / "Velmorrow");
    }
    void TearDown() override {
        if (saved_)
            ::setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    std::string File() const { return folder_ / "Velmorrow/Quillion.ini"; }
    // The file's inode and contents: a rewrite replaces the file.
    std::pair<ino_t, std::string> State() const {
        struct stat st {};
        ::stat(File().c_str(), &st);
        std::ifstream in(File(), std::ios::binary);
        return {st.st_ino, {std::istreambuf_iterator<char>(in), {}}};
    }

    testing::TempFolder folder_;
    std::optional<std::string> saved_;
};

TEST_F(SettingsFileTest, ASaveWritesOnlyWhenTheValueChanged) {
    std::ofstream(File()) << "[Other]\nkept=1\n[Quillion]\nBarcode=AB\n";
    const auto store = CreateUserSettings();
    EXPECT_EQ(store->GetSetting(kKeyBarcode, u""), u"AB");
    const auto before = State();
    store->SaveSetting(kKeyBarcode, u"AB");
    EXPECT_EQ(State(), before) << "the same value was written again";
    store->SaveSetting(kKeyBarcode, u"ABC");
    EXPECT_NE(State().second.find("Barcode=ABC\n"), std::string::npos) << State().second;
    EXPECT_NE(State().second.find("kept=1\n"), std::string::npos);
}

TEST_F(SettingsFileTest, AFileOverOneMebibyteIsLeftAloneAndTheUserIsToldOnce) {
    {
        std::ofstream out(File());
        out << "[Quillion]\nBarcode=AB\n[Other]\n";
        for (int i = 0; out.tellp() <= kMaxSettingsFileBytes; ++i)
            out << "key" << i << "=value\n";
    }
    const auto before = State();
    ::testing::internal::CaptureStderr();
    const auto store = CreateUserSettings();
    EXPECT_EQ(store->GetSetting(kKeyBarcode, u"none"), u"none");
    store->SaveSetting(kKeyBarcode, u"XY");
    store->SaveSetting(kKeyBarcode, u"XYZ");
    const std::string told = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(store->GetSetting(kKeyBarcode, u""), u"XYZ") << "kept for the run";
    EXPECT_EQ(State(), before);
    const std::size_t first = told.find("larger than 1048576 bytes");
    ASSERT_NE(first, std::string::npos) << told;
    EXPECT_EQ(told.find("larger than", first + 1), std::string::npos) << told;
}

// A file of exactly size bytes: the section with Barcode=AB, then padding in another section.
void PutFileOfSize(const std::string& path, std::size_t size) {
    const std::string head = "[Quillion]\nBarcode=AB\n[Other]\npad=";
    std::ofstream(path, std::ios::binary)
        << head << std::string(size - head.size() - 1, 'x') << '\n';
}

TEST_F(SettingsFileTest, WhatIsWrittenIsWhatTheNextStartReads) {
    const std::size_t max = kMaxSettingsFileBytes;
    const std::string longText(2000, 'L');
    struct Row {
        int row;
        std::size_t fileBytes;
        std::string saved;      // "" saves nothing
        std::u16string atStart; // what a start reads afterwards
        bool told;              // the user is told the value was not saved (once per run)
    } rows[] = {
        {1, max, "", u"AB", false},         // exactly 1 MiB is read
        {2, max + 1, "", u"none", false},   // one byte more is not
        {3, max - 1, "ABC", u"ABC", false}, // a save to exactly 1 MiB is written
        {4, max, "ABC", u"AB", true},       // one byte more is refused
        {5, max - 100, std::string(longText), u"AB", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        PutFileOfSize(File(), r.fileBytes);
        const auto before = State();
        ::testing::internal::CaptureStderr();
        {
            const auto store = CreateUserSettings();
            if (!r.saved.empty()) {
                const std::u16string text(r.saved.begin(), r.saved.end());
                store->SaveSetting(kKeyBarcode, text);
                EXPECT_EQ(store->GetSetting(kKeyBarcode, u""), text) << "kept for the run";
            }
        }
        const std::string told = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(told.find("would become larger") != std::string::npos, r.told) << told;
        if (r.row >= 4) {
            EXPECT_EQ(State(), before) << "the file must keep what it held";
        }
        EXPECT_LE(fs::file_size(File()), max + (r.row == 2 ? 1 : 0));
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(CreateUserSettings()->GetSetting(kKeyBarcode, u"none"), r.atStart);
        ::testing::internal::GetCapturedStderr();
    }
}

// Another program changes the file between the save's re-read and its write.
TEST_F(SettingsFileTest, AFileChangedDuringASaveIsNeverLost) {
    const fs::path dir = folder_.Path() / "Velmorrow";
    std::ofstream(dir / "a.ini") << "[Quillion]\nBarcode=AB\n";
    const std::string big(5 << 20, 'B');
    std::ofstream(dir / "big.ini") << big;
    fs::create_symlink(dir / "a.ini", File());
    const std::string grown = "[Quillion]\nBarcode=AB\n[Other]\n" + std::string(2'100'000, 'g');
    struct Row {
        int row;
        bool linked; // Quillion.ini is a link to a.ini (else missing at the save's read)
        std::function<void()> change;
        std::string file;                  // the file that holds the settings afterwards
        std::vector<std::string> expected; // what it holds (nothing: it keeps its bytes)
    } rows[] = {
        // The file grows past the limit (within one tick of a coarse file clock, so that only
        // its size tells): it is left as it is.
        {1,
         true,
         [&] {
             const auto time = fs::last_write_time(dir / "a.ini");
             std::ofstream(dir / "a.ini", std::ios::app) << grown.substr(22);
             fs::last_write_time(dir / "a.ini", time);
         },
         "a.ini",
         {}},
        // The link now names a 5 MiB file: that file is not touched, the one read is written.
        {2,
         true,
         [&] { fs::remove(File()), fs::create_symlink(dir / "big.ini", File()); },
         "a.ini",
         {"Barcode=XYZ\n"}},
        // Another program replaced the file: its entries are kept, the value is added.
        {3,
         true,
         [&] {
             std::ofstream(dir / "new.ini") << "[Quillion]\nBarcode=AB\n[Other]\nnew=1\n";
             fs::rename(dir / "new.ini", dir / "a.ini");
         },
         "a.ini",
         {"new=1\n", "Barcode=XYZ\n"}},
        // Another program made the file that was missing: the same.
        {4,
         false,
         [&] { std::ofstream(File()) << "[Other]\nnew=1\n"; },
         "Quillion.ini",
         {"new=1\n", "Barcode=XYZ\n"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        std::ofstream(dir / "a.ini", std::ios::trunc) << "[Quillion]\nBarcode=AB\n";
        fs::remove(File());
        if (r.linked)
            fs::create_symlink(dir / "a.ini", File());
        const auto store = CreateUserSettings();
        SetSettingsBeforeWriteHook([&, once = true]() mutable {
            if (std::exchange(once, false))
                r.change();
        });
        ::testing::internal::CaptureStderr();
        store->SaveSetting(kKeyBarcode, u"XYZ");
        ::testing::internal::GetCapturedStderr();
        SetSettingsBeforeWriteHook({});
        EXPECT_EQ(store->GetSetting(kKeyBarcode, u""), u"XYZ");
        std::ifstream in(dir / r.file, std::ios::binary);
        const std::string now{std::istreambuf_iterator<char>(in), {}};
        if (r.expected.empty()) {
            EXPECT_EQ(now.size(), grown.size()) << "the grown file was replaced";
        }
        for (const std::string& part : r.expected)
            EXPECT_NE(now.find(part), std::string::npos) << part << " in " << now.substr(0, 200);
        std::ifstream bigIn(dir / "big.ini", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(bigIn), {}), big);
    }
}

} // namespace
} // namespace quillion
