// The key-binding file: the line rules, the text-mode rules, the first-frame
// load through a second open, and reading in pieces of any size.
#include "plugin_fixture.h"

#include "binding_file/binding_save.h"
#include "binding_file/gear_access.h"
#include "choosing/input_choosing.h"
#include "explain/binding_report.h"
#include "keys/virtual_keys.h"
#include "log/plugin_log.h"
#include "recorder/recorder_notices.h"
#include "version.h"

#include <sys/stat.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using namespace std::literals;

constexpr int keyT = 84;
constexpr int rightArrow = 39;

using Fields = std::array<VirtualKeyCode, bindingFields.size()>;

Fields fieldsOf(const KeyBindings& bindings) {
    Fields fields{};
    for (std::size_t i = 0; i < bindingFields.size(); ++i) {
        fields[i] = fieldValue(bindings, bindingFields[i]);
    }
    return fields;
}

// The fields in order, those not given 0; a controller's, its part.
Fields keys(std::initializer_list<VirtualKeyCode> values) {
    Fields fields{};
    std::copy(values.begin(), values.end(), fields.begin());
    return fields;
}

KeyBindings bindingsOf(const Fields& fields) {
    KeyBindings bindings{};
    for (const BindingField& field : bindingFields) {
        const std::int32_t value = fields[static_cast<std::size_t>(&field - bindingFields.data())];
        if (field.input != nullptr) {
            (bindings.*field.input).part = value;
        } else {
            bindings.*field.member = value;
        }
    }
    return bindings;
}

const Fields unbound{};
const Fields sixBound = keys({16, 49, 50, 51, 52, 82});
const std::string sixLines =
    "Clutch=16\nFirstGear=49\nSecondGear=50\nThirdGear=51\nFourthGear=52\nReverse=82\n";

