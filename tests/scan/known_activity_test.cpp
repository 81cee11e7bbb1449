#include "scan/known_activity.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"
#include "support/change_records.h"

namespace kelvora {
namespace {

TEST(PlacePattern, WildcardsStandForSidsGuidsNumbersAndText) {
    const auto covers = [](std::string_view pattern, std::string_view place) {
        return TPlacePattern::Parse(pattern, "C:\\Windows")->Covers(place);
    };
    EXPECT_TRUE(covers("HKLM\\System\\*ControlSet*\\Control\\Video\\<GUID>",
                       "HKEY_LOCAL_MACHINE\\System\\ControlSet001\\Control\\Video\\{0B0D2F1A-3C4D-4E5F-8A9B-0C1D2E3F4A5B}\\0000\\x"));
    EXPECT_TRUE(covers("HKLM\\System\\*ControlSet*\\Control\\Video\\<GUID>",
                       "hkey_local_machine\\SYSTEM\\CurrentControlSet\\Control\\Video\\0b0d2f1a-3c4d-4e5f-8a9b-0c1d2e3f4a5b"));
    EXPECT_FALSE(covers("HKLM\\System\\*ControlSet*\\Control\\Video\\<GUID>",
                        "HKEY_LOCAL_MACHINE\\System\\ControlSet001\\Control\\Video\\{0B0D2F1A-3C4D}"));
    EXPECT_FALSE(covers("HKLM\\System\\*ControlSet*\\Control\\Video\\<GUID>",
                        "HKEY_LOCAL_MACHINE\\System\\ControlSet001\\Control\\Video"));  // above the place
    EXPECT_TRUE(covers("HKU\\<SID>\\Software\\Wine", "HKEY_USERS\\S-1-5-21-0-0-0-1000\\Software\\Wine\\Fonts"));
    EXPECT_FALSE(covers("HKU\\<SID>\\Software\\Wine", "HKEY_USERS\\.DEFAULT\\Software\\Wine"));
    EXPECT_FALSE(covers("HKU\\<SID>\\Software\\Wine", "HKEY_USERS\\S-1-5-21-0-0-0-1000_Classes\\Software\\Wine"));
    EXPECT_TRUE(covers("HKU\\<SID>_Classes\\Local Settings", "HKEY_USERS\\S-1-5-18_Classes\\Local Settings\\A"));
    EXPECT_TRUE(covers("HKLM\\Enum\\Dev<N>", "HKEY_LOCAL_MACHINE\\Enum\\Dev0042"));
    EXPECT_FALSE(covers("HKLM\\Enum\\Dev<N>", "HKEY_LOCAL_MACHINE\\Enum\\Dev"));
    EXPECT_TRUE(covers("%WINDIR%\\Prefetch", "C:\\WINDOWS\\Prefetch\\SETUP.EXE-1234.pf"));
    EXPECT_TRUE(covers("%SYSTEMDRIVE%\\Users\\*\\AppData\\Local\\Temp  # the user's", "C:\\Users\\me\\AppData\\Local\\Temp\\x"));
    EXPECT_FALSE(covers("%WINDIR%\\Prefetch", "C:\\Windows\\PrefetchOther"));
    for (std::string_view empty : {"", "   ", "# a comment", "\t# another\r"}) {
        EXPECT_EQ(TPlacePattern::Parse(empty, "C:\\Windows"), nullptr) << empty;
    }
}

TEST(KnownActivity, CatalogueFirstThenQuietCheckThenOtherApplications) {
    platform::memory::MemoryPlatform os;
    os.files.AddFile("C:\\Kelvora\\Volatile.txt", "# shipped\r\nHKLM\\Volatile\r\n");
    os.files.AddFile("C:\\Kelvora\\Volatile.user.txt", "C:\\Mine\r\n");
    os.files.AddFile("C:\\Kelvora\\Learned.txt",
                     "A\tHKEY_CURRENT_USER\\Software\\Counter\\n\r\n*\tC:\\Quiet\\log.txt\r\nbroken line\r\n");
    TKnownActivity known;
    known.Load(os.files, "C:\\Kelvora", "C:\\Windows");
    EXPECT_EQ(known.PatternCount(), 2u);
    EXPECT_EQ(known.ReasonFor("HKEY_LOCAL_MACHINE\\Volatile\\x", "B"), arVolatileLocation);
    EXPECT_EQ(known.ReasonFor("C:\\Mine\\file", "B"), arVolatileLocation);
    EXPECT_EQ(known.ReasonFor("C:\\quiet\\LOG.txt", "B"), arQuietCheck);
    EXPECT_EQ(known.ReasonFor("HKEY_CURRENT_USER\\Software\\Counter\\n", "B"), arLearned);
    EXPECT_EQ(known.ReasonFor("HKEY_CURRENT_USER\\Software\\Counter\\n", "a"), arSetup);  // its own, not another's
    EXPECT_EQ(known.ReasonFor("HKEY_CURRENT_USER\\Software\\Counter", "B"), arSetup);      // exact places only
}

// A monitoring teaches what it changed in place; a quiet check everything.
TEST(KnownActivity, LearningKeepsWhatTheMachineRewritesAndReplacesAnApplicationsOwn) {
    platform::memory::MemoryPlatform os;
    os.files.AddFolder("C:\\Kelvora");
    const TSettings settings;
    ChangesTree tree(settings);
    const auto fill = [&tree](std::string_view key) {
        tree.StartFill(false);
        tree.AddToTree("HKEY_CURRENT_USER\\Software", key, test::Rec(ckRegKeyCreated, "Software", 0x80000001u));
        tree.AddToTree("HKEY_CURRENT_USER\\Software\\Busy", "n",
                       test::Rec(ckRegValueChanged, "Software\\Busy", 0x80000001u, 4, "1", "2"));
        tree.AddToTree("C:\\Logs", "a.log", test::Rec(ckFileChanged, "C:\\Logs"));
    };
    fill("First");
    ASSERT_TRUE(LearnActivity(os.files, "C:\\Kelvora", "A", tree.Lock()));
    ASSERT_TRUE(LearnActivity(os.files, "C:\\Kelvora", kQuietCheckSource, tree.Lock()));
    fill("Second");
    ASSERT_TRUE(LearnActivity(os.files, "C:\\Kelvora", "A", tree.Lock()));
    ASSERT_TRUE(LearnActivity(os.files, "C:\\Kelvora", kQuietCheckSource, tree.Lock()));
    EXPECT_EQ(os.files.Text("C:\\Kelvora\\Learned.txt"),
              "*\tC:\\Logs\\a.log\r\n"
              "*\tHKEY_CURRENT_USER\\Software\\Busy\\n\r\n"
              "*\tHKEY_CURRENT_USER\\Software\\First\r\n"
              "*\tHKEY_CURRENT_USER\\Software\\Second\r\n"
              "A\tC:\\Logs\\a.log\r\n"
              "A\tHKEY_CURRENT_USER\\Software\\Busy\\n\r\n");
    EXPECT_TRUE(ForgetLearnedActivity(os.files, "C:\\Kelvora"));
    EXPECT_TRUE(ForgetLearnedActivity(os.files, "C:\\Kelvora"));
    EXPECT_FALSE(os.files.Exists("C:\\Kelvora\\Learned.txt"));
}

}  // namespace
}  // namespace kelvora
