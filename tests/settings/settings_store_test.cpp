// The settings key in its file: typed reads, the type errors, and writes that change one
// value's line and nothing else of the file.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

#include "settings/settings_store.h"

namespace {

const QByteArray kHeader = "[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup]";

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(data), data.size());
}

// The message of the SettingsError that f throws, or "" when it throws none.
std::string failure(const std::function<void()>& f) {
    try {
        f();
    } catch (const SettingsError& e) {
        return e.what();
    }
    return {};
}

class SettingsStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Setup.reg"));
    SettingsStore store{path};

    void keyWith(const QByteArray& lines) {
        writeFile(path, "Windows Registry Editor Version 5.00\n\n" + kHeader + "\n" + lines);
    }
};

enum class Read { Bool, Integer, Text };

struct WrongType {
    const char* row;
    const char* line;
    const char* name;
    Read read;
};

// Every value whose stored type is not the one read: numbers where texts belong and back,
// registry types the program never writes, and data that does not match its own type.
const WrongType kWrongTypes[] = {
    {"NumberAsText", "\"Message1\"=dword:00000005", "Message1", Read::Text},
    {"BinaryAsText", "\"Message1\"=hex:41,00,42,00", "Message1", Read::Text},
    {"ExpandStringAsText", "\"Message2\"=hex(2):41,00,00,00", "Message2", Read::Text},
    {"MultiStringAsText", "\"Message2\"=hex(7):41,00,00,00,00,00", "Message2", Read::Text},
    {"DwordBytesAsText", "\"Message1\"=hex(4):05,00,00,00", "Message1", Read::Text},
    {"UnterminatedText", "\"Message1\"=\"This is a prime", "Message1", Read::Text},
    {"TextWithTrailingJunk", "\"Message1\"=\"abc\" def", "Message1", Read::Text},
    {"TextAsBoolean", "\"Sep\"=\"yes\"", "Sep", Read::Bool},
    {"TextAsInteger", "\"MainPositionTop\"=\"107\"", "MainPositionTop", Read::Integer},
    {"StringBytesAsInteger", "\"WWidth\"=hex(1):32,00,00,00", "WWidth", Read::Integer},
    {"QwordAsBoolean", "\"Warn\"=hex(b):01,00,00,00,00,00,00,00", "Warn", Read::Bool},
    {"BinaryAsBoolean", "\"Certif\"=hex:01", "Certif", Read::Bool},
    {"ShortDwordBytes", "\"Certif\"=hex(4):01,00,00", "Certif", Read::Bool},
    {"DwordNotHex", "\"Warn\"=dword:zz", "Warn", Read::Bool},
    {"DwordTooLong", "\"WHeight\"=dword:123456789", "WHeight", Read::Integer},
    {"DwordEmpty", "\"WHeight\"=dword:", "WHeight", Read::Integer},
    {"BadHexByte", "\"Message1\"=hex(1):4g,00", "Message1", Read::Text},
    {"UnknownTypeWord", "\"Sort\"=qword:1", "Sort", Read::Bool},
};

void PrintTo(const WrongType& c, std::ostream* os) { *os << c.line; }

class WrongTypeTest : public SettingsStoreTest, public ::testing::WithParamInterface<WrongType> {};

TEST_P(WrongTypeTest, ReadNamesTheValueAndTheWriteOfAnotherKeepsIt) {
    const WrongType& c = GetParam();
    const QByteArray original = "Windows Registry Editor Version 5.00\n\n" + kHeader + "\n" + c.line + "\n";
    writeFile(path, original);
    const QString name = QString::fromLatin1(c.name);

    ASSERT_TRUE(store.open(false));
    EXPECT_TRUE(store.valueExists(name));
    const std::string message = failure([&] {
        switch (c.read) {
        case Read::Bool: store.readBool(name); break;
        case Read::Integer: store.readInteger(name); break;
        case Read::Text: store.readText(name); break;
        }
    });
    EXPECT_EQ(message, "Invalid data type for '" + std::string(c.name) + "'");
    store.close();

    // The options window writes its values one by one: another value leaves this line alone.
    ASSERT_TRUE(store.open(true));
    store.writeBool(QStringLiteral("PrimeList"), true);
    store.close();
    EXPECT_EQ(readFile(path), original + "\"PrimeList\"=dword:00000001\n");

    // Written anew, it is the program's value of the program's type, in the same place.
    ASSERT_TRUE(store.open(true));
    if (c.read == Read::Text) store.writeText(name, QStringLiteral("new"));
    else store.writeInteger(name, 7);
    store.close();
    const QByteArray written = "\"" + QByteArray(c.name) + "\"=" + (c.read == Read::Text ? "\"new\"" : "dword:00000007");
    EXPECT_EQ(readFile(path),
              "Windows Registry Editor Version 5.00\n\n" + kHeader + "\n" + written + "\n\"PrimeList\"=dword:00000001\n");
    ASSERT_TRUE(store.open(false));
    if (c.read == Read::Text) EXPECT_EQ(store.readText(name), "new");
    else EXPECT_EQ(store.readInteger(name), 7);
}