// The same text as UTF-16, little or big end first.
std::string utf16(std::string_view text, bool bigEndian) {
    std::string result;
    for (const char c : text) {
        result += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    }
    return result;
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each test runs in the game folder of a standard install: the plug-in's
// folder is the working folder. The working folder is put back after.
class BindingFileTest : public PluginTest {
  protected:
    void SetUp() override {
        savedFolder = std::filesystem::current_path();
        PluginTest::SetUp();
        std::filesystem::current_path(pluginFolder);
    }

    void TearDown() override {
        std::filesystem::current_path(savedFolder);
        PluginTest::TearDown();
    }

    // A freshly loaded plug-in in a fresh folder, for the next case of a table.
    void restart() {
        TearDown();
        SetUp();
    }

    static void writeConfig(std::string_view bytes) {
        std::ofstream out("MTconfig.ini", std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    // The file as the plug-in finds and reads it on the first frame.
    static Fields load(std::string_view bytes, const Fields& before = unbound) {
        writeConfig(bytes);
        useKeyBindings(bindingsOf(before));
        pass();
        return fieldsOf(bindingsState().keys);
    }

    std::filesystem::path savedFolder;
};

struct LineCase {
    std::string text;
    Fields before;
    Fields after;
};

TEST_F(BindingFileTest, EachLineOfTheTableBindsAsDescribed) {
    const Fields clutch5 = keys({5});
    const Fields clutch16 = keys({16});
    const Fields allSet = keys({1, 2, 3, 4, 5, 6, 7});
    Fields fitting = unbound;
    fitting[fieldNamed("fitGears")] = 1;
    const std::vector<LineCase> cases = {
        {"Clutch=16\n", unbound, clutch16},
        {"Clutch = 16\n", unbound, clutch16},
        {"  \t Clutch=16\n", unbound, clutch16},
        {"clutch=16\n", unbound, unbound},
        {"MyClutchKey=16\n", unbound, clutch16},
        {"Clutch 16\n", unbound, unbound},
        {"16 Clutch\n", unbound, clutch16},
        {"FirstGear=49 ; hold the Clutch first\n", unbound, keys({49})},
        {"Reverse=Clutch\n", keys({0, 0, 0, 0, 0, 82}), keys({0, 0, 0, 0, 0, 82})},
        {"Clutch=16 FirstGear=49\n", unbound, clutch16},
        {"Clutch=16=17\n", unbound, clutch16},
        {"Clutch==16\n", clutch5, clutch5},
        {"Clutch=\n", clutch5, clutch5},
        {"=\n", allSet, allSet},
        {"\n", allSet, allSet},
        {"Clutch=0x10\n", clutch5, keys({0})},
        {"Clutch=-5\n", unbound, keys({-5})},
        {"Clutch=+16\n", unbound, clutch16},
        {"Clutch=2147483647\n", unbound, keys({2147483647})},
        {"Clutch=2147483648\n", clutch5, clutch5},
        {"Clutch=abc\n", clutch16, clutch16},
        {"Clutch=17\n", clutch16, keys({17})},
        {"Clutch=16\r\n", unbound, clutch16},
        {"Reverse=82", unbound, keys({0, 0, 0, 0, 0, 82})},
        {"\xEF\xBB\xBF"
         "Clutch=16\n",
         unbound, clutch16},
        // Each key text selects its own field.
        {"FirstGear=49\n", unbound, keys({0, 49})},
        {"SecondGear=50\n", unbound, keys({0, 0, 50})},
        {"ThirdGear=51\n", unbound, keys({0, 0, 0, 51})},
        {"FourthGear=52\n", unbound, keys({0, 0, 0, 0, 52})},
        {"Reverse=82\n", unbound, keys({0, 0, 0, 0, 0, 82})},
        {"Enable/Disable=84\n", unbound, keys({0, 0, 0, 0, 0, 0, 84})},
        {"enable/disable=84\n", unbound, unbound},
        {"Reverse=82 Enable/Disable\n", unbound, keys({0, 0, 0, 0, 0, 82})},
        {"Clutc h=16\n", clutch5, clutch5},
        {"FourthGearClutch=1\n", unbound, keys({1})},
        // The value's parse.
        {"Clutch=\t\v\f 42\n", unbound, keys({42})},
        {"Clutch=16abc\n", unbound, clutch16},
        {"Clutch=+-5\n", clutch5, clutch5},
        {"Clutch=- 5\n", clutch5, clutch5},
        {"Clutch 16 = 17\n", unbound, keys({17})},
        {"Clutch=000000000000000000000000016\n", unbound, clutch16},
        {"Clutch=-2147483648\n", unbound, keys({-2147483647 - 1})},
        {"Clutch=-2147483649\n", clutch5, clutch5},
        {"Clutch=99999999999999999999999999\n", clutch5, clutch5},
        {"Clutch=-0\n", clutch5, keys({0})},
        // Pad buttons are the game's controls 0 to 360.
        {"PadHold=360\n", unbound, keys({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 360})},
        {"PadDown=-1\n", keys({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5}),
         keys({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5})},
        // A switch is 0 or 1; any other value leaves it as it was.
        {"FitGears=1\n", unbound, fitting},
        {"FitGears=0\n", fitting, unbound},
        {"FitGears=2\n", fitting, fitting},
        {"FitGears=-1\n", unbound, unbound},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        restart();
        EXPECT_EQ(load(c.text, c.before), c.after);
    }
}

TEST_F(BindingFileTest, MissingFileLeavesEveryKeyAtZero) {
    pass();
    EXPECT_TRUE(pluginState().bindingsLoaded);
    EXPECT_EQ(fieldsOf(bindingsState().keys), unbound);
}

TEST_F(BindingFileTest, AFileCreatedAfterLoadIsReadOnceWhenThePlayerNextGetsIn) {
    const int car = sim::addVehicle(0x0A01);
    sim::enterVehicle(car);
    passes(2);
    writeConfig("Clutch=16\n");
    passes(3);
    EXPECT_EQ(fieldsOf(bindingsState().keys), unbound) << "not while the player drives on";
    sim::leaveVehicle();
    pass();
    sim::enterVehicle(car);
    pass();
    EXPECT_EQ(fieldsOf(bindingsState().keys), keys({16}));
    EXPECT_NE(fileText(pluginFolder / "ManualGearbox.log").find("Found when you got in a vehicle"),
              std::string::npos);

    // Read once: a later edit waits for the reload key.
    writeConfig(sixLines);
    sim::leaveVehicle();
    pass();
    sim::enterVehicle(car);
    pass();
    EXPECT_EQ(fieldsOf(bindingsState().keys), keys({16}));
    EXPECT_EQ(sim::world.notifications.size(), 2u);
    EXPECT_EQ(
        sim::world.notifications.back().text,
        "Manual Gearbox: FirstGear and 4 more not bound in MTconfig.ini. See ManualGearbox.log");
}

TEST_F(BindingFileTest, TheFileIsReadOnceOnTheFirstFrame) {
    writeConfig(sixLines);
    pass();
    writeConfig("Clutch=17\n");
    passes(3);
    EXPECT_EQ(fieldsOf(bindingsState().keys), sixBound);
}

TEST_F(BindingFileTest, TheFirstPassLoadsTheToggleKeyBeforeItLooksAtTheToggle) {
    sim::setKey(keyT, true);
    load("Enable/Disable=84\n");
    EXPECT_FALSE(gearboxState().transmissionEnabled);
}

TEST_F(BindingFileTest, CrLfAndLfFilesReadAlike) {
    EXPECT_EQ(load(sixLines), sixBound);
    std::string crlf;
    for (const char c : sixLines) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    restart();
    EXPECT_EQ(load(crlf), sixBound);
}

TEST_F(BindingFileTest, CtrlZEndsTheText) {
    EXPECT_EQ(load("Clutch=16\nFirstGear=49\x1aSecondGear=50\nThirdGear=51\n"), keys({16, 49}));
    restart();
    EXPECT_EQ(load("Clutch=1\x1a"
                   "6\n"),
              keys({1}));
}

TEST_F(BindingFileTest, OnlyALeadingByteOrderMarkIsDropped) {
    EXPECT_EQ(load("\xEF\xBB\xBF"
                   "16 Clutch\n"),
              keys({16}));
    restart();
    EXPECT_EQ(load("FirstGear=49\n\xEF\xBB\xBF"
                   "16 Clutch\n"),
              keys({0, 49}));
}

TEST_F(BindingFileTest, Utf16FilesBindNothing) {
    for (const bool bigEndian : {false, true}) {
        const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const std::string& text :
             {mark + utf16(sixLines, bigEndian), utf16(sixLines, bigEndian), mark + sixLines}) {
            SCOPED_TRACE(testing::PrintToString(text));
            restart();
            EXPECT_EQ(load(text), unbound);
        }
    }
}

TEST_F(BindingFileTest, TheLastLineNeedsNoLineEnd) {
    EXPECT_EQ(load("Clutch=16\nReverse=82"), keys({16, 0, 0, 0, 0, 82}));
}

TEST_F(BindingFileTest, TheLastValueThatParsedWins) {
    EXPECT_EQ(load("Clutch=16\nClutch=17\nClutch=abc\nClutch=\nClutch=2147483648\n"), keys({17}));
}

TEST_F(BindingFileTest, ValuesAtAndJustPastBothEndsOfTheRange) {
    const Fields before = keys({1, 2, 3, 4});
    EXPECT_EQ(load("Clutch=-2147483648\nFirstGear=2147483647\n"
                   "SecondGear=-2147483649\nThirdGear=2147483648\n",
                   before),
              keys({-2147483647 - 1, 2147483647, 3, 4}));
}

TEST_F(BindingFileTest, AFileOfUpTo1MiBIsReadToItsEndAndALargerOneNotAtAll) {
    const std::string lines = "Clutch=16\nFirstGear=49\n";
    const std::string full = std::string(bindingFileBytesAtMost - lines.size(), 'x') + lines;
    EXPECT_EQ(load(full), keys({16, 49}));
    restart();
    EXPECT_EQ(load(full + "\n", keys({5})), keys({5}));
}

// --- Where the file is, the log, the notice and reloading -------------------------

// The plug-in kept in a folder of its own, away from the game's working folder.
class PlugInFolderTest : public BindingFileTest {
  protected:
    void SetUp() override {
        BindingFileTest::SetUp();
        std::filesystem::create_directory("scripts");
        asiFolder = std::filesystem::current_path() / "scripts";
        nativeModuleFolder() = asiFolder.string();
    }

    std::string log() const { return fileText(asiFolder / "ManualGearbox.log"); }

    std::filesystem::path asiFolder;
};

TEST_F(PlugInFolderTest, TheFileBesideThePlugInComesFirstAndTheLogSaysWhichWasRead) {
    writeConfig("Clutch=17\n");
    std::ofstream(asiFolder / "MTconfig.ini") << "Clutch=16\nclutch=18\n";
    pass();
    EXPECT_EQ(fieldsOf(bindingsState().keys), keys({16}));
    EXPECT_EQ(log().substr(0, log().find('\n', log().find('\n') + 2) + 1),
              "Manual Gearbox " + std::string(productVersion) + "\n\n" +
                  (asiFolder / "MTconfig.ini").string() + ": 2 lines\n");
    EXPECT_NE(log().find("   2  clutch=18   nothing: write \"Clutch\", not \"clutch\""),
              std::string::npos);
    EXPECT_NE(log().find("Result: the gearbox can't use all its gears"), std::string::npos);
}

TEST_F(PlugInFolderTest, WithoutAFileTheLogNamesBothPlacesItLookedIn) {
    pass();
    EXPECT_EQ(fieldsOf(bindingsState().keys), unbound);
    EXPECT_NE(log().find("MTconfig.ini not found; looked in:\n  " +
                         (asiFolder / "MTconfig.ini").string() + "\n  " +
                         (std::filesystem::current_path() / "MTconfig.ini").string() + "\n"),
              std::string::npos)
        << log();
    EXPECT_NE(log().find("  - no clutch: without clutchKey no gear can be selected"),
              std::string::npos);
}

TEST_F(PlugInFolderTest, ALogThatCantBeWrittenLeavesTheLastAndTheNoticeDoesntSendThePlayerThere) {
    for (const bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "a full disk" : "a folder in the log's place");
        restart();
        const std::filesystem::path logPath = asiFolder / "ManualGearbox.log";
        const std::filesystem::path newLog = asiFolder / "ManualGearbox.log.tmp";
        if (fullDisk) {
            std::ofstream(logPath) << "the last log\n";
            // Writes to /dev/full fail once they are flushed, as on a full disk.
            std::filesystem::create_symlink("/dev/full", newLog);
        } else {
            std::filesystem::create_directory(logPath);
        }
        writeConfig("Clutch=16\n");
        pass();
        EXPECT_EQ(fieldsOf(bindingsState().keys), keys({16}));
        if (fullDisk) {
            EXPECT_EQ(log(), "the last log\n");
        } else {
            EXPECT_TRUE(std::filesystem::is_directory(logPath));
        }
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(newLog)));
        EXPECT_EQ(bindingsNotice(),
                  "Manual Gearbox: FirstGear and 4 more not bound in MTconfig.ini.");
    }
    // The error's line, added to the log, counts only once it reached the disk.
    std::filesystem::remove(asiFolder / "ManualGearbox.log");
    std::filesystem::create_symlink("/dev/full", asiFolder / "ManualGearbox.log");
    EXPECT_FALSE(logFault("a test"));
}

