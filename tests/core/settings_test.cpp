// The user's settings file: written only when a value changes, and a file too large to be a
// settings file of ours is neither read nor written, with one word to the user.
#include "settings.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>

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

} // namespace
} // namespace quillion
