// Start-up helpers: the application title rule, the file test, and when the skin applies.
#include "Main.h"

#include "runtime/runtime.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace quillion {
namespace {

TEST(Main, AppTitleFromProductName) {
    struct Row {
        int row;
        std::u16string name, title;
    };
    const Row rows[] = {
        {1, u"Quillion", u"Quillion"},
        {2, u"Quillion Barcode", u"Quillion"},
        {3, u"Velmorrow Quillion Barcode", u"Velmorrow Quillion"},
        {4, u"", u""},
        {5, u"Trailing ", u"Trailing"},
        {6, u" Leading", u""},
        // 60 characters in seven words: words go from the end until at most 40 remain.
        {7, u"Velmorrow Quillion Barcode Generator Studio Deluxe Edition XX",
         u"Velmorrow Quillion Barcode Generator"},
        // Exactly 40 after the first cut: no second cut.
        {8, u"AAAAAAAAAABBBBBBBBBBCCCCCCCCCCDDDDDDDDDD EEE",
         u"AAAAAAAAAABBBBBBBBBBCCCCCCCCCCDDDDDDDDDD"},
        // A long remainder without a blank stays as it is.
        {9, std::u16string(50, u'Q') + u" Z", std::u16string(50, u'Q')},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("row " + std::to_string(row.row));
        EXPECT_EQ(AppTitleFromProductName(row.name), row.title);
    }
}

struct FakeSkinWindow : SkinWindow {
    int backgrounds = 0;
    std::vector<QString> sheets;
    void SetButtonFaceBackgrounds() override { ++backgrounds; }
    void SetSkinStyleSheet(const QString& sheet) override { sheets.push_back(sheet); }
};

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(Main, SkinAppliesOnlyFromANormalFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.path();
    SkinFramework skin;
    FakeSkinWindow window;
    ApplySkin(folder, skin, window); // no x/ folder
    EXPECT_EQ(window.backgrounds, 0);

    ASSERT_TRUE(QDir(folder).mkpath(QStringLiteral("x/o.cjs"))); // a folder of that name
    ApplySkin(folder, skin, window);
    EXPECT_EQ(window.backgrounds, 0);
    ASSERT_TRUE(QDir(folder).rmdir(QStringLiteral("x/o.cjs")));

    Write(folder + "/x/o.cjs", "QWidget { color: red; }");
    ApplySkin(folder, skin, window);
    EXPECT_EQ(window.backgrounds, 1);
    ASSERT_EQ(window.sheets.size(), 1u);
    EXPECT_EQ(window.sheets[0], QStringLiteral("QWidget { color: red; }"));
    EXPECT_EQ(skin.Options() & 1, 1);
    EXPECT_TRUE(skin.ApplyToDialogs());
    EXPECT_TRUE(skin.KeepSkinOnResize());

    // Without read permission the file counts, and loading it is an access error (root reads
    // it anyway: not tested then).
    QFile::setPermissions(folder + "/x/o.cjs", QFileDevice::WriteOwner);
    if (!QFileInfo(folder + "/x/o.cjs").isReadable()) {
        FakeSkinWindow unreadable;
        SkinFramework denied;
        try {
            ApplySkin(folder, denied, unreadable);
            ADD_FAILURE() << "no error";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.Number(), 75);
        }
        EXPECT_EQ(unreadable.backgrounds, 1);
        EXPECT_TRUE(unreadable.sheets.empty());
    }
    QFile::setPermissions(folder + "/x/o.cjs", QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    // An empty sheet is a skin that changes nothing but the backgrounds.
    Write(folder + "/x/o.cjs", "");
    FakeSkinWindow empty;
    ApplySkin(folder, skin, empty);
    EXPECT_EQ(empty.backgrounds, 1);
    ASSERT_EQ(empty.sheets.size(), 1u);
    EXPECT_TRUE(empty.sheets[0].isEmpty());

    // Too large: the backgrounds change, then loading fails with a run-time error.
    Write(folder + "/x/o.cjs", QByteArray(SkinFramework::kMaxSkinBytes + 1, ' '));
    FakeSkinWindow huge;
    SkinFramework fresh;
    EXPECT_THROW(ApplySkin(folder, fresh, huge), RuntimeError);
    EXPECT_TRUE(huge.sheets.empty());
}

TEST(Main, HiddenSkinFileDoesNotCount) {
    EXPECT_FALSE(IsNormalFile(QStringLiteral("/nonexistent/.o.cjs")));
    QTemporaryDir dir;
    Write(dir.path() + "/.hidden", "x");
    Write(dir.path() + "/shown", "x");
    EXPECT_FALSE(IsNormalFile(dir.path() + "/.hidden"));
    EXPECT_TRUE(IsNormalFile(dir.path() + "/shown"));
}

TEST(Main, FileExists) {
    QTemporaryDir dir;
    Write(dir.path() + "/HAND-M.CUR", "");
    EXPECT_TRUE(FileExists(dir.path() + "/HAND-M.CUR"));
    EXPECT_FALSE(FileExists(dir.path() + "/missing.cur"));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_FALSE(FileExists(QString::fromUtf8("bad\0path", 8)));
    EXPECT_EQ(CursorFilePath(QStringLiteral("/opt/q")), QStringLiteral("/opt/q/HAND-M.CUR"));
    EXPECT_EQ(SkinFilePath(QStringLiteral("/opt/q")), QStringLiteral("/opt/q/x/o.cjs"));
}

} // namespace
} // namespace quillion