std::vector<std::string> notificationTexts() {
    std::vector<std::string> texts;
    for (const sim::Notification& notification : sim::world.notifications) {
        texts.push_back(notification.text);
    }
    return texts;
}

const std::string seeLog = " See ManualGearbox.log";

TEST_F(BindingFileTest, TheNoticeSaysOnceWhenThePlayerFirstDrivesWhyGearsCantBeChanged) {
    const struct {
        std::string file;
        std::string notice;
    } cases[] = {
        {"",
         "Manual Gearbox: MTconfig.ini not found, read when you next get in a vehicle." + seeLog},
        {utf16(sixLines, false).insert(0, "\xFF\xFE"),
         "Manual Gearbox: MTconfig.ini is saved as UTF-16, so it binds no key." + seeLog},
        {sixLines + std::string(bindingFileBytesAtMost, '\n'),
         "Manual Gearbox: MTconfig.ini is larger than 1 MiB, not read." + seeLog},
        {"FirstGear=49\n",
         "Manual Gearbox: no Clutch in MTconfig.ini, gears can't be changed." + seeLog},
        {"Clutch=16\nSecondGear=50\nThirdGear=51\nReverse=82\n",
         "Manual Gearbox: FirstGear and FourthGear not bound in MTconfig.ini." + seeLog},
        {"Clutch=16\nSecondGear=50\nThirdGear=51\n",
         "Manual Gearbox: FirstGear and 2 more not bound in MTconfig.ini." + seeLog},
        {"Clutch=16\nSecondGear=50\nThirdGear=51\nBind=119\n",
         "Manual Gearbox: FirstGear and 2 more not bound in MTconfig.ini. Press F8 to choose "
         "keys."},
        {sixLines, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice);
        restart();
        if (!c.file.empty()) {
            writeConfig(c.file);
        }
        const int car = sim::addVehicle(0x0A01);
        passes(3);
        EXPECT_TRUE(sim::world.notifications.empty()) << "on foot";
        sim::enterVehicle(car);
        passes(3);
        sim::leaveVehicle();
        pass();
        sim::enterVehicle(car);
        passes(3);
        EXPECT_EQ(notificationTexts(), c.notice.empty() ? std::vector<std::string>{}
                                                        : std::vector<std::string>{c.notice});
    }
}