INSTANTIATE_TEST_SUITE_P(Values, WrongTypeTest, ::testing::ValuesIn(kWrongTypes),
                         [](const auto& info) { return std::string(info.param.row); });

TEST_F(SettingsStoreTest, ANumberInMessage1StaysUntilMessage1IsWritten) {
    // A key as a user may have left it: a number in a text value, binary data, a comment, the
    // key's default value, a line of no known form, another key and a subkey.
    const QByteArray before = "Windows Registry Editor Version 5.00\n"
                              "\n"
                              "[HKEY_CURRENT_USER\\Software\\Other]\n"
                              "\"Message1\"=\"not ours\"\n"
                              "\n" +
                              kHeader +
                              "\n"
                              "; kept by hand\n"
                              "@=\"default\"\n"
                              "\"PrimeList\"=dword:00000000\n"
                              "\"Message1\"=dword:00000005\n"
                              "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\n"
                              "  17,18,19\n"
                              "\"Later\"=hex(b):01,00,00,00,00,00,00,00\n"
                              "garbage line\n"
                              "\n"
                              "[HKEY_CURRENT_USER\\Software\\Velorin\\Quendra 4\\Setup\\Sub]\n"
                              "\"Message1\"=\"subkey\"\n";
    writeFile(path, before);

    ASSERT_TRUE(store.open(false));
    EXPECT_FALSE(store.readBool(QStringLiteral("PrimeList")));
    EXPECT_EQ(failure([&] { store.readText(QStringLiteral("Message1")); }), "Invalid data type for 'Message1'");
    store.close();

    ASSERT_TRUE(store.open(true));
    store.writeBool(QStringLiteral("PrimeList"), true);
    store.writeText(QStringLiteral("Message2"), QStringLiteral("This is composite"));
    store.close();
    QByteArray after = before;
    after.replace("\"PrimeList\"=dword:00000000", "\"PrimeList\"=dword:00000001");
    after.replace("garbage line\n", "garbage line\n\"Message2\"=\"This is composite\"\n");
    EXPECT_EQ(readFile(path), after);

    ASSERT_TRUE(store.open(false));
    EXPECT_EQ(failure([&] { store.readText(QStringLiteral("Message1")); }), "Invalid data type for 'Message1'");
    EXPECT_TRUE(store.valueExists(QStringLiteral("Blob")));
    store.close();

    ASSERT_TRUE(store.open(true));
    store.writeText(QStringLiteral("Message1"), QStringLiteral("Prime!"));
    store.close();
    after.replace("\"Message1\"=dword:00000005", "\"Message1\"=\"Prime!\"");
    EXPECT_EQ(readFile(path), after);
    ASSERT_TRUE(store.open(false));
    EXPECT_EQ(store.readText(QStringLiteral("Message1")), "Prime!");
}

struct RightType {
    const char* row;
    const char* line;
    const char* name;
    Read read;
    qint64 number;
    const char* text;
};

