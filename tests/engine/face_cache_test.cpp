// The kept face lookups: answers come back only while everything they depend on is unchanged,
// a damaged or unwritable file is no failure, and a finder with a valid file asks fontconfig
// nothing.
#include "fonts/face_cache.h"
#include "fonts/face_finder.h"
#include "temp_folder.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace quillion {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kLater = 3'000'000'000; // notBefore this far ahead: every path settled

class FaceCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::make_unique<testing::TempFolder>();
        dir_ = folder_->Path();
        fs::create_directory(dir_ / "conf.d");
        for (const char* name : {"10-a.conf", "11-b.conf", "12-c.conf", "13-d.conf"})
            Write(dir_ / "conf.d" / name, "first");
        Write(dir_ / "Face-Regular.ttf", "face");
        if (const char* lang = std::getenv("FC_LANG"))
            savedLang_ = lang;
        savedName_ = program_invocation_short_name;
    }
    void TearDown() override {
        if (savedLang_)
            ::setenv("FC_LANG", savedLang_->c_str(), 1);
        else
            ::unsetenv("FC_LANG");
        program_invocation_short_name = savedName_;
        folder_.reset();
    }

    static void Write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }

    std::string File() const { return (dir_ / "cache" / "quillion" / "font-faces").string(); }
    // Four files of one folder: a run that is looked at through the folder, opened once.
    std::vector<std::string> Watched() const {
        std::vector<std::string> paths = {(dir_ / "conf.d").string()};
        for (const char* name : {"10-a.conf", "11-b.conf", "12-c.conf", "13-d.conf"})
            paths.push_back((dir_ / "conf.d" / name).string());
        paths.push_back((dir_ / "missing.conf").string());
        return paths;
    }
    FaceAnswers Answers() const {
        FaceAnswers answers;
        answers[{"courier new", 400, false}] = {(dir_ / "Face-Regular.ttf").string(), 0, false};
        answers[{"courier new", 700, true}] = {(dir_ / "Face-Regular.ttf").string(), 2, true};
        answers[{"no such face", 400, false}] = {"", 0, false};
        return answers;
    }

    std::unique_ptr<testing::TempFolder> folder_;
    fs::path dir_;
    std::optional<std::string> savedLang_;
    char* savedName_ = nullptr;
};

TEST_F(FaceCacheTest, AnswersComeBackWhileNothingChanged) {
    const FaceCache cache(File());
    ASSERT_TRUE(cache.Save(Answers(), Watched(), WallClockNs() + kLater));
    EXPECT_EQ(cache.Load(), Answers());
    EXPECT_EQ(FaceCache(File()).Load(), Answers()) << "a second reader of the same file";
}