TEST_F(BindingFileTest, TheReloadKeyReadsTheFileAgainOncePerPressAndReplacesEveryBinding) {
    constexpr int keyF5 = 116;
    writeConfig("Reload=116\nClutch=16\nEnable/Disable=84\n");
    pass();
    writeConfig("Reload=116\nClutch=17\n" + sixLines.substr(sixLines.find('\n') + 1));

    sim::setKey(keyF5, true);
    clearCalls();
    passes(4);
    EXPECT_EQ(fieldsOf(bindingsState().keys), keys({17, 49, 50, 51, 52, 82, 0, keyF5}));
    EXPECT_EQ(notificationTexts(), std::vector<std::string>{"Manual Gearbox: MTconfig.ini read "
                                                            "again, every gear can be reached."});
    EXPECT_EQ(waits(), (std::vector<std::int64_t>{0, 0, 0, 0}));

    // A file that isn't read keeps every key; one that binds no reload key
    // keeps that one, so that the player can fix it and read it again.
    const Fields clutch18 = keys({18, 0, 0, 0, 0, 0, 0, keyF5});
    const struct {
        std::string file;
        Fields after;
        std::string notice;
    } cases[] = {
        {"Reload=116\nClutch=18\n", clutch18,
         "Manual Gearbox: MTconfig.ini read again: FirstGear and 4 more not bound." + seeLog},
        {"Clutch=16\n" + std::string(bindingFileBytesAtMost, '\n'), clutch18,
         "Manual Gearbox: MTconfig.ini is larger than 1 MiB, not read; the keys stay." + seeLog},
        {"", clutch18,
         "Manual Gearbox: MTconfig.ini can't be opened, the keys stay as they were." + seeLog},
        {sixLines, keys({16, 49, 50, 51, 52, 82, 0, keyF5}),
         "Manual Gearbox: MTconfig.ini read again, every gear can be reached."},
        {"\xFF\xFE" + utf16("Reload=117\n", false), keys({0, 0, 0, 0, 0, 0, 0, keyF5}),
         "Manual Gearbox: MTconfig.ini read again: it is UTF-16 and binds no key." + seeLog},
    };
    for (const auto& c : cases) {
        sim::setKey(keyF5, false);
        pass();
        if (c.file.empty()) {
            std::filesystem::remove("MTconfig.ini");
        } else {
            writeConfig(c.file);
        }
        sim::setKey(keyF5, true);
        pass();
        EXPECT_EQ(fieldsOf(bindingsState().keys), c.after);
        EXPECT_EQ(notificationTexts().back(), c.notice);
    }
    EXPECT_EQ(sim::world.notifications.size(), 6u);
    EXPECT_NE(fileText(pluginFolder / "ManualGearbox.log")
                  .find("Read again in the game.\nIt binds no Reload key, so reloadKey stays 116 "
                        "(F5).\n"),
              std::string::npos);
}