// The spellings of REG_DWORD and REG_SZ a registry export may hold.
const RightType kRightTypes[] = {
    {"Dword", "\"WWidth\"=dword:000000da", "WWidth", Read::Integer, 218, ""},
    {"DwordNegative", "\"MainPositionLeft\"=dword:ffffffce", "MainPositionLeft", Read::Integer, -50, ""},
    {"DwordShortUpperCase", "\"WHeight\"=DWORD:1F4", "WHeight", Read::Integer, 500, ""},
    {"DwordNonZeroIsTrue", "\"Certif\"=dword:00000005", "Certif", Read::Bool, 1, ""},
    {"DwordZeroIsFalse", "\"Certif\"=dword:00000000", "Certif", Read::Bool, 0, ""},
    {"DwordBytes", "\"WWidth\"=hex(4):00,01,00,00", "WWidth", Read::Integer, 256, ""},
    {"Text", "\"Message1\"=\"Prime \\\"at\\\" C:\\\\x\"", "Message1", Read::Text, 0, "Prime \"at\" C:\\x"},
    {"EmptyText", "\"Message1\"=\"\"", "Message1", Read::Text, 0, ""},
    {"TextBytes", "\"Message1\"=hex(1):50,00,e9,00,0a,00,21,00,00,00", "Message1", Read::Text, 0, "P\xC3\xA9\n!"},
    {"TextBytesOverLines", "\"Message2\"=hex(1):41,00,\\\n  42,00,\\\n  00,00", "Message2", Read::Text, 0, "AB"},
    {"OtherCaseOfName", "\"message1\"=\"lower\"", "Message1", Read::Text, 0, "lower"},
    {"SpacesAroundEquals", "\"Sep\" = dword:00000001", "Sep", Read::Bool, 1, ""},
    {"LastOfTwoWins", "\"WWidth\"=\"x\"\n\"WWidth\"=dword:00000190", "WWidth", Read::Integer, 400, ""},
};

void PrintTo(const RightType& c, std::ostream* os) { *os << c.line; }

class RightTypeTest : public SettingsStoreTest, public ::testing::WithParamInterface<RightType> {};