TEST_F(FaceCacheTest, AnyChangeInWhatTheAnswersDependOnDropsThemAll) {
    struct Row {
        int row;
        const char* change;
        std::function<void()> apply;
    };
    const Row rows[] = {
        {1, "a configuration file is rewritten",
         [&] { Write(dir_ / "conf.d" / "10-a.conf", "second"); }},
        {2, "a configuration file is added beside it",
         [&] { Write(dir_ / "conf.d" / "20-b.conf", "new"); }},
        {3, "a configuration file is removed", [&] { fs::remove(dir_ / "conf.d" / "10-a.conf"); }},
        {12, "the last of the folder's run is rewritten",
         [&] { Write(dir_ / "conf.d" / "13-d.conf", "second"); }},
        {4, "a watched file that was missing appears", [&] { Write(dir_ / "missing.conf", "x"); }},
        {5, "the face file is replaced", [&] { Write(dir_ / "Face-Regular.ttf", "other face"); }},
        {6, "a language variable changes", [&] { ::setenv("FC_LANG", "de", 1); }},
        {7, "the file loses its last line",
         [&] { fs::resize_file(File(), fs::file_size(File()) - 2); }},
        {8, "the file is garbage", [&] { Write(File(), "\x01\x02 not a cache\n"); }},
        {9, "the file is empty", [&] { Write(File(), ""); }},
        {10, "a byte of the file changed",
         [&] {
             std::fstream file(File(), std::ios::in | std::ios::out | std::ios::binary);
             file.seekp(std::streamoff(fs::file_size(File()) / 2));
             file.put('~');
         }},
        {11, "the program runs under another name",
         [&] { program_invocation_short_name = const_cast<char*>("other-name"); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "row " << row.row << ": " << row.change);
        TearDown();
        SetUp();
        const FaceCache cache(File());
        ASSERT_TRUE(cache.Save(Answers(), Watched(), WallClockNs() + kLater));
        ASSERT_EQ(cache.Load(), Answers());
        row.apply();
        EXPECT_TRUE(cache.Load().empty());
    }
}

TEST_F(FaceCacheTest, NothingIsKeptWhereNothingCanBeWritten) {
    // A file where the cache folder should be: the folder cannot be made.
    Write(dir_ / "not-a-folder", "x");
    const FaceCache blocked((dir_ / "not-a-folder" / "quillion" / "font-faces").string());
    EXPECT_FALSE(blocked.Save(Answers(), Watched(), WallClockNs() + kLater));
    EXPECT_TRUE(blocked.Load().empty());

    const FaceCache none("");
    EXPECT_FALSE(none.Save(Answers(), Watched(), WallClockNs() + kLater));
    EXPECT_TRUE(none.Load().empty());
}

TEST_F(FaceCacheTest, PathsThatChangedWhileFontconfigReadThemAreNotWrittenDown) {
    const FaceCache cache(File());
    // The configuration file was written just now, after fontconfig started reading.
    EXPECT_FALSE(cache.Save(Answers(), Watched(), WallClockNs()));
    EXPECT_FALSE(fs::exists(File()));
}

TEST_F(FaceCacheTest, NamesThatCannotBeWrittenDownAreAskedForAgain) {
    FaceAnswers answers = Answers();
    answers[{"tab\there", 400, false}] = {(dir_ / "Face-Regular.ttf").string(), 0, false};
    const FaceCache cache(File());
    ASSERT_TRUE(cache.Save(answers, Watched(), WallClockNs() + kLater));
    EXPECT_EQ(cache.Load(), Answers());

    std::vector<std::string> watched = Watched();
    watched.push_back((dir_ / "line\nbreak").string());
    EXPECT_FALSE(cache.Save(Answers(), watched, WallClockNs() + kLater));
}

TEST_F(FaceCacheTest, AFinderWithAValidFileAsksFontconfigNothing) {
    const FaceQuery mono{"courier new", 400, false};
    FaceFinder first{FaceCache(File())};
    const FaceFile found = first.Find(mono);
    EXPECT_EQ(first.FontconfigQueries(), 1);
    EXPECT_EQ(fs::path(found.path).filename(), "LiberationMono-Regular.ttf");
    ASSERT_TRUE(fs::exists(File())) << "the system's font configuration is older than a second";

    FaceFinder second{FaceCache(File())};
    EXPECT_EQ(second.Find(mono), found);
    EXPECT_EQ(second.FontconfigQueries(), 0);
    // A query the file does not hold goes to fontconfig and is kept beside the first.
    const FaceQuery bold{"courier new", 700, false};
    EXPECT_EQ(fs::path(second.Find(bold).path).filename(), "LiberationMono-Bold.ttf");
    EXPECT_EQ(second.FontconfigQueries(), 1);
    FaceFinder third{FaceCache(File())};
    third.Find(mono);
    third.Find(bold);
    EXPECT_EQ(third.FontconfigQueries(), 0);
}

TEST_F(FaceCacheTest, AWriteThatFailsKeepsTheEarlierFile) {
    const FaceCache cache(File());
    ASSERT_TRUE(cache.Save(Answers(), Watched(), WallClockNs() + kLater));
    FaceAnswers more = Answers();
    more[{"courier new", 400, true}] = {(dir_ / "Face-Regular.ttf").string(), 1, false};
    // Files may grow to 16 bytes only: the new file's write fails part way.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = 16;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = cache.Save(more, Watched(), WallClockNs() + kLater);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(cache.Load(), Answers());
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(File()).parent_path()),
                            fs::directory_iterator{}),
              1)
        << "the new file is left beside the cache";
}

// A configuration written just before a run's first lookup may have changed while fontconfig
// read it: nothing of that run is kept, however long the run goes on asking.
TEST_F(FaceCacheTest, ARunThatStartedOnAChangingConfigurationKeepsNothing) {
    const fs::path conf = dir_ / "fonts.conf";
    Write(conf,
          "<?xml version=\"1.0\"?>\n<fontconfig><dir>/usr/share/fonts/truetype/liberation</dir>"
          "<cachedir>" +
              (dir_ / "fc-cache").string() + "</cachedir></fontconfig>\n");
    const char* saved = std::getenv("FONTCONFIG_FILE");
    const std::optional<std::string> savedConf =
        saved ? std::optional<std::string>(saved) : std::nullopt;
    ::setenv("FONTCONFIG_FILE", conf.c_str(), 1);
    ASSERT_TRUE(FcInitReinitialize());
    FaceFinder finder{FaceCache(File())};
    EXPECT_FALSE(finder.Find({"courier new", 400, false}).path.empty());
    EXPECT_FALSE(fs::exists(File()));
    ::usleep(1'200'000); // the configuration is now more than a second old
    EXPECT_FALSE(finder.Find({"courier new", 700, false}).path.empty());
    EXPECT_EQ(finder.FontconfigQueries(), 2);
    EXPECT_FALSE(fs::exists(File())) << "kept although the configuration changed as the run began";
    if (savedConf)
        ::setenv("FONTCONFIG_FILE", savedConf->c_str(), 1);
    else
        ::unsetenv("FONTCONFIG_FILE");
    FcInitReinitialize();
}

} // namespace
} // namespace quillion