// Keys chosen in the game that can't be saved as they should be: the notice
// gives the true reason, and the file as it was is kept aside only when the
// .bak couldn't take it, and never written over.
TEST_F(BindingFileTest, KeysNotSavedAsTheyShouldBeAreToldTheTrueReason) {
    namespace fs = std::filesystem;
    const std::string file = "Bind=119\nClutch=16\n";
    const std::string notSaved = "Manual Gearbox: keys in use until the game ends, not saved: ";
    const struct {
        std::function<void()> setUp;
        std::string notice;
        std::string keptAside{};
    } cases[] = {
        {[] { fs::remove("MTconfig.ini"), fs::create_directory("MTconfig.ini"); },
         notSaved + "MTconfig.ini is a folder."},
        {[] { fs::remove("MTconfig.ini"), mkfifo("MTconfig.ini", 0644); },
         notSaved + "MTconfig.ini is a FIFO."},
        {[] { fs::remove("MTconfig.ini"), fs::create_symlink("/dev/null", "MTconfig.ini"); },
         notSaved + "MTconfig.ini is a device."},
        {[] { fs::create_symlink("/dev/full", "MTconfig.ini.tmp"); },
         notSaved + "the disk is full."},
        {[&] { writeConfig(file + std::string(bindingFileBytesAtMost - file.size(), '\n')); },
         std::string(keysTooLargeNotice)},
        {[] { std::ofstream("MTconfig.ini.bak.tmp") << "older"; },
         notSaved + "MTconfig.ini.bak.tmp holds an old file.", "older"},
        {[] { fs::create_directories("MTconfig.ini.bak/kept"); },
         std::string(keysSavedBackupAsideNotice), file},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.notice);
        restart();
        writeConfig(file);
        pass();
        c.setUp();
        for (const int key : {119, 81, 49, 50, 51, 52, 82}) {
            sim::setKey(key, true);
            pass();
            sim::setKey(key, false);
        }
        EXPECT_EQ(notificationTexts().back(), c.notice);
        EXPECT_EQ(fileText("MTconfig.ini.bak.tmp"), c.keptAside);
    }
}

