#include "translation/messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace kelvora {
namespace {

class Messages : public ::testing::Test {
protected:
    void TearDown() override { SetMessageLanguage("", {}); }
};

// Answers "<id> in <language>" for identifiers ending in a vowel, nothing for
// the others, and counts the questions.
MessageLookup CountingLookup(std::string language, std::atomic<int>& asked) {
    return [language, &asked](std::string_view id) -> std::optional<std::string> {
        ++asked;
        if (std::string_view("AEIOU").find(id.back()) == std::string_view::npos) return std::nullopt;
        return std::string(id) + " in " + language;
    };
}

TEST_F(Messages, WithoutALanguageEveryMessageIsItsExactEnglishText) {
    std::set<std::string> ids;
    for (const Message* m : kMessageCatalogue) {
        EXPECT_EQ(TranslateString(*m), m->English) << m->Id;
        EXPECT_TRUE(ids.insert(m->Id).second) << "twice: " << m->Id;
    }
    // The log lines and the path error rely on their blanks.
    EXPECT_EQ(TranslateString(RS_INV_PATH), "Invalid path: ");
    EXPECT_EQ(TranslateString(RS_DEL_FILE), "DELETING FILE: ");
    EXPECT_EQ(TranslateString(RS_BYTES), " bytes");
    EXPECT_EQ(TranslateString(RS_STOP_UNINSTALL),
              "It's not recommended to make an incomplete uninstall !\n"
              "Are you sure you want to stop the uninstalling process ?");
}

TEST_F(Messages, EnglishIsNeverLookedUpButAnyOtherLanguageIs) {
    std::atomic<int> asked = 0;
    SetMessageLanguage("English", CountingLookup("English", asked));
    EXPECT_EQ(TranslateString(RS_RENAME), "Rename");
    EXPECT_EQ(asked, 0);

    SetMessageLanguage("english", CountingLookup("english", asked));
    EXPECT_EQ(MessageLanguage(), "english");
    EXPECT_EQ(TranslateString(RS_BEFORE), "RS_BEFORE in english");
    EXPECT_EQ(TranslateString(RS_CANCEL), "Cancel");  // no translation: English
    EXPECT_EQ(TranslateString("RS_NEW", "New"), "New");
    EXPECT_EQ(asked, 3);

    SetMessageLanguage("", CountingLookup("", asked));
    EXPECT_EQ(TranslateString(RS_BEFORE), "Before");
    EXPECT_EQ(asked, 3);
}

TEST_F(Messages, ALookupErrorReachesTheCaller) {
    SetMessageLanguage("Broken", [](std::string_view) -> std::optional<std::string> {
        throw std::runtime_error("Invalid file format.");
    });
    EXPECT_THROW(TranslateString(RS_OK), std::runtime_error);
}

TEST_F(Messages, ConcurrentWorkersTranslateWhileTheLanguageChanges) {
    std::atomic<int> asked = 0;
    std::atomic<bool> stop = false;
    std::vector<std::thread> workers;
    std::atomic<int> wrong = 0;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&] {
            while (!stop) {
                const std::string text = TranslateString(RS_BEFORE);
                if (text != "Before" && text != "RS_BEFORE in Deutsch" && text != "RS_BEFORE in Italiano") ++wrong;
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        SetMessageLanguage(i % 3 == 0 ? "Deutsch" : i % 3 == 1 ? "Italiano" : "",
                           CountingLookup(i % 3 == 0 ? "Deutsch" : "Italiano", asked));
        std::this_thread::yield();
    }
    stop = true;
    for (std::thread& w : workers) w.join();
    EXPECT_EQ(wrong, 0);
}

TEST(FormatText, FillsPlaceholdersWithoutEverReadingPastTheArguments) {
    EXPECT_EQ(FormatText(RS_ASK_UNINSTALL.English, {"MyApp"}), "Are you sure you want to uninstall 'MyApp' ?");
    EXPECT_EQ(FormatText("%s and %s", {"a"}), "a and ");
    EXPECT_EQ(FormatText("%s", {"%s%%"}), "%s%%");
    EXPECT_EQ(FormatText("100%% %d %", {}), "100% %d %");
}

}  // namespace
}  // namespace kelvora
