// Kept fonts: they come back whole for the program that wrote them and for no other, and a
// damaged file gives nothing rather than wrong glyphs.
#include "fonts/cache_files.h"
#include "fonts/glyph_cache.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace quillion {
namespace {

namespace fs = std::filesystem;

class GlyphCacheTest : public ::testing::Test {
protected:
    std::string File() const { return (dir_ / "glyphs-test").string(); }
    std::string Text() const {
        std::ifstream in(File(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void Rewrite(const std::function<void(std::string&)>& edit) const {
        std::string text = Text();
        edit(text);
        std::ofstream(File(), std::ios::binary | std::ios::trunc) << text;
    }

    static KeptFonts Fonts() {
        RenderedFont mono;
        mono.metrics = {11, 4, 15, 2, 8, 8, 400, 0, true};
        mono.underlineTop = 13;
        mono.strikeTop = 8;
        mono.glyphs[' '] = Glyph{8, 0, 1, 1, 1, 2, {0, 0}};
        mono.glyphs['A'] = Glyph{8, 0, 9, 8, 3, 1, {0x18, 0x3c, 0xff}};
        mono.glyphs[0xE9] = Glyph{8, 1, 12, 6, 2, 1, {0x30, 0xfc}};
        RenderedFont bold = mono;
        bold.metrics.weight = 700;
        bold.glyphs.erase('A');
        KeptFonts fonts;
        fonts[{"/fonts/Mono.ttf", 0, false, 13, 400}] = {"33188:1:2:3:4:5", mono};
        fonts[{"/fonts/Mono.ttf", 0, true, 13, 700}] = {"33188:1:2:3:4:5", bold};
        fonts[{"/fonts/Other.ttc", 2, false, 20, 400}] = {"-", RenderedFont{}};
        return fonts;
    }

    testing::TempFolder folder_;
    const fs::path dir_ = folder_.Path();
};

TEST_F(GlyphCacheTest, TheWritingProgramGetsEveryFontBack) {
    const GlyphCache cache(File(), "program-state");
    ASSERT_TRUE(cache.Save(Fonts()));
    EXPECT_EQ(cache.Load(), Fonts());
}

TEST_F(GlyphCacheTest, AnotherProgramGetsNothing) {
    ASSERT_TRUE(GlyphCache(File(), "program-state").Save(Fonts()));
    EXPECT_TRUE(GlyphCache(File(), "rebuilt-program-state").Load().empty());
    EXPECT_TRUE(GlyphCache(File(), "").Load().empty());
    EXPECT_FALSE(GlyphCache(File(), "").Save(Fonts()));
    EXPECT_FALSE(GlyphCache("", "program-state").Save(Fonts()));
}

TEST_F(GlyphCacheTest, DamagedFilesGiveNothing) {
    struct Row {
        int row;
        const char* damage;
        std::function<void(std::string&)> edit;
    };
    const auto replace = [](std::string& text, const std::string& from, const std::string& to) {
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
    };
    const Row rows[] = {
        {1, "cut short", [](std::string& t) { t.resize(t.size() / 2); }},
        {2, "no last line", [](std::string& t) { t.resize(t.rfind("end")); }},
        {3, "a bitmap byte that is no hex",
         [&](std::string& t) { replace(t, "183cff", "183cfg"); }},
        {4, "a bitmap shorter than its rows",
         [&](std::string& t) { replace(t, "183cff", "183c"); }},
        {5, "a glyph byte above 255", [&](std::string& t) { replace(t, "G\t233\t", "G\t256\t"); }},
        {6, "a metric that is no number",
         [&](std::string& t) { replace(t, "\t11 4 15", "\t11 x 15"); }},
        {7, "a glyph wider than its rows",
         [&](std::string& t) { replace(t, "8 0 9 8 3 1", "8 0 9 9 3 1"); }},
        {8, "a font twice",
         [](std::string& t) {
             const std::size_t f = t.find("\nF\t");
             const std::size_t g = t.find("\nF\t", f + 1);
             t.insert(g + 1, t.substr(f + 1, g - f));
         }},
        {9, "not a glyph file", [](std::string& t) { t = "hello\n"; }},
    };
    const GlyphCache cache(File(), "program-state");
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << "row " << row.row << ": " << row.damage);
        ASSERT_TRUE(cache.Save(Fonts()));
        Rewrite(row.edit);
        EXPECT_TRUE(cache.Load().empty());
    }
}

TEST_F(GlyphCacheTest, AnyByteChangedAnywhereGivesNothing) {
    const GlyphCache cache(File(), "program-state");
    ASSERT_TRUE(cache.Save(Fonts()));
    const std::string whole = Text();
    for (std::size_t at = 0; at < whole.size(); ++at) {
        for (const int flip : {0x01, 0x80}) {
            Rewrite([&](std::string& t) { t[at] = char(t[at] ^ flip); });
            ASSERT_TRUE(cache.Load().empty()) << "byte " << at << " ^ " << flip;
            Rewrite([&](std::string& t) { t = whole; });
        }
    }
    EXPECT_EQ(cache.Load(), Fonts());
}

TEST_F(GlyphCacheTest, NumbersNoFaceGivesAreRefusedEvenInAWholeFile) {
    const struct {
        int row;
        const char* from;
        const char* to;
    } rows[] = {
        {1, "\t11 4 15 2", "\t2147483647 4 -2147483647 2"},
        {2, "\t11 4 15 2", "\t11 4 16 2"},                 // height is not ascent + descent
        {3, "8 0 9 8 3 1\t", "2147483647 0 9 8 3 1\t"},    // advance
        {4, "8 0 9 8 3 1\t", "8 -100000 9 8 3 1\t"},       // bitmap far left of the pen
        {5, "\t13\t400\t", "\t0\t400\t"},                  // em height
        {6, "\t13\t400\t", "\t13\t500\t"},                 // weight
        {7, " 400 0 1 13 1 8 1\t", " 400 0 1 13 0 8 1\t"}, // underline of no thickness
    };
    const GlyphCache cache(File(), "program-state");
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        ASSERT_TRUE(cache.Save(Fonts()));
        Rewrite([&](std::string& t) {
            ASSERT_TRUE(Unseal(t));
            const std::size_t at = t.find(r.from);
            ASSERT_NE(at, std::string::npos) << r.from;
            t = Sealed(t.replace(at, std::string_view(r.from).size(), r.to));
        });
        EXPECT_TRUE(cache.Load().empty());
    }
}

TEST_F(GlyphCacheTest, ProgramStateNamesTheRunningProgramFile) {
    const std::string state = ProgramState();
    ASSERT_FALSE(state.empty());
    EXPECT_EQ(state.substr(0, state.find(';')), StateOf("/proc/self/exe").word);
    EXPECT_EQ(StateOf((dir_ / "missing").string()).word, "-");
    const std::string file = DefaultGlyphCacheFile();
    EXPECT_NE(file.find("/quillion/glyphs-"), std::string::npos) << file;
}

// The folder is checked on the descriptor it is then used through: a folder put in its place
// after the check (in a parent others may write) is neither read from nor written to.
// A state word is 16 hex digits that stay while the file does and change with its size or its
// modification time; the kept-state check reads a folder's run of paths through the folder.
TEST_F(GlyphCacheTest, StateWordsFollowTheFileAndRunsOfOneFolderAreCheckedLikeSinglePaths) {
    std::vector<std::string> paths;
    for (const char* name : {"a", "b", "c", "d", "e"}) {
        paths.push_back((dir_ / name).string());
        std::ofstream(paths.back()) << "x";
    }
    const std::string word = StateOf(paths[0]).word;
    ASSERT_EQ(word.size(), 16u);
    EXPECT_EQ(word.find_first_not_of("0123456789abcdef"), std::string::npos) << word;
    EXPECT_EQ(StateOf(paths[0]).word, word);
    std::vector<std::string> words;
    for (const std::string& p : paths)
        words.push_back(StateOf(p).word);
    const std::string missing = (dir_ / "missing").string();
    const auto unchanged = [&] {
        std::vector<KeptState> kept;
        for (std::size_t i = 0; i < paths.size(); ++i)
            kept.push_back(KeptState{paths[i], words[i]});
        kept.push_back(KeptState{missing, "-"});
        return StatesUnchanged(kept);
    };
    EXPECT_TRUE(unchanged());
    fs::last_write_time(paths[4], fs::last_write_time(paths[4]) + std::chrono::seconds(5));
    EXPECT_NE(StateOf(paths[4]).word, words[4]) << "a new modification time";
    EXPECT_FALSE(unchanged()) << "the last of a folder's run";
    words[4] = StateOf(paths[4]).word;
    std::ofstream(paths[1], std::ios::app) << "y";
    EXPECT_FALSE(unchanged()) << "a file of the run grew";
    words[1] = StateOf(paths[1]).word;
    std::ofstream(missing) << "";
    EXPECT_FALSE(unchanged()) << "a missing path appeared";
}

TEST(CacheFiles, FolderOfAPath) {
    for (const auto& [path, folder] : std::initializer_list<std::pair<const char*, const char*>>{
             {"/a/b/c", "/a/b"}, {"/a", ""}, {"a", ""}, {"/a/b/", "/a/b"}, {"", ""}})
        EXPECT_EQ(FolderOf(path), folder) << path;
}

TEST_F(GlyphCacheTest, OnlyAPrivateFolderOfTheUsersOwnIsUsed) {
    const fs::path parent = dir_ / "shared";
    const fs::path folder = parent / "quillion";
    const std::string file = (folder / "glyphs-test").string();
    // Another folder takes the checked one's name, holding the same whole, sealed file.
    const auto swap = [&](fs::perms perms) {
        fs::rename(folder, parent / "checked");
        fs::create_directory(folder);
        fs::copy_file(parent / "checked" / "glyphs-test", file);
        fs::permissions(folder, perms);
    };
    struct Row {
        int row;
        const char* what;
        std::function<void()> swapIn;
        bool loaded;  // the planted file is read
        bool trusted; // the folder is used (a save replaces the file)
    } rows[] = {
        {1, "the checked folder", [] {}, true, true},
        {2, "others may write", [&] { swap(fs::perms::all); }, false, false},
        {3, "its group may write", [&] { swap(fs::perms::owner_all | fs::perms::group_all); },
         false, false},
        {4, "a link to a private folder",
         [&] {
             fs::rename(folder, parent / "elsewhere");
             fs::create_directory_symlink(parent / "elsewhere", folder);
         },
         false, false},
        {5, "a cache file that is a link to a planted file",
         [&] {
             fs::rename(file, parent / "planted");
             fs::create_symlink(parent / "planted", file);
         },
         false, true},
        {6, "another user's",
         [&] {
             swap(fs::perms::owner_all);
             ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
         },
         false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << "row " << r.row << ": " << r.what);
        if (r.row == 6 && ::geteuid() != 0)
            continue; // chown needs root
        fs::remove_all(parent);
        fs::create_directories(folder);
        fs::permissions(parent, fs::perms::all); // others may swap its entries
        fs::permissions(folder, fs::perms::owner_all);
        ASSERT_TRUE(TrustedFolder(folder.string()));
        const GlyphCache cache(file, "program-state");
        ASSERT_TRUE(cache.Save(Fonts())); // a planted file: whole, sealed, for this program
        r.swapIn();
        EXPECT_EQ(cache.Load() == Fonts(), r.loaded);
        EXPECT_EQ(TrustedFolder(folder.string()), r.trusted);
        EXPECT_EQ(cache.Save(Fonts()), r.trusted);
        EXPECT_EQ(fs::is_symlink(file), r.row == 5 && !r.trusted) << "a link is replaced";
    }
}

} // namespace
} // namespace quillion