// Whatever the file and the keys it binds, a notice fits the one text
// component of a notification, and names the log only when it was written.
TEST(BindingsNoticeTest, EveryNoticeFitsOneTextComponent) {
    const int longestKeyName =
        std::ranges::max(virtualKeyNames(), {}, [](const VirtualKeyName& key) {
            return std::string_view(key.name).size();
        }).code;
    // Bits 0 to 5: the clutch and gear keys bound; 6: a reload; 7: the log
    // written; above, the file and the Bind key.
    constexpr unsigned files = static_cast<unsigned>(lastBindingsFile) + 1;
    for (unsigned i = 0; i < 3 * files * 256; ++i) {
        KeyBindings bindings{};
        bindings.bindKey = std::array{0, 119, longestKeyName}[(i >> 8) / files];
        for (std::size_t field = 0; field < 6; ++field) {
            bindings.*bindingFields[field].member = (i >> field) & 1u;
        }
        const bool logWritten = (i >> 7) & 1u;
        const std::string notice = bindingsNoticeText(static_cast<BindingsFile>((i >> 8) % files),
                                                      bindings, (i >> 6) & 1u, logWritten);
        EXPECT_LE(notice.size(), 99u) << notice;
        EXPECT_TRUE(logWritten || !notice.ends_with(seeLog)) << notice;
    }
    // The recorder's, a game controller missing and a clutch pedal the other
    // way, with any key name, axis, the longest file name and any reason, and
    // the error's.
    std::vector<std::string> recorderNotices = {
        recordingSavedNotice("ManualGearbox-20991231-235959-99.drec").data(),
        std::string(recordingNoMemoryNotice),
        std::string(faultNotice(true)),
        std::string(faultNotice(false)),
        std::string(keysSavedNotice),
        std::string(keysSavedBackupAsideNotice),
        std::string(keysTooLargeNotice),
        std::string(keysCancelledNotice)};
    for (const std::string_view why :
         {fileIsFolder, fileIsFifo, fileIsDevice, fileIsNoFile, fileIsReadOnly, fileUnreadable,
          oldFileAside, textReadsOtherwise}) {
        recorderNotices.push_back(keysNotSavedNotice(why));
    }
    const std::vector<ControllerId> attached(controllersAtMost, ControllerId{0x046D, 0xC24F});
    recorderNotices.push_back(controllerFoundNotice({0xFFFF, 0xFFFF}));
    for (ControllerPart part = firstAxisPart; part <= lastControllerPart; ++part) {
        recorderNotices.push_back(reversedClutchNotice({{0xFFFF, 0xFFFF}, part}));
    }
    for (int key = 0; key < 256; ++key) {
        for (std::size_t count = 0; count <= attached.size(); ++count) {
            recorderNotices.push_back(
                controllerMissingNotice({0xFFFF, 0xFFFF}, std::span(attached).first(count), key));
        }
        for (std::uint8_t step = 1; step <= lastControllerStep; ++step) {
            for (const std::int32_t answer :
                 {directInputAnswer::notAcquired, directInputAnswer::inputLost,
                  directInputAnswer::unplugged, directInputAnswer::otherAppHasPriority,
                  std::int32_t{directInputAnswer::ok}}) {
                recorderNotices.push_back(controllerFaultNotice(
                    {0xFFFF, 0xFFFF}, {static_cast<ControllerStep>(step), answer}, key));
            }
        }
        recorderNotices.push_back(recordingStartedNotice(key));
        recorderNotices.push_back(recordingStillSavingNotice(key).data());
        for (int fault = 0; fault <= static_cast<int>(WriteFault::Other); ++fault) {
            recorderNotices.push_back(
                recordingNotSavedNotice(static_cast<WriteFault>(fault), key).data());
            recorderNotices.push_back(keysNotSavedNotice(writeFaultText(WriteFault(fault))));
        }
    }
    // Force feedback unavailable, for each reason, with a Steering line or
    // without.
    for (int status = 0; status <= static_cast<int>(ForceFeedbackStatus::Off); ++status) {
        for (const ControllerPart steering : {0, 129}) {
            KeyBindings bindings{};
            bindings.forceFeedback = 100;
            bindings.steeringAxis = {{0x046D, 0xC24F}, steering};
            const std::string notice =
                forceFeedbackNotice(bindings, static_cast<ForceFeedbackStatus>(status));
            EXPECT_EQ(notice.empty(), status == static_cast<int>(ForceFeedbackStatus::On));
            recorderNotices.push_back(notice);
        }
    }
    for (const std::string& notice : recorderNotices) {
        EXPECT_LE(notice.size(), 99u) << notice;
    }
}