TEST_P(RightTypeTest, Reads) {
    const RightType& c = GetParam();
    keyWith(QByteArray(c.line) + "\r\n");
    const QString name = QString::fromLatin1(c.name);
    ASSERT_TRUE(store.open(false));
    ASSERT_TRUE(store.valueExists(name));
    switch (c.read) {
    case Read::Bool: EXPECT_EQ(store.readBool(name), c.number != 0); break;
    case Read::Integer: EXPECT_EQ(store.readInteger(name), c.number); break;
    case Read::Text: EXPECT_EQ(store.readText(name), QString::fromUtf8(c.text)); break;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, RightTypeTest, ::testing::ValuesIn(kRightTypes),
                         [](const auto& info) { return std::string(info.param.row); });

TEST_F(SettingsStoreTest, AbsentRemovedAndUnopenedValuesDoNotExist) {
    keyWith("\"Sep\"=dword:00000001\n\"Sep\"=-\n\"Warn\"=dword:00000001\n");
    EXPECT_FALSE(store.valueExists(QStringLiteral("Warn")));   // not opened yet
    ASSERT_TRUE(store.open(false));
    EXPECT_FALSE(store.valueExists(QStringLiteral("Sep")));
    EXPECT_FALSE(store.valueExists(QStringLiteral("Filter")));
    EXPECT_TRUE(store.valueExists(QStringLiteral("warn")));
    // A read of a value that is not there fails like the registry's.
    EXPECT_EQ(failure([&] { store.readBool(QStringLiteral("Filter")); }), "Invalid data type for 'Filter'");
    store.close();
    EXPECT_FALSE(store.valueExists(QStringLiteral("Warn")));
}

TEST_F(SettingsStoreTest, TheKeyIsMadeOnTheFirstOpenForWritingOnly) {
    EXPECT_FALSE(store.keyExists());
    EXPECT_FALSE(store.open(false));
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(store.open(true));
    EXPECT_TRUE(store.keyExists());
    store.writeInteger(QStringLiteral("MainPositionTop"), -3);
    store.writeText(QStringLiteral("Message1"), QStringLiteral("two\nlines \"q\""));
    store.writeText(QStringLiteral("Message2"), QStringLiteral("caf\u00e9 \u2713"));
    store.close();
    EXPECT_EQ(readFile(path), "Windows Registry Editor Version 5.00\n\n" + kHeader +
                                  "\n\"MainPositionTop\"=dword:fffffffd\n"
                                  // a line break cannot stand between quotes: REG_SZ bytes instead
                                  "\"Message1\"=hex(1):74,00,77,00,6f,00,0a,00,6c,00,69,00,6e,00,65,00,73,00,20,00,22,"
                                  "00,71,00,22,00,00,00\n"
                                  "\"Message2\"=\"caf\xC3\xA9 \xE2\x9C\x93\"\n");

    ASSERT_TRUE(store.open(false));
    EXPECT_EQ(store.readInteger(QStringLiteral("MainPositionTop")), -3);
    EXPECT_EQ(store.readText(QStringLiteral("Message1")), "two\nlines \"q\"");
    EXPECT_EQ(store.readText(QStringLiteral("Message2")), QStringLiteral("caf\u00e9 \u2713"));
}

TEST_F(SettingsStoreTest, AKeyAddedToAFileOfOtherKeysGoesAtItsEnd) {
    const QByteArray other = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"A\"=\"b\"";
    writeFile(path, other);   // no line end on the last line
    EXPECT_FALSE(store.open(false));
    ASSERT_TRUE(store.open(true));
    store.writeBool(QStringLiteral("ME"), false);
    EXPECT_EQ(readFile(path), other + "\n\n" + kHeader + "\n\"ME\"=dword:00000000\n");
}

TEST_F(SettingsStoreTest, ARegeditExportKeepsItsEncodingAndLineEnds) {
    // regedit writes UTF-16 with a byte-order mark and CRLF line ends.
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + QString::fromLatin1(kHeader) +
                         QStringLiteral("\r\n\"Message1\"=\"Primzahl \u00fc\"\r\n\"Warn\"=hex:00\r\n\r\n");
    QByteArray utf16("\xFF\xFE");
    for (QChar c : text) utf16 += char(c.unicode() & 0xFF), utf16 += char(c.unicode() >> 8);
    writeFile(path, utf16);

    ASSERT_TRUE(store.open(false));
    EXPECT_EQ(store.readText(QStringLiteral("Message1")), QStringLiteral("Primzahl \u00fc"));
    store.close();
    ASSERT_TRUE(store.open(true));
    store.writeBool(QStringLiteral("Sep"), true);
    store.writeText(QStringLiteral("message1"), QStringLiteral("\u03c0"));   // keeps the file's spelling
    store.close();

    const QString expected = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n") + QString::fromLatin1(kHeader) +
                             QStringLiteral("\r\n\"Message1\"=\"\u03c0\"\r\n\"Warn\"=hex:00\r\n\"Sep\"=dword:00000001\r\n\r\n");
    QByteArray want("\xFF\xFE");
    for (QChar c : expected) want += char(c.unicode() & 0xFF), want += char(c.unicode() >> 8);
    EXPECT_EQ(readFile(path), want);
}

TEST_F(SettingsStoreTest, AnEightBitFileKeepsItsBytes) {
    // Not UTF-8: a Latin-1 comment and text. Its bytes come back unchanged; a new text that
    // Latin-1 cannot hold is written as REG_SZ bytes.
    const QByteArray before = "REGEDIT4\n\n" + kHeader + "\n; r\xE9glages\n\"Message1\"=\"premier \xE9\"\n";
    writeFile(path, before);
    ASSERT_TRUE(store.open(true));
    EXPECT_EQ(store.readText(QStringLiteral("Message1")), QStringLiteral("premier \u00e9"));
    store.writeText(QStringLiteral("Message2"), QStringLiteral("\u2260"));
    store.close();
    EXPECT_EQ(readFile(path), before + "\"Message2\"=hex(1):60,22,00,00\n");
    ASSERT_TRUE(store.open(false));
    EXPECT_EQ(store.readText(QStringLiteral("Message2")), QStringLiteral("\u2260"));
}

TEST_F(SettingsStoreTest, AWriteOverDuplicatesLeavesOneLineWhereTheFirstStood) {
    keyWith("\"Sort\"=\"a\"\n\"Filter\"=dword:00000001\n\"SORT\"=hex:01,\\\n  02\n\"Sort\"=-\n");
    ASSERT_TRUE(store.open(true));
    store.writeBool(QStringLiteral("Sort"), true);
    EXPECT_EQ(readFile(path), "Windows Registry Editor Version 5.00\n\n" + kHeader +
                                  "\n\"Sort\"=dword:00000001\n\"Filter\"=dword:00000001\n");
}

TEST_F(SettingsStoreTest, ARefusedWriteNamesTheValueAndChangesNothing) {
    // A folder where the file should be, and a file where its folder should be.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Setup.reg")));
    EXPECT_EQ(failure([&] { store.writeText(QStringLiteral("Message1"), QStringLiteral("x")); }),
              "Failed to set data for 'Message1'");
    EXPECT_FALSE(store.open(true));

    writeFile(dir.filePath(QStringLiteral("plain")), "x");
    SettingsStore below(dir.filePath(QStringLiteral("plain/Setup.reg")));
    EXPECT_FALSE(below.open(true));
    EXPECT_EQ(failure([&] { below.writeBool(QStringLiteral("Warn"), true); }), "Failed to set data for 'Warn'");
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("plain"))), "x");
}

}  // namespace
