#include "app/settingsstore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Pixoria.conf")); }
};

TEST_F(SettingsStoreTest, EveryValueReadsAsItsDefaultOnAnEmptyStore) {
    SettingsStore store(path());
    store.setDefaultFolders(QStringLiteral("/opt/pixoria/"), QStringLiteral("/home/u/Pictures/"));
    for (const IntSetting& setting : prefs::kAllIntSettings) {
        EXPECT_EQ(store.read(setting), setting.fallback) << setting.section << "/" << setting.key;
    }
    using namespace prefs;
    EXPECT_EQ(store.read(general::kLastOpenDir), QStringLiteral("/opt/pixoria/Images/"));
    EXPECT_EQ(store.read(general::kLastSaveDir), QStringLiteral("/opt/pixoria/Images/"));
    EXPECT_EQ(store.read(general::kLastSoundDir), QStringLiteral("/opt/pixoria/Sounds/"));
    EXPECT_EQ(store.read(general::kLastPlayerDir), QStringLiteral("/opt/pixoria/Runtime Players/"));
    EXPECT_EQ(store.read(general::kLastSlideSaveDir), QStringLiteral("/opt/pixoria/Slide Shows/"));
    EXPECT_EQ(store.read(general::kLastSearchDir), QStringLiteral("/home/u/Pictures/"));
    EXPECT_EQ(store.read(general::kLastAlbumSearchDir), QStringLiteral("/home/u/Pictures/"));
    EXPECT_EQ(store.read(general::kSearchString), QStringLiteral("*.bmp"));
    EXPECT_EQ(store.read(convert::kConvertFormat), QStringLiteral("bmp"));
    EXPECT_EQ(store.read(slideshow::kFilter), QStringLiteral("All Files (*.*)"));
    EXPECT_EQ(store.read(slideshow::kDirectory), QStringLiteral("/opt/pixoria/"));
    EXPECT_EQ(store.read(runtime::kDirectory), QStringLiteral("/opt/pixoria/"));
    // Reading wrote nothing.
    EXPECT_TRUE(store.storedKeys().isEmpty());
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(SettingsStoreTest, NamesAreUniqueWithinTheirSection) {
    std::set<std::pair<std::string, std::string>> seen;
    for (const IntSetting& s : prefs::kAllIntSettings) {
        EXPECT_TRUE(seen.insert({s.section, s.key}).second) << s.key;
    }
    for (const StringSetting& s : prefs::kAllStringSettings) {
        EXPECT_TRUE(seen.insert({s.section, s.key}).second) << s.key;
    }
}

TEST_F(SettingsStoreTest, ValuesPersistPerSectionAndReachTheDiskAtOnce) {
    {
        SettingsStore store(path());
        store.write(prefs::slideshow::kDelay, 7);
        store.write(prefs::runtime::kDelay, 9);
        store.write(prefs::general::kSearchString, QStringLiteral("*.jpg, *.png; a\\b \"q\""));
        store.writeInt(QStringLiteral("slideshow"), QStringLiteral("tn3"), 42);
        // Written at once: a second store on the same file sees the values.
        SettingsStore other(path());
        EXPECT_EQ(other.read(prefs::slideshow::kDelay), 7);
    }
    SettingsStore store(path());
    EXPECT_EQ(store.read(prefs::slideshow::kDelay), 7);
    EXPECT_EQ(store.read(prefs::runtime::kDelay), 9);
    EXPECT_EQ(store.read(prefs::general::kSearchString),
              QStringLiteral("*.jpg, *.png; a\\b \"q\""));
    EXPECT_EQ(store.readInt(QStringLiteral("slideshow"), QStringLiteral("tn3"), 1), 42);
    EXPECT_EQ(store.readInt(QStringLiteral("slideshow"), QStringLiteral("tn4"), 1), 1);
    EXPECT_TRUE(store.contains(QStringLiteral("runtime"), QStringLiteral("delay")));
}

TEST_F(SettingsStoreTest, ValuesOfTheWrongTypeReadAsTheDefault) {
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[settings]\nwizard=yes\nsplash=0\nsearchstring=a, b\nthumb=\n");
    file.close();
    SettingsStore store(path());
    EXPECT_EQ(store.read(prefs::general::kWizard), 1);
    EXPECT_EQ(store.read(prefs::general::kSplash), 0);
    EXPECT_EQ(store.read(prefs::general::kThumb), 1);
    EXPECT_EQ(store.read(prefs::general::kSearchString), QStringLiteral("*.bmp"));
}

}  // namespace