// Whatever the field, the keys in use, chosen and refused and why, the line
// that asks for a key is whole in one text component.
class ChoosingLineTest : public PluginTest {};

TEST_F(ChoosingLineTest, EveryLineFitsOneTextComponent) {
    restoreState({{"gameHasFocus", 0}});
    for (int refusal = 0; refusal <= int(lastRefusal); ++refusal) {
        for (int key = -1; key < choosingCodesBelow; ++key) {
            const VirtualKeyCode code = key < 0 ? INT32_MIN : key;
            for (std::uint8_t step = 0; step < choosableFieldCount; ++step) {
                restoreState({{"choosing", 1},
                              {"choosingStep", step},
                              {"chosenKey0", code},
                              {"refusedKey", code},
                              {"refusal", refusal}});
                bindField(bindingFields[choosableFields[step]].member, code);
                const std::string line = chooseKeysPass().line.data();
                EXPECT_TRUE(line.ends_with("cancels.")) << line;
            }
        }
    }
}

// And on a wheel's steps, with the longest part in use and refused, whichever
// field has the part refused, and the longest key refused.
TEST_F(ChoosingLineTest, EveryWheelLineFitsOneTextComponent) {
    constexpr ControllerBinding longest = {{0xFFFF, 0xFFFF}, controllerButtonCount};
    sim::plugController(0, longest.device, ControllerType::Wheel, "Wheel");
    findEveryController();
    KeyBindings keys = bindingsState().keys;
    for (const std::size_t field : wheelChoosableFields) {
        keys.*bindingFields[field].input = longest;
    }
    useKeyBindings(keys);
    restoreState({{"gameHasFocus", 0}});
    const int longestKey = std::ranges::max(virtualKeyNames(), {}, [](const VirtualKeyName& key) {
                               return std::string_view(key.name).size();
                           }).code;
    for (std::size_t place = 0; place < wheelChoosableCount; ++place) {
        for (std::size_t holder = 0; holder < wheelChoosableCount; ++holder) {
            for (const Refusal refusal :
                 {Refusal::None, Refusal::AlreadyChosen, Refusal::NotTheWheel}) {
                stopChoosingKeys();
                restoreState(
                    {{"choosing", 1},
                     {"choosingStep", int(choosableFieldCount + place)},
                     {"chosenPart" + std::to_string(holder), longest.part},
                     {"refusedKey", refusal == Refusal::NotTheWheel ? longestKey : longest.part},
                     {"refusal", int(refusal)}});
                const std::string line = chooseKeysPass().line.data();
                EXPECT_TRUE(line.ends_with("cancels.")) << line;
            }
        }
    }
}

// --- The reader's report -------------------------------------------------------

// Everything the reader reported of a text: each line's start as written and
// its outcome, and the summary.
struct Recording {
    std::vector<std::string> lines;
    std::vector<std::tuple<std::uint64_t, int, bool, int, std::int32_t, int>> outcomes;
    std::tuple<std::uint64_t, bool, bool, std::uint64_t> summary;
};

Recording readText(std::string_view text) {
    Recording recording;
    KeyBindings bindings{};
    const ReadSummary summary = readBindingText(text, bindings, [&](const LineOutcome& line) {
        recording.lines.emplace_back(line.text);
        recording.outcomes.emplace_back(
            line.number, static_cast<int>(line.keyTextsFound.to_ulong()), line.hasEquals,
            static_cast<int>(line.parse), line.value, line.byteAfterDigits);
    });
    recording.summary = {summary.lines, summary.utf8ByteOrderMark, summary.utf16,
                         summary.ctrlZLine};
    return recording;
}

TEST(BindingReportTest, ExplainsTheFirst200LinesAndCountsTheRestWithOverridesBeyond) {
    std::string text;
    for (int line = 1; line <= 250; ++line) {
        text += line == 150 ? "Clutch=16\n" : line == 230 ? "Clutch=17\n" : "\n";
    }
    const BindingReading reading = readBindings(text);
    EXPECT_EQ(reading.summary.lines, 250u);
    ASSERT_EQ(reading.lines.size(), explainedLinesAtMost);
    EXPECT_EQ(reading.bindings.clutchKey, 17);
    const std::string report = bindingFileReport(reading, "long.ini");
    EXPECT_NE(report.find(" 150  Clutch=16   clutchKey = 16 (Shift); line 230 overrides it\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\n 200              nothing: blank line\n"
                          "... and 50 more lines, not explained here\n\nBindings\n"),
              std::string::npos)
        << report;
}

TEST(BindingReaderTest, ReportsEachLineAsReadAndWhatItMadeOfIt) {
    const Recording recording =
        readText("\xEF\xBB\xBF"
                 "Clutch=16\r\nFirstGear Clutch=0x10\nsecond\rgear=\r\n9 FourthGear=52\n"
                 "Reverse=99999999999\r");
    EXPECT_EQ(recording.lines, (std::vector<std::string>{"Clutch=16", "FirstGear Clutch=0x10",
                                                         "second\rgear=", "9 FourthGear=52",
                                                         "Reverse=99999999999\r"}));
    using Outcome = std::tuple<std::uint64_t, int, bool, int, std::int32_t, int>;
    EXPECT_EQ(recording.outcomes,
              (std::vector<Outcome>{
                  {1, 0b1, true, static_cast<int>(ValueParse::Parsed), 16, -1},
                  {2, 0b11, true, static_cast<int>(ValueParse::Parsed), 0, 'x'},
                  {3, 0, true, static_cast<int>(ValueParse::NoDigits), 0, -1},
                  {4, 0b10000, true, static_cast<int>(ValueParse::Parsed), 52, -1},
                  {5, 0b100000, true, static_cast<int>(ValueParse::OutOfRange), 0, '\r'},
              }));
    EXPECT_EQ(recording.summary, std::make_tuple(std::uint64_t{5}, true, false, std::uint64_t{0}));
}

TEST(BindingReaderTest, TellsWhereTheTextEnded) {
    EXPECT_EQ(readText("a\nb\x1a\nc\n").summary,
              std::make_tuple(std::uint64_t{2}, false, false, std::uint64_t{2}));
    EXPECT_EQ(readText("\xFE\xFF\0C"sv).summary,
              std::make_tuple(std::uint64_t{0}, false, true, std::uint64_t{0}));
    EXPECT_EQ(readText("").summary,
              std::make_tuple(std::uint64_t{0}, false, false, std::uint64_t{0}));
}

} // namespace
